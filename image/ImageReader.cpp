#include "image/ImageReader.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qmimage {

namespace {

constexpr int kLibraryMaxSide = 16384;
// Below this many pixels (16 MiB decoded) a claim is taken as it stands:
// small images are common in small files.
constexpr double kFreePixels = double(1 << 22);

std::size_t largest = 0;

bool Starts(Bytes in, const char* magic, std::size_t n) {
    return in.size >= n && std::memcmp(in.data, magic, n) == 0;
}

}  // namespace

void SetProblem(Problem* why, Failure failure, const char* format, ...) {
    why->failure = failure;
    va_list args;
    va_start(args, format);
    std::vsnprintf(why->reason, sizeof why->reason, format, args);
    va_end(args);
}

void* Allocate(std::size_t size) {
    if (size > largest) largest = size;
    return std::malloc(size ? size : 1);
}

void* Reallocate(void* p, std::size_t size) {
    if (size > largest) largest = size;
    return std::realloc(p, size ? size : 1);
}

std::size_t LargestAllocation() { return largest; }
void ResetAllocationRecord() { largest = 0; }

bool Read(const unsigned char* data, std::size_t size, int maxSide, Image* out, Problem* why) {
    *why = Problem();
    const Bytes in{data, size};
    if (size == 0) {
        SetProblem(why, Failure::Corrupt, "the image is empty");
        return false;
    }
    using HeaderFn = bool (*)(Bytes, Header*, Problem*);
    using DecodeFn = bool (*)(Bytes, unsigned char*, int, int, Problem*);
    HeaderFn header = nullptr;
    DecodeFn decode = nullptr;
    if (Starts(in, "\x89PNG\r\n\x1a\n", 8)) {
        header = PngHeader;
        decode = PngDecode;
    } else if (Starts(in, "\xff\xd8\xff", 3)) {
        header = JpegHeader;
        decode = JpegDecode;
    } else if (Starts(in, "GIF87a", 6) || Starts(in, "GIF89a", 6)) {
        header = GifHeader;
        decode = GifDecode;
    } else if (Starts(in, "BM", 2)) {
        header = BmpHeader;
        decode = BmpDecode;
    } else if (TgaLooksLikeOne(in)) {  // TGA has no signature
        header = TgaHeader;
        decode = TgaDecode;
    } else {
        SetProblem(why, Failure::Unsupported, "not an image format that is read");
        return false;
    }

    Header claim;
    if (!header(in, &claim, why)) return false;
    why->claimedWidth = claim.width;
    why->claimedHeight = claim.height;
    const long long w = claim.width;
    const long long h = claim.height < 0 ? -claim.height : claim.height;
    if (w <= 0 || h <= 0) {
        SetProblem(why, Failure::Corrupt, "the header claims %lld x %lld pixels", claim.width,
                   claim.height);
        return false;
    }
    if (w > kLibraryMaxSide || h > kLibraryMaxSide) {
        SetProblem(why, Failure::TooLarge, "a side above the limit of %d", kLibraryMaxSide);
        return false;
    }
    const double claimed = double(w) * double(h);
    if (claimed > kFreePixels && claimed > double(size) * claim.pixelsPerByte) {
        SetProblem(why, Failure::TooLarge, "far more pixels than %zu bytes can hold", size);
        return false;
    }

    if (maxSide > 0 && (w > maxSide || h > maxSide)) {
        SetProblem(why, Failure::TooLargeForGL, "a side above this GL's limit of %d", maxSide);
        return false;
    }

    const std::size_t bytes = std::size_t(w) * std::size_t(h) * 4u;
    auto* rgba = static_cast<unsigned char*>(Allocate(bytes));
    if (!rgba) {
        SetProblem(why, Failure::TooLarge, "no memory for %zu bytes of pixels", bytes);
        return false;
    }
    std::memset(rgba, 0, bytes);
    if (!decode(in, rgba, int(w), int(h), why)) {
        std::free(rgba);
        if (why->failure == Failure::None)
            SetProblem(why, Failure::Corrupt, "the image data is truncated or corrupt");
        return false;
    }
    out->pixels = rgba;
    out->width = int(w);
    out->height = int(h);
    return true;
}

}  // namespace qmimage
