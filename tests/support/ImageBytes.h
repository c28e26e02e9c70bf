// Image files made in memory for tests: valid ones written with the same
// libraries the library reads with (zlib, libjpeg-turbo, giflib) or by hand
// (BMP, TGA), and the pieces to damage them with.
#ifndef QUILLMAR_TESTS_IMAGEBYTES_H
#define QUILLMAR_TESTS_IMAGEBYTES_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>
#include <zlib.h>

namespace imagebytes {

using Bytes = std::vector<unsigned char>;

inline void Le16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
inline void Le32(Bytes& b, unsigned long v) {
    Le16(b, unsigned(v & 0xffff));
    Le16(b, unsigned(v >> 16));
}
inline void Be16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v >> 8));
    b.push_back(static_cast<unsigned char>(v));
}
inline void Be32(Bytes& b, unsigned long v) {
    Be16(b, unsigned(v >> 16));
    Be16(b, unsigned(v & 0xffff));
}
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// [SECTION] PNG

inline Bytes PngChunk(const char* type, const Bytes& data, unsigned long length = ~0ul) {
    Bytes out;
    Be32(out, length == ~0ul ? data.size() : length);
    Bytes body(type, type + 4);
    Append(body, data);
    Append(out, body);
    Be32(out, crc32(0, body.data(), uInt(body.size())));
    return out;
}

inline Bytes PngHeader(unsigned long width, unsigned long height, int depth, int colour,
                       int interlace = 0) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes ihdr;
    Be32(ihdr, width);
    Be32(ihdr, height);
    ihdr.push_back(static_cast<unsigned char>(depth));
    ihdr.push_back(static_cast<unsigned char>(colour));
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(static_cast<unsigned char>(interlace));
    Append(out, PngChunk("IHDR", ihdr));
    return out;
}

inline Bytes Deflate(const Bytes& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), uLong(raw.size()), 9);
    out.resize(size);
    return out;
}

// RGBA pixels, top row first, as an 8-bit RGBA PNG; the compressed data
// split over the IDAT chunks whose sizes are given (the rest in the last).
inline Bytes Png(int width, int height, const Bytes& rgba, std::vector<std::size_t> idats = {},
                 const std::vector<Bytes>& extra = {}) {
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + long(y) * width * 4,
                   rgba.begin() + long(y + 1) * width * 4);
    }
    Bytes z = Deflate(raw), out = PngHeader(unsigned(width), unsigned(height), 8, 6);
    for (const Bytes& chunk : extra) Append(out, chunk);
    std::size_t at = 0;
    for (std::size_t n : idats) {
        Append(out, PngChunk("IDAT", Bytes(z.begin() + long(at), z.begin() + long(at + n))));
        at += n;
    }
    Append(out, PngChunk("IDAT", Bytes(z.begin() + long(at), z.end())));
    Append(out, PngChunk("IEND", {}));
    return out;
}

// Deflate's bits by hand, for streams no compressor writes.
struct BitWriter {
    Bytes out;
    unsigned acc = 0;
    int count = 0;
    void Put(unsigned value, int bits) {  // least significant bit first
        for (int i = 0; i < bits; ++i) {
            acc |= ((value >> i) & 1u) << count;
            if (++count == 8) {
                out.push_back(static_cast<unsigned char>(acc));
                acc = 0;
                count = 0;
            }
        }
    }
    void Code(unsigned code, int bits) {  // Huffman codes: most significant first
        for (int i = bits - 1; i >= 0; --i) Put((code >> i) & 1u, 1);
    }
    // Fixed-code literal (0..143) and length codes 257..279 / 280..287.
    void Literal(unsigned value) { Code(0x30 + value, 8); }
    void Length(unsigned symbol) {
        if (symbol < 280) Code(symbol - 256, 7);
        else Code(0xc0 + symbol - 280, 8);
    }
    Bytes Done() {
        if (count) out.push_back(static_cast<unsigned char>(acc));
        return out;
    }
};

// A 1 x 1 RGBA PNG whose data is one final deflate block of fixed codes,
// written by body(BitWriter&) up to its end code.
template <class Body>
Bytes PngOfFixedBlock(Body body) {
    BitWriter bits;
    bits.Put(1, 1);
    bits.Put(1, 2);
    body(bits);
    bits.Code(0, 7);
    Bytes z = {0x78, 0x01};
    Append(z, bits.Done());
    Be32(z, 1);
    Bytes png = PngHeader(1, 1, 8, 6);
    Append(png, PngChunk("IDAT", z));
    Append(png, PngChunk("IEND", {}));
    return png;
}

