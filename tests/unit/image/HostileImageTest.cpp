// Image files as a player might drop them in: valid ones of every kind read
// right, and crafted ones (damaged tables, short data, headers that lie about
// their size, files that are not files) refused with their code, without a
// large allocation and keeping the texture's old image.
#include "Diagnostics.h"
#include "Texture.h"

#include "draw2d/TextureAccess.h"
#include "support/ImageBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace imagebytes;

namespace {

constexpr std::size_t kSmall = std::size_t(1) << 20;

Bytes Solid(int width, int height, unsigned char r, unsigned char g, unsigned char b,
            unsigned char a = 255) {
    Bytes out;
    for (int i = 0; i < width * height; ++i) out.insert(out.end(), {r, g, b, a});
    return out;
}

std::string Rgba(const Texture& t, int x, int y) {
    const unsigned char* p = t.GetPixels() + (std::size_t(y) * std::size_t(t.GetWidth()) + std::size_t(x)) * 4;
    char text[32];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", p[0], p[1], p[2], p[3]);
    return text;
}

class HostileImage : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDiagnostic();
        const Bytes old = Solid(3, 2, 9, 9, 9);
        ASSERT_TRUE(texture.LoadFromPixels(old.data(), 3, 2));
    }
    // Fails with `code`, keeps the 3 x 2 image, allocates little.
    void ExpectRefused(const Bytes& file, Diagnostic code, const char* what) {
        ClearDiagnostic();
        qmdetail::ResetDecoderAllocationRecord();
        EXPECT_FALSE(texture.LoadFromMemory(file.data(), file.size(), what)) << what;
        EXPECT_EQ(GetLastDiagnostic(), code) << what << ": " << GetLastDiagnosticMessage();
        EXPECT_EQ(texture.GetWidth(), 3) << what << ": the old image stays";
        EXPECT_LT(qmdetail::LargestDecoderAllocation(), kSmall) << what;
    }
    Texture texture;
};

// [SECTION] Valid files

TEST_F(HostileImage, EveryFormatReadsItsPixelsInTheRightPlaces) {
    // A 2 x 2 image: top row red, green; bottom row blue, white (alpha 128).
    const Bytes rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};  // BGRx
    const Bytes bgra = {255, 0, 0, 255, 255, 255, 255, 128, 0, 0, 255, 255, 0, 255, 0, 255};
    const std::vector<GifColorType> colours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    struct Case {
        const char* what;
        Bytes file;
        bool alpha;  // the format keeps the white pixel's 128
    };
    const Case cases[] = {
        {"png", Png(2, 2, rgba), true},
        {"png after an empty IDAT", Png(2, 2, rgba, {0}), true},
        {"bmp 8-bit bottom-up", Bmp(2, 2, 8, palette, {{2, 3}, {0, 1}}), false},
        {"bmp 8-bit top-down", Bmp(2, -2, 8, palette, {{0, 1}, {2, 3}}), false},
        {"bmp 4-bit", Bmp(2, 2, 4, palette, {{0x23}, {0x01}}), false},
        {"bmp 24-bit", Bmp(2, 2, 24, {}, {{255, 0, 0, 255, 255, 255}, {0, 0, 255, 0, 255, 0}}), false},
        {"bmp 32-bit", Bmp(2, 2, 32, {}, {Bytes(bgra.begin(), bgra.begin() + 8), Bytes(bgra.begin() + 8, bgra.end())}), true},
        {"tga raw bottom-up", Tga(2, 2, 2, 32, 8, {255, 0, 0, 255, 255, 255, 255, 128, 0, 0, 255, 255, 0, 255, 0, 255}), true},
        {"tga raw top-down", Tga(2, 2, 2, 32, 0x28, {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 128}), true},
        {"tga run-length", Tga(10, 2, 2, 24, 0x20, {0x01, 0, 0, 255, 0, 255, 0, 0x00, 255, 0, 0, 0x00, 255, 255, 255}), false},
        {"tga colour-mapped", Tga(1, 2, 2, 8, 0x20, {0, 1, 2, 3}, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}, 4, 24), false},
        {"gif", Gif(2, 2, {0, 1, 2, 3}, colours), false},
        {"gif interlaced", Gif(2, 2, {0, 1, 2, 3}, colours, true), false},
    };
    for (const Case& c : cases) {
        ClearDiagnostic();
        ASSERT_TRUE(texture.LoadFromMemory(c.file.data(), c.file.size(), c.what))
            << c.what << ": " << GetLastDiagnosticMessage();
        ASSERT_EQ(texture.GetWidth(), 2) << c.what;
        ASSERT_EQ(texture.GetHeight(), 2) << c.what;
        EXPECT_EQ(Rgba(texture, 0, 0), "255,0,0,255") << c.what;
        EXPECT_EQ(Rgba(texture, 1, 0), "0,255,0,255") << c.what;
        EXPECT_EQ(Rgba(texture, 0, 1), "0,0,255,255") << c.what;
        EXPECT_EQ(Rgba(texture, 1, 1), c.alpha ? "255,255,255,128" : "255,255,255,255") << c.what;
    }
    // JPEG is lossy: flat colours come back within a few levels.
    for (bool progressive : {false, true}) {
        const Bytes file = Jpeg(16, 16, 3, Bytes(16 * 16 * 3, 200), progressive);
        ASSERT_TRUE(texture.LoadFromMemory(file.data(), file.size())) << GetLastDiagnosticMessage();
        EXPECT_NEAR(texture.GetPixels()[0], 200, 3);
        EXPECT_EQ(texture.GetPixels()[3], 255);
    }
}

