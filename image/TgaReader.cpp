// TGA, read here: uncompressed and run-length, true colour (15/16, 24, 32
// bits), grey (8, 16 with alpha) and colour-mapped (8 or 16-bit indices).
// The format has no signature, so the header's fields are checked for
// plausibility before a file is taken for one.
#include "image/ImageReader.h"

#include <cstring>

namespace qmimage {

namespace {

unsigned Le16(const unsigned char* p) { return unsigned(p[0]) | (unsigned(p[1]) << 8); }

struct Layout {
    int type = 0;          // 1, 2, 3 raw; 9, 10, 11 run-length
    int depth = 0;         // bits a pixel
    int mapFirst = 0, mapLength = 0, mapDepth = 0;
    std::size_t mapAt = 0, pixelsAt = 0;
    int width = 0, height = 0;
    bool topDown = false, rightToLeft = false;
};

int BytesOf(int bits) { return (bits + 7) / 8; }

bool Parse(Bytes in, Layout* l) {
    if (in.size < 18) return false;
    const unsigned char* d = in.data;
    const int mapType = d[1];
    l->type = d[2];
    l->mapFirst = int(Le16(d + 3));
    l->mapLength = int(Le16(d + 5));
    l->mapDepth = d[7];
    l->width = int(Le16(d + 12));
    l->height = int(Le16(d + 14));
    l->depth = d[16];
    l->topDown = (d[17] & 0x20) != 0;
    l->rightToLeft = (d[17] & 0x10) != 0;
    if (mapType > 1) return false;
    const int base = l->type & 7;
    if ((l->type & ~8) < 1 || (l->type & ~8) > 3) return false;
    if (mapType == 1 && l->mapDepth != 15 && l->mapDepth != 16 && l->mapDepth != 24 &&
        l->mapDepth != 32)
        return false;
    if (base == 1 && (mapType != 1 || (l->depth != 8 && l->depth != 16))) return false;
    if (base == 2 && l->depth != 15 && l->depth != 16 && l->depth != 24 && l->depth != 32)
        return false;
    if (base == 3 && l->depth != 8 && l->depth != 16) return false;
    if (l->width < 1 || l->height < 1) return false;
    l->mapAt = 18 + std::size_t(d[0]);
    l->pixelsAt = l->mapAt + (mapType == 1 ? std::size_t(l->mapLength) * BytesOf(l->mapDepth) : 0);
    return true;
}

// One pixel of `bits` at p (true-colour or map entry) to RGBA.
void Colour(const unsigned char* p, int bits, bool grey, unsigned char* out) {
    if (grey) {
        out[0] = out[1] = out[2] = p[0];
        out[3] = bits == 16 ? p[1] : 255;
        return;
    }
    switch (bits) {
        case 15:
        case 16: {
            const unsigned v = Le16(p);
            out[0] = static_cast<unsigned char>(((v >> 10) & 31) * 255 / 31);
            out[1] = static_cast<unsigned char>(((v >> 5) & 31) * 255 / 31);
            out[2] = static_cast<unsigned char>((v & 31) * 255 / 31);
            out[3] = 255;
            break;
        }
        case 24:
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            out[3] = 255;
            break;
        default:
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            out[3] = p[3];
            break;
    }
}

}  // namespace

bool TgaLooksLikeOne(Bytes in) {
    Layout l;
    return Parse(in, &l);
}

bool TgaHeader(Bytes in, Header* header, Problem* why) {
    Layout l;
    if (!Parse(in, &l)) {
        SetProblem(why, Failure::Unsupported, "not an image format that is read");
        return false;
    }
    header->width = l.width;
    header->height = l.height;
    if (l.pixelsAt > in.size) {
        SetProblem(why, Failure::Corrupt, "the TGA is truncated in its colour map");
        return false;
    }
    if (l.type < 8) {
        // Raw: every pixel is in the file, checked before allocation.
        const double need = double(l.width) * double(l.height) * BytesOf(l.depth);
        if (need > double(in.size - l.pixelsAt)) {
            SetProblem(why, Failure::Corrupt,
                       "the TGA is truncated: %d x %d pixels need %.0f bytes, the file has %zu",
                       l.width, l.height, need, in.size - l.pixelsAt);
            return false;
        }
        header->pixelsPerByte = 1.0;
    } else {
        // A run-length packet repeats one pixel at most 128 times.
        header->pixelsPerByte = 64.0;
    }
    return true;
}

bool TgaDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why) {
    Layout l;
    if (!Parse(in, &l) || l.width != width || l.height != height) {
        SetProblem(why, Failure::Corrupt, "the TGA header changed between reads");
        return false;
    }
    const int base = l.type & 7;
    const bool rle = l.type >= 8;
    const bool grey = base == 3;
    const std::size_t size = std::size_t(BytesOf(l.depth));
    const std::size_t total = std::size_t(width) * std::size_t(height);
    std::size_t at = l.pixelsAt;
    std::size_t run = 0;          // pixels left in the current packet
    bool repeat = false;          // run-length packet: one value repeated
    unsigned char value[4] = {0, 0, 0, 255};
    for (std::size_t i = 0; i < total; ++i) {
        const bool fresh = !rle || run == 0 || !repeat;
        if (rle && run == 0) {
            if (at >= in.size) {
                SetProblem(why, Failure::Corrupt, "the TGA data ends early at pixel %zu of %zu",
                           i, total);
                return false;
            }
            const unsigned char head = in.data[at++];
            repeat = (head & 0x80) != 0;
            run = std::size_t(head & 0x7f) + 1;
        }
        if (fresh) {
            if (at + size > in.size) {
                SetProblem(why, Failure::Corrupt, "the TGA data ends early at pixel %zu of %zu",
                           i, total);
                return false;
            }
            const unsigned char* p = in.data + at;
            at += size;
            if (base == 1) {
                const long index = long(size == 2 ? Le16(p) : p[0]) - l.mapFirst;
                const std::size_t entry = std::size_t(BytesOf(l.mapDepth));
                if (index < 0 || index >= l.mapLength) {
                    // Outside the map: black, never memory outside it.
                    value[0] = value[1] = value[2] = 0;
                    value[3] = 255;
                } else {
                    Colour(in.data + l.mapAt + std::size_t(index) * entry, l.mapDepth, false, value);
                }
            } else {
                Colour(p, l.depth, grey, value);
            }
        }
        if (rle) --run;
        const std::size_t row = i / std::size_t(width), column = i % std::size_t(width);
        const std::size_t y = l.topDown ? row : std::size_t(height) - 1 - row;
        const std::size_t x = l.rightToLeft ? std::size_t(width) - 1 - column : column;
        std::memcpy(rgba + (y * std::size_t(width) + x) * 4u, value, 4);
    }
    return true;
}

}  // namespace qmimage
