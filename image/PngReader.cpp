// PNG through libspng (with zlib): a small decoder written for untrusted
// input, fuzzed continuously upstream, that checks every chunk's length and
// CRC, stops inflating at the size the header implies and fails a stream that
// ends early, where the 2022 stb snapshot this replaced padded short data
// with whatever the heap held.
#include "image/ImageReader.h"

#include <spng.h>

#include <cstdlib>
#include <cstring>

namespace qmimage {

namespace {

long long Be32(const unsigned char* p) {
    using Wide = long long;
    return (Wide(p[0]) << 24) | (Wide(p[1]) << 16) | (Wide(p[2]) << 8) | Wide(p[3]);
}

void* SpngMalloc(std::size_t size) { return Allocate(size); }
void* SpngRealloc(void* p, std::size_t size) { return Reallocate(p, size); }
void* SpngCalloc(std::size_t count, std::size_t size) {
    if (size != 0 && count > std::size_t(-1) / size) return nullptr;
    void* p = Allocate(count * size);
    if (p) std::memset(p, 0, count * size);
    return p;
}
void SpngFree(void* p) { std::free(p); }

}  // namespace

bool PngHeader(Bytes in, Header* header, Problem* why) {
    // Signature, then IHDR's length (13), type and the two sides.
    if (in.size < 33 || Be32(in.data + 8) != 13 || std::memcmp(in.data + 12, "IHDR", 4) != 0) {
        SetProblem(why, Failure::Corrupt, "a PNG without its IHDR header");
        return false;
    }
    header->width = Be32(in.data + 16);
    header->height = Be32(in.data + 20);
    // Deflate's best is about 1032 bytes of a byte of input, and 1-bit rows
    // make 8 pixels of a byte; 512 keeps a 64 KB file within 128 MB of pixels
    // and half a second. Flatter images are refused above 4 million pixels.
    header->pixelsPerByte = 512.0;
    return true;
}

bool PngDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why) {
    spng_alloc alloc = {SpngMalloc, SpngRealloc, SpngCalloc, SpngFree};
    spng_ctx* ctx = spng_ctx_new2(&alloc, 0);
    if (!ctx) {
        SetProblem(why, Failure::TooLarge, "no memory for the PNG decoder");
        return false;
    }
    // No chunk can be longer than the file; ancillary chunks are not used
    // and a bad CRC only drops them.
    spng_set_image_limits(ctx, 0x7fffffffu, 0x7fffffffu);
    spng_set_chunk_limits(ctx, in.size, std::size_t(1) << 22);
    spng_set_crc_action(ctx, SPNG_CRC_ERROR, SPNG_CRC_DISCARD);
    const std::size_t size = std::size_t(width) * std::size_t(height) * 4u;
    int error = spng_set_png_buffer(ctx, in.data, in.size);
    std::size_t expected = 0;
    if (!error) error = spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &expected);
    if (!error && expected != size) error = SPNG_EWIDTH;
    if (!error) error = spng_decode_image(ctx, rgba, size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
    spng_ctx_free(ctx);
    if (error) {
        SetProblem(why, Failure::Corrupt, "%s",
                   error == SPNG_EOF || error == SPNG_IO_EOF ? "the PNG data ends early"
                                                             : spng_strerror(error));
        return false;
    }
    return true;
}

}  // namespace qmimage