// [SECTION] Damaged files

TEST_F(HostileImage, DamagedTablesAndIndicesNeverReachOutsideTheFile) {
    // A Huffman table listing 300 codes, where 256 is the most there can be;
    // deflate's forbidden distance code 30.
    ExpectRefused(JpegWith300Codes(), Diagnostic::TextureCorrupt, "huffman");
    ExpectRefused(PngWithDistance30(), Diagnostic::TextureCorrupt, "distance");

    // Pixels indexing past a one-entry palette come out black, never from
    // memory beside the palette; so do TGA indices past their colour map.
    const Bytes bmp = Bmp(3, 1, 8, {255, 0, 0, 0}, {{0, 200, 255}}, 1);
    ASSERT_TRUE(texture.LoadFromMemory(bmp.data(), bmp.size())) << GetLastDiagnosticMessage();
    EXPECT_EQ(Rgba(texture, 0, 0), "0,0,255,255");
    EXPECT_EQ(Rgba(texture, 1, 0), "0,0,0,255");
    EXPECT_EQ(Rgba(texture, 2, 0), "0,0,0,255");
    // A true-colour BMP may announce colours for displays; 1200 of them are
    // not a palette to read.
    const Bytes hint = Bmp(2, 1, 24, Bytes(1200 * 4, 7), {{255, 0, 0, 0, 255, 0}}, 1200);
    ASSERT_TRUE(texture.LoadFromMemory(hint.data(), hint.size())) << GetLastDiagnosticMessage();
    EXPECT_EQ(Rgba(texture, 0, 0), "0,0,255,255");
    EXPECT_EQ(Rgba(texture, 1, 0), "0,255,0,255");
    const Bytes tga = Tga(1, 2, 1, 8, 0x20, {0, 7}, {255, 0, 0}, 1, 24);
    ASSERT_TRUE(texture.LoadFromMemory(tga.data(), tga.size())) << GetLastDiagnosticMessage();
    EXPECT_EQ(Rgba(texture, 0, 0), "0,0,255,255");
    EXPECT_EQ(Rgba(texture, 1, 0), "0,0,0,255");
}

