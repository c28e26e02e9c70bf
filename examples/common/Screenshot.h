// Saves the current back buffer as a PNG file, for headless runs. The PNG is
// written uncompressed (stored deflate blocks), so it needs no image library.
#ifndef QUILLMAR_EXAMPLES_SCREENSHOT_H
#define QUILLMAR_EXAMPLES_SCREENSHOT_H

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace screenshot {

inline std::uint32_t Crc(const unsigned char* data, std::size_t size, std::uint32_t crc = 0) {
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

inline void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((unsigned char)(v >> shift));
}

inline void Chunk(std::vector<unsigned char>& png, const char* type,
                  const std::vector<unsigned char>& data) {
    Put32(png, std::uint32_t(data.size()));
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    Put32(png, Crc(body.data(), body.size()));
}

// Writes width x height RGB pixels, rows bottom-up as glReadPixels gives them.
inline bool WritePng(const std::string& path, int width, int height,
                     const std::vector<unsigned char>& rgb) {
    std::vector<unsigned char> raw;
    for (int y = height - 1; y >= 0; --y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgb.begin() + std::ptrdiff_t(y) * width * 3,
                   rgb.begin() + std::ptrdiff_t(y + 1) * width * 3);
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t pos = 0; pos < raw.size() || pos == 0;) {
        std::size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back((unsigned char)(n & 0xFF));
        z.push_back((unsigned char)(n >> 8));
        z.push_back((unsigned char)(~n & 0xFF));
        z.push_back((unsigned char)((~n >> 8) & 0xFF));
        z.insert(z.end(), raw.begin() + std::ptrdiff_t(pos), raw.begin() + std::ptrdiff_t(pos + n));
        pos += n;
        if (last) break;
    }
    Put32(z, (b << 16) | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    Put32(header, std::uint32_t(width));
    Put32(header, std::uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

// Reads the back buffer (call before EndFrame) and saves it.
inline bool SaveBackBuffer(const std::string& path, int width, int height) {
    std::vector<unsigned char> rgb(std::size_t(width) * std::size_t(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return WritePng(path, width, height, rgb);
}

}  // namespace screenshot

#endif