// Deflate's forbidden distance code 30, after one literal.
inline Bytes PngWithDistance30() {
    return PngOfFixedBlock([](BitWriter& bits) {
        bits.Literal(0);
        bits.Length(257);
        bits.Code(30, 5);
    });
}

// [SECTION] JPEG

inline Bytes Jpeg(int width, int height, int components, const Bytes& pixels,
                  bool progressive = false, int quality = 90) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels.data()) +
                       std::size_t(info.next_scanline) * std::size_t(width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// The offset of the first marker `code` (0xff, code) after SOI, or the size.
inline std::size_t FindMarker(const Bytes& jpeg, unsigned char code, std::size_t from = 2) {
    for (std::size_t i = from; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == code) return i;
    return jpeg.size();
}

// An 8 x 8 grey JPEG with a Huffman table of 300 codes (256 at most fit)
// before its own tables.
inline Bytes JpegWith300Codes() {
    Bytes jpeg = Jpeg(8, 8, 1, Bytes(64, 100));
    Bytes dht = {0xff, 0xc4};
    Be16(dht, 2 + 17 + 300);
    dht.push_back(0x00);
    for (int i = 0; i < 16; ++i) dht.push_back(i >= 14 ? 150 : 0);
    for (int i = 0; i < 300; ++i) dht.push_back(static_cast<unsigned char>(i));
    jpeg.insert(jpeg.begin() + 2, dht.begin(), dht.end());
    return jpeg;
}

// [SECTION] GIF

inline int GifWrite(GifFileType* gif, const GifByteType* data, int n) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + n);
    return n;
}

// One frame of palette indices on a screen of the same size; transparent
// index or -1.
inline Bytes Gif(int width, int height, const Bytes& indices, const std::vector<GifColorType>& colours,
                 bool interlace = false, int transparent = -1) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, GifWrite, &error);
    int size = 2;
    while (size < int(colours.size())) size *= 2;
    std::vector<GifColorType> table(colours);
    table.resize(std::size_t(size));
    ColorMapObject* map = GifMakeMapObject(size, table.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    if (transparent >= 0) {
        GraphicsControlBlock control = {0, false, 0, transparent};
        GifByteType block[4];
        EGifGCBToExtension(&control, block);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
    }
    EGifPutImageDesc(gif, 0, 0, width, height, interlace, nullptr);
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < (interlace ? 4 : 1); ++pass)
        for (int y = interlace ? kStart[pass] : 0; y < height; y += interlace ? kStep[pass] : 1)
            EGifPutLine(gif, const_cast<GifPixelType*>(indices.data()) + long(y) * width, width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// [SECTION] BMP and TGA

// A BMP with a 40-byte header: rows as given (bottom row first unless the
// height is negative), each padded to 4 bytes here.
inline Bytes Bmp(int width, int height, int bits, const Bytes& palette, const std::vector<Bytes>& rows,
                 unsigned long colours = 0) {
    Bytes pixels;
    for (const Bytes& row : rows) {
        Append(pixels, row);
        while (pixels.size() % 4) pixels.push_back(0);
    }
    Bytes out = {'B', 'M'};
    const unsigned long offset = 14 + 40 + palette.size();
    Le32(out, offset + pixels.size());
    Le32(out, 0);
    Le32(out, offset);
    Le32(out, 40);
    Le32(out, static_cast<unsigned long>(width));
    Le32(out, static_cast<unsigned long>(static_cast<long>(height)) & 0xfffffffful);
    Le16(out, 1);
    Le16(out, unsigned(bits));
    Le32(out, 0);
    Le32(out, pixels.size());
    Le32(out, 2835);
    Le32(out, 2835);
    Le32(out, colours);
    Le32(out, 0);
    Append(out, palette);
    Append(out, pixels);
    return out;
}

inline Bytes Tga(int type, int width, int height, int depth, int descriptor, const Bytes& data,
                 const Bytes& map = {}, int mapLength = 0, int mapDepth = 0) {
    Bytes out = {0, static_cast<unsigned char>(mapLength ? 1 : 0), static_cast<unsigned char>(type)};
    Le16(out, 0);
    Le16(out, unsigned(mapLength));
    out.push_back(static_cast<unsigned char>(mapDepth));
    Le16(out, 0);
    Le16(out, 0);
    Le16(out, unsigned(width));
    Le16(out, unsigned(height));
    out.push_back(static_cast<unsigned char>(depth));
    out.push_back(static_cast<unsigned char>(descriptor));
    Append(out, map);
    Append(out, data);
    return out;
}

}  // namespace imagebytes

#endif