TEST_F(HostileImage, ShortDataIsCorruptWhateverTheFormat) {
    const std::vector<GifColorType> grey = {{0, 0, 0}, {128, 128, 128}, {255, 255, 255}};
    Bytes indices(32 * 32);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<unsigned char>(i * 7 % 3);
    Bytes noisy(32 * 32 * 3);
    for (std::size_t i = 0; i < noisy.size(); ++i) noisy[i] = static_cast<unsigned char>(i * 37 % 251);
    std::vector<Bytes> rows(32, Bytes(96, 77));
    Bytes tgaRaw(32 * 32 * 3, 50), tgaRle;
    for (int i = 0; i < 8; ++i) tgaRle.insert(tgaRle.end(), {0xff, 1, 2, 3});  // 8 runs of 128
    const Bytes bmp = Bmp(32, 32, 24, {}, rows), gif = Gif(32, 32, indices, grey);
    const Bytes jpeg = Jpeg(32, 32, 3, noisy), tga = Tga(2, 32, 32, 24, 0, tgaRaw);
    const Bytes rle = Tga(10, 32, 32, 24, 0, tgaRle);
    const std::size_t scan = FindMarker(jpeg, 0xda);
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"bmp cut in its pixels", Bytes(bmp.begin(), bmp.begin() + long(bmp.size() / 2))},
        {"bmp headers only", Bytes(bmp.begin(), bmp.begin() + 54)},
        {"tga cut in its pixels", Bytes(tga.begin(), tga.begin() + long(tga.size() / 2))},
        {"tga header only", Tga(2, 64, 64, 32, 0, {})},
        {"tga run-length cut", Bytes(rle.begin(), rle.end() - 4)},
        {"gif cut in its data", Bytes(gif.begin(), gif.begin() + long(gif.size() * 2 / 3))},
        {"gif headers only", Bytes(gif.begin(), gif.begin() + 13 + 12)},
        {"jpeg cut in its scan", Bytes(jpeg.begin(), jpeg.begin() + long(scan + (jpeg.size() - scan) / 2))},
        {"jpeg headers only", Bytes(jpeg.begin(), jpeg.begin() + long(scan + 14))},
    };
    for (const Case& c : cases) ExpectRefused(c.file, Diagnostic::TextureCorrupt, c.what);
}

// [SECTION] Headers that lie about the size

TEST_F(HostileImage, ClaimsBeyondWhatTheFileCanHoldAreRefusedBeforeAllocating) {
    // A progressive JPEG of 8192 x 8192 whose 400 scans hold no data.
    Bytes scans = {0xff, 0xd8, 0xff, 0xc2, 0, 11, 8};
    Be16(scans, 8192);
    Be16(scans, 8192);
    scans.insert(scans.end(), {1, 1, 0x11, 0});
    for (int i = 0; i < 400; ++i) scans.insert(scans.end(), {0xff, 0xda, 0, 8, 1, 1, 0, 1, 63, 0});
    scans.insert(scans.end(), {0xff, 0xd9});
    // A baseline JPEG of 16384 x 16384 in 16 KiB.
    Bytes big = Jpeg(8, 8, 1, Bytes(64, 1));
    const std::size_t sof = FindMarker(big, 0xc0);
    big[sof + 5] = 0x40;
    big[sof + 6] = 0;
    big[sof + 7] = 0x40;
    big[sof + 8] = 0;
    big.insert(big.end() - 2, 16384 - big.size(), 0);
    // BMP and TGA of 16384 x 4096 in 4 KiB.
    Bytes bmp = Bmp(16384, 4096, 32, {}, {});
    bmp.resize(4096, 1);
    Bytes tga = Tga(2, 16384, 4096, 32, 0, Bytes(4096 - 18, 1));
    Bytes rle = Tga(10, 16384, 4096, 32, 0, Bytes(4096 - 18, 0xff));
    // A GIF screen of 16384 x 16384 with 16 KiB of data.
    Bytes gif = Gif(8, 8, Bytes(64, 1), {{0, 0, 0}, {9, 9, 9}});
    gif[6] = gif[8] = 0;
    gif[7] = gif[9] = 0x40;
    gif.insert(gif.end() - 1, 16800 - gif.size(), 0);
    // A PNG chunk claiming 2 GiB in a 49-byte file.
    Bytes idat = PngHeader(64, 64, 8, 6);
    Be32(idat, 0x7ffffff0ul);
    idat.insert(idat.end(), {'I', 'D', 'A', 'T', 0x78, 0x01, 0, 0, 0, 0, 0, 0});
    struct Case {
        const char* what;
        Bytes file;
        Diagnostic code;
    };
    const Case cases[] = {
        {"empty scans", scans, Diagnostic::TextureTooLarge},
        {"jpeg 16384", big, Diagnostic::TextureTooLarge},
        {"bmp 16384 x 4096", bmp, Diagnostic::TextureCorrupt},
        {"tga 16384 x 4096", tga, Diagnostic::TextureCorrupt},
        {"tga run-length 16384 x 4096", rle, Diagnostic::TextureTooLarge},
        {"gif 16384", gif, Diagnostic::TextureTooLarge},
        {"idat 2 GiB", idat, Diagnostic::TextureCorrupt},
    };
    for (const Case& c : cases) ExpectRefused(c.file, c.code, c.what);
    EXPECT_EQ(idat.size(), 49u);
}

