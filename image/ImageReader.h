// Reading image files into RGBA pixels, for Texture. Every reader here takes
// hostile input: a header's claim is checked before anything of its size is
// allocated, the data is checked against the claim, and a file whose data
// runs out fails instead of coming back padded.
#ifndef QUILLMAR_IMAGE_IMAGEREADER_H
#define QUILLMAR_IMAGE_IMAGEREADER_H

#include <cstddef>

namespace qmimage {

enum class Failure { None, Unsupported, TooLarge, TooLargeForGL, Corrupt };

// Why a read failed: the kind, a reason for the message, and for TooLarge the
// sides the file claims.
struct Problem {
    Failure failure = Failure::None;
    char reason[120] = {};
    long long claimedWidth = 0;
    long long claimedHeight = 0;
};

struct Image {
    unsigned char* pixels = nullptr;  // width * height RGBA, top row first; std::free it
    int width = 0;
    int height = 0;
};

// Decodes PNG, JPEG, GIF (first frame), BMP or TGA, told apart by content.
// maxSide is the GL's limit on a side (0: none known); above it the read
// fails with TooLargeForGL before decoding.
bool Read(const unsigned char* data, std::size_t size, int maxSide, Image* out, Problem* why);

// The largest single buffer a read asked for since the last reset (tests use
// it to see that a huge claim is refused before it is allocated).
std::size_t LargestAllocation();
void ResetAllocationRecord();

// [SECTION] For the format readers (image/*Reader.cpp)

struct Bytes {
    const unsigned char* data;
    std::size_t size;
};

// The header's claim, read without allocating. The readers also fill the
// problem on failure.
struct Header {
    long long width = 0;   // as the file states them (a BMP's height may be negative)
    long long height = 0;
    // The most pixels an honest file of this kind makes of one byte of
    // input: a claim beyond it is a lie the reader would find only after
    // allocating the whole image.
    double pixelsPerByte = 512.0;
};

void SetProblem(Problem* why, Failure failure, const char* format, ...)
#if defined(__MINGW32__)  // formatted by MinGW's own printf, which knows %zu
    __attribute__((format(gnu_printf, 3, 4)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// Allocation for pixels and for the readers' own buffers, recorded.
void* Allocate(std::size_t size);
void* Reallocate(void* p, std::size_t size);

// Each format: header (claim only) and decode into width * height RGBA
// pixels that the caller allocated and cleared.
bool PngHeader(Bytes in, Header* header, Problem* why);
bool PngDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why);
bool JpegHeader(Bytes in, Header* header, Problem* why);
bool JpegDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why);
bool GifHeader(Bytes in, Header* header, Problem* why);
bool GifDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why);
bool BmpHeader(Bytes in, Header* header, Problem* why);
bool BmpDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why);
bool TgaLooksLikeOne(Bytes in);
bool TgaHeader(Bytes in, Header* header, Problem* why);
bool TgaDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why);

}  // namespace qmimage

#endif
