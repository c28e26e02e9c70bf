// BMP, read here: the format is small enough to check every offset by hand.
// Uncompressed 1, 4, 8, 16, 24 and 32 bits a pixel, with or without bit
// fields, bottom-up or top-down (a negative height); RLE is not read.
#include "image/ImageReader.h"

#include <cstring>

namespace qmimage {

namespace {

unsigned Le16(const unsigned char* p) { return unsigned(p[0]) | (unsigned(p[1]) << 8); }
unsigned long Le32(const unsigned char* p) {
    return (unsigned long)(p[0]) | ((unsigned long)(p[1]) << 8) | ((unsigned long)(p[2]) << 16) |
           ((unsigned long)(p[3]) << 24);
}
long long Signed32(unsigned long v) { return v >= 0x80000000ul ? (long long)v - 0x100000000ll : (long long)v; }

struct Layout {
    long long width = 0, height = 0;  // height negative: top-down rows
    int bits = 0;
    unsigned long compression = 0;
    std::size_t pixelsAt = 0;
    std::size_t paletteAt = 0;
    std::size_t paletteEntrySize = 4;
    std::size_t paletteCount = 0;
    unsigned long masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    bool alphaFromZeroFix = false;  // 32 bits without fields: all-zero alpha means opaque
};

bool Parse(Bytes in, Layout* l, Problem* why) {
    if (in.size < 26) {
        SetProblem(why, Failure::Corrupt, "a BMP shorter than its headers");
        return false;
    }
    const unsigned char* d = in.data;
    const unsigned long infoSize = Le32(d + 14);
    const unsigned long offset = Le32(d + 10);
    if (infoSize == 12) {
        l->width = Le16(d + 18);
        l->height = Le16(d + 20);
        l->bits = int(Le16(d + 24));
        l->paletteEntrySize = 3;
    } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 ||
               infoSize == 108 || infoSize == 124) {
        if (in.size < 14 + 40) {
            SetProblem(why, Failure::Corrupt, "a BMP shorter than its headers");
            return false;
        }
        l->width = Signed32(Le32(d + 18));
        l->height = Signed32(Le32(d + 22));
        l->bits = int(Le16(d + 28));
        l->compression = Le32(d + 30);
        l->paletteCount = Le32(d + 46);
    } else {
        SetProblem(why, Failure::Unsupported, "a BMP header of %lu bytes is not read", infoSize);
        return false;
    }
    std::size_t after = 14 + std::size_t(infoSize);
    const bool fields = l->compression == 3 || l->compression == 6;
    if (l->compression != 0 && !fields) {
        SetProblem(why, Failure::Unsupported, "BMP compression %lu (RLE or embedded) is not read",
                   l->compression);
        return false;
    }
    if (fields) {
        if (l->bits != 16 && l->bits != 32) {
            SetProblem(why, Failure::Corrupt, "BMP bit fields on %d bits a pixel", l->bits);
            return false;
        }
        // Fields follow a 40-byte header; later headers hold them inside.
        const std::size_t count = l->compression == 6 || infoSize >= 56 ? 4 : 3;
        const std::size_t at = 14 + 40;
        if (in.size < at + 4 * count) {
            SetProblem(why, Failure::Corrupt, "a BMP shorter than its bit fields");
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) l->masks[i] = Le32(d + at + 4 * i);
        if (infoSize == 40) after += 4 * (l->compression == 6 ? 4 : 3);
    } else if (l->bits == 16) {
        l->masks[0] = 0x7c00;
        l->masks[1] = 0x03e0;
        l->masks[2] = 0x001f;
    } else if (l->bits == 32) {
        l->masks[0] = 0xff0000;
        l->masks[1] = 0xff00;
        l->masks[2] = 0xff;
        l->masks[3] = 0xff000000ul;
        l->alphaFromZeroFix = true;
    }
    if (l->bits != 1 && l->bits != 4 && l->bits != 8 && l->bits != 16 && l->bits != 24 &&
        l->bits != 32) {
        SetProblem(why, Failure::Corrupt, "a BMP of %d bits a pixel", l->bits);
        return false;
    }
    // Only indexed pixels use the palette; a count the header gives for
    // others (allowed, as a hint to displays) is not read.
    if (l->bits <= 8) {
        const std::size_t full = std::size_t(1) << l->bits;
        if (l->paletteCount == 0 || l->paletteCount > full) l->paletteCount = full;
        l->paletteAt = after;
    } else {
        l->paletteCount = 0;
    }
    l->pixelsAt = offset;
    return true;
}

std::size_t Stride(const Layout& l) {
    return ((std::size_t(l.width) * std::size_t(l.bits) + 31) / 32) * 4;
}

// A field's value scaled to 8 bits.
unsigned char Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!(mask & 1ul)) {
        mask >>= 1;
        ++shift;
    }
    const unsigned long long value = (pixel >> shift) & mask;
    return static_cast<unsigned char>((value * 255ull + mask / 2) / mask);
}

}  // namespace