TEST_F(HostileImage, DecodingStopsAtTheSizeTheHeaderImplies) {
    // A progressive JPEG whose last scan is repeated 150 times.
    Bytes jpeg = Jpeg(256, 256, 1, Bytes(256 * 256, 90), true);
    std::size_t last = 0;
    for (std::size_t at = FindMarker(jpeg, 0xda); at < jpeg.size(); at = FindMarker(jpeg, 0xda, at + 2))
        last = at;
    const Bytes scan(jpeg.begin() + long(last), jpeg.end() - 2);
    for (int i = 0; i < 150; ++i) jpeg.insert(jpeg.end() - 2, scan.begin(), scan.end());
    ExpectRefused(jpeg, Diagnostic::TextureCorrupt, "scans");

    // 1 x 1 RGBA takes 5 bytes of inflated data; this stream goes on with
    // 32 MiB of repeats (length 258, distance 1).
    const Bytes png = PngOfFixedBlock([](BitWriter& bits) {
        for (int i = 0; i < 5; ++i) bits.Literal(i == 0 ? 0 : 77);
        for (int i = 0; i < 130000; ++i) {
            bits.Length(285);
            bits.Code(0, 5);
        }
    });
    qmdetail::ResetDecoderAllocationRecord();
    EXPECT_TRUE(texture.LoadFromMemory(png.data(), png.size())) << GetLastDiagnosticMessage();
    EXPECT_EQ(texture.GetWidth(), 1);
    EXPECT_EQ(Rgba(texture, 0, 0), "77,77,77,77");
    EXPECT_LT(qmdetail::LargestDecoderAllocation(), kSmall);
}

// [SECTION] Messages and files

TEST_F(HostileImage, MessagesNameWhatTheFileClaims) {
    Bytes wide = Png(1, 1, Solid(1, 1, 1, 2, 3));
    wide[18] = 0x40;  // 16385 x 1
    wide[19] = 0x01;
    ExpectRefused(wide, Diagnostic::TextureTooLarge, "wide");
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("16385 x 1 pixels"), std::string::npos)
        << GetLastDiagnosticMessage();

    Bytes empty = Gif(1, 1, {0}, {{0, 0, 0}, {1, 1, 1}});
    std::fill(empty.begin() + 6, empty.begin() + 10, 0);
    ExpectRefused(empty, Diagnostic::TextureCorrupt, "empty gif");
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("0 x 0"), std::string::npos)
        << GetLastDiagnosticMessage();
}

// Windows has no FIFOs, and a web page's file system (MEMFS) refuses to make one.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
TEST_F(HostileImage, AFifoOrALinkToOneIsRefusedWithoutWaiting) {
    const std::string dir = testing::TempDir() + "qm-fifo-" + std::to_string(getpid());
    const std::string fifo = dir + "/pipe.png", link = dir + "/link.png";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink(fifo.c_str(), link.c_str()), 0);
    for (const std::string& path : {fifo, link}) {
        ClearDiagnostic();
        EXPECT_FALSE(texture.LoadFromFile(path.c_str())) << path;
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TextureFileUnreadable) << path;
    }
    unlink(link.c_str());
    unlink(fifo.c_str());
    rmdir(dir.c_str());
}
#endif

}  // namespace
