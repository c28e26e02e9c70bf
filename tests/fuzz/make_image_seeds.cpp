// Writes the image fuzz ring's corpus: small valid files of every format
// read (tests/fuzz/images/seed-*), and the crafted files of faults found
// before (tests/fuzz/images/crash-*), made here so that nothing in the
// corpus comes from elsewhere.
//   make_image_seeds OUTPUT_FOLDER
#include "support/ImageBytes.h"

#include <cstdio>
#include <string>

using namespace imagebytes;

namespace {

std::string folder;
int written = 0;

void Write(const char* name, const Bytes& bytes) {
    const std::string path = folder + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        std::fprintf(stderr, "make_image_seeds: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
    ++written;
}

Bytes Gradient(int width, int height, int channels) {
    Bytes out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                out.push_back(static_cast<unsigned char>(x * 16 + y * 8 + c * 80));
    return out;
}

Bytes Cut(const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + long(n < b.size() ? n : b.size())); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_image_seeds OUTPUT_FOLDER\n");
        return 2;
    }
    folder = argv[1];
    const Bytes rgba = Gradient(8, 6, 4), rgb = Gradient(8, 6, 3), grey = Gradient(8, 6, 1);
    Bytes indices(8 * 6);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<unsigned char>(i % 5);
    const std::vector<GifColorType> colours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}};
    const Bytes palette = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};

    // Valid files.
    Write("seed-rgba.png", Png(8, 6, rgba));
    Write("seed-two-idat.png", Png(8, 6, rgba, {0, 9}));
    Bytes paletted = PngHeader(4, 2, 2, 3);
    Append(paletted, PngChunk("PLTE", {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
    Append(paletted, PngChunk("tRNS", {0, 128}));
    Append(paletted, PngChunk("IDAT", Deflate({0, 0x1b, 1, 0xe4})));
    Append(paletted, PngChunk("IEND", {}));
    Write("seed-palette.png", paletted);
    Bytes deep = PngHeader(2, 2, 16, 0, 1);
    Append(deep, PngChunk("IDAT", Deflate({0, 1, 2, 0, 3, 4, 0, 5, 6, 7, 8})));
    Append(deep, PngChunk("IEND", {}));
    Write("seed-16bit-interlaced.png", deep);
    Write("seed-baseline.jpg", Jpeg(8, 6, 3, rgb));
    Write("seed-grey.jpg", Jpeg(8, 6, 1, grey));
    Write("seed-progressive.jpg", Jpeg(16, 16, 3, Gradient(16, 16, 3), true));
    Write("seed.gif", Gif(8, 6, indices, colours));
    Write("seed-interlaced-transparent.gif", Gif(8, 6, indices, colours, true, 4));
    std::vector<Bytes> rows24(6, Bytes(24, 90)), rows8(6, Bytes(8, 2)), rows4(6, Bytes(4, 0x31));
    std::vector<Bytes> rows32(6, Bytes(32, 200)), rows1(6, Bytes(1, 0xa5));
    Write("seed-24.bmp", Bmp(8, 6, 24, {}, rows24));
    Write("seed-32-topdown.bmp", Bmp(8, -6, 32, {}, rows32));
    Write("seed-8.bmp", Bmp(8, 6, 8, palette, rows8, 4));
    Write("seed-4.bmp", Bmp(8, 6, 4, palette, rows4, 4));
    Write("seed-1.bmp", Bmp(8, 6, 1, Cut(palette, 8), rows1, 2));
    Write("seed-raw.tga", Tga(2, 8, 6, 24, 0, rgb));
    Write("seed-rle.tga", Tga(10, 8, 6, 32, 0x28, {0x8f, 1, 2, 3, 4, 0x1f, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132}));
    Write("seed-mapped.tga", Tga(9, 8, 6, 8, 0, {0xaf, 1, 0x80, 2}, {0, 0, 255, 0, 255, 0, 255, 0, 0}, 3, 24));
    Write("seed-grey.tga", Tga(3, 8, 6, 8, 0, grey));

    // Faults found before: a Huffman table of 300 codes, deflate's distance
    // code 30, a one-entry palette, truncations, and headers that lie.
    Write("crash-huffman-300.jpg", JpegWith300Codes());
    Write("crash-distance-30.png", PngWithDistance30());
    Write("crash-palette-index.bmp", Bmp(3, 1, 8, {255, 0, 0, 0}, {{0, 200, 255}}, 1));
    Write("crash-header-only.tga", Tga(2, 64, 64, 32, 0, {}));
    Write("crash-empty-idat.png", Png(8, 6, rgba, {0}));
    const Bytes bmp = Bmp(8, 6, 24, {}, rows24), gif = Gif(8, 6, indices, colours);
    const Bytes jpeg = Jpeg(8, 6, 3, rgb), tga = Tga(2, 8, 6, 24, 0, rgb);
    Write("crash-truncated.bmp", Cut(bmp, bmp.size() - 20));
    Write("crash-truncated.tga", Cut(tga, tga.size() - 20));
    Write("crash-truncated.gif", Cut(gif, gif.size() - 8));
    Write("crash-header-only.jpg", Cut(jpeg, FindMarker(jpeg, 0xda) + 14));
    Bytes scans = {0xff, 0xd8, 0xff, 0xc2, 0, 11, 8, 0x20, 0, 0x20, 0, 1, 1, 0x11, 0};
    for (int i = 0; i < 400; ++i) scans.insert(scans.end(), {0xff, 0xda, 0, 8, 1, 1, 0, 1, 63, 0});
    Write("crash-empty-scans.jpg", scans);
    Bytes idat = PngHeader(64, 64, 8, 6);
    Be32(idat, 0x7ffffff0ul);
    idat.insert(idat.end(), {'I', 'D', 'A', 'T', 0x78, 0x01, 0, 0, 0, 0, 0, 0});
    Write("crash-idat-2gib.png", idat);
    Bytes wide = Bmp(16384, 4096, 32, {}, {});
    wide.resize(4096, 1);
    Write("crash-claims-16384x4096.bmp", wide);
    std::printf("make_image_seeds: %d files in %s\n", written, folder.c_str());
    return 0;
}