bool BmpHeader(Bytes in, Header* header, Problem* why) {
    Layout l;
    if (!Parse(in, &l, why)) return false;
    header->width = l.width;
    header->height = l.height;
    // Every pixel is in the file: the claim is checked against the data here,
    // before anything is allocated.
    header->pixelsPerByte = 8.0;
    const long long rows = l.height < 0 ? -l.height : l.height;
    if (l.width > 0 && rows > 0 && l.width <= 65535 && rows <= 65535) {
        const double need = double(l.pixelsAt) + double(Stride(l)) * double(rows - 1) +
                            double((std::size_t(l.width) * std::size_t(l.bits) + 7) / 8);
        if (need > double(in.size)) {
            SetProblem(why, Failure::Corrupt,
                       "the BMP is truncated: %lld x %lld pixels need %.0f bytes, the file has %zu",
                       l.width, l.height, need, in.size);
            return false;
        }
    }
    return true;
}

bool BmpDecode(Bytes in, unsigned char* rgba, int width, int height, Problem* why) {
    Layout l;
    if (!Parse(in, &l, why)) return false;
    unsigned char palette[256][4];
    std::memset(palette, 0, sizeof palette);
    for (std::size_t i = 0; i < 256; ++i) palette[i][3] = 255;  // missing entries: black
    for (std::size_t i = 0; i < l.paletteCount && i < 256; ++i) {
        const std::size_t at = l.paletteAt + i * l.paletteEntrySize;
        if (at + 3 > in.size || at + 3 > l.pixelsAt) break;
        palette[i][0] = in.data[at + 2];
        palette[i][1] = in.data[at + 1];
        palette[i][2] = in.data[at];
    }
    const std::size_t stride = Stride(l);
    const bool topDown = l.height < 0;
    bool anyAlpha = false;
    for (int row = 0; row < height; ++row) {
        const unsigned char* src = in.data + l.pixelsAt + std::size_t(row) * stride;
        const int y = topDown ? row : height - 1 - row;
        unsigned char* out = rgba + std::size_t(y) * std::size_t(width) * 4u;
        for (int x = 0; x < width; ++x) {
            unsigned char* p = out + 4 * x;
            if (l.bits <= 8) {
                const std::size_t bit = std::size_t(x) * std::size_t(l.bits);
                const unsigned byte = src[bit / 8];
                const unsigned index =
                    (byte >> (8 - l.bits - int(bit % 8))) & ((1u << l.bits) - 1u);
                std::memcpy(p, palette[index], 4);
            } else if (l.bits == 24) {
                p[0] = src[3 * x + 2];
                p[1] = src[3 * x + 1];
                p[2] = src[3 * x];
                p[3] = 255;
            } else {
                const unsigned long v = l.bits == 16 ? Le16(src + 2 * x) : Le32(src + 4 * x);
                p[0] = Channel(v, l.masks[0]);
                p[1] = Channel(v, l.masks[1]);
                p[2] = Channel(v, l.masks[2]);
                p[3] = l.masks[3] ? Channel(v, l.masks[3]) : 255;
                if (p[3]) anyAlpha = true;
            }
        }
    }
    // Many writers leave the fourth byte of 32-bit pixels at zero: all zero
    // means no alpha at all, not an invisible image.
    if (l.alphaFromZeroFix && !anyAlpha)
        for (std::size_t i = 0; i < std::size_t(width) * std::size_t(height); ++i)
            rgba[4 * i + 3] = 255;
    (void)why;
    return true;
}

}  // namespace qmimage
