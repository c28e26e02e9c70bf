#include "draw2d/FontInput.h"

#include <cstdio>
#include <cstring>


namespace qmtype {

namespace {

constexpr unsigned kMaxTables = 512;  // real fonts have a few dozen

unsigned Read16(const unsigned char* p) { return unsigned(p[0]) << 8 | p[1]; }
unsigned long Read32(const unsigned char* p) {
    return (unsigned long)p[0] << 24 | (unsigned long)p[1] << 16 | (unsigned long)p[2] << 8 |
           (unsigned long)p[3];
}
unsigned long Tag(const char* t) { return Read32(reinterpret_cast<const unsigned char*>(t)); }

// Where the first face's table directory starts; false when there is none.
bool FaceDirectory(const unsigned char* data, std::size_t size, std::size_t* at) {
    if (size < 12) return false;
    if (Read32(data) != Tag("ttcf")) {
        *at = 0;
        return true;
    }
    if (size < 16) return false;
    const unsigned long faces = Read32(data + 8);
    if (faces == 0 || faces > (size - 12) / 4) return false;
    *at = Read32(data + 12);
    return *at <= size - 12;
}

// The table's offset and length in the first face; false when absent.
bool FindTable(const unsigned char* data, std::size_t size, const char* tag,
               unsigned long* offset, unsigned long* length) {
    std::size_t dir = 0;
    if (!FaceDirectory(data, size, &dir) || dir > size - 12) return false;
    const unsigned tables = Read16(data + dir + 4);
    if (tables > kMaxTables || dir + 12 + 16ull * tables > size) return false;
    for (unsigned t = 0; t < tables; ++t) {
        const unsigned char* record = data + dir + 12 + 16 * t;
        if (Read32(record) == Tag(tag)) {
            *offset = Read32(record + 8);
            *length = Read32(record + 12);
            return true;
        }
    }
    return false;
}

}  // namespace

InputVerdict CheckFontFile(const unsigned char* data, std::size_t size, char* reason,
                           std::size_t reasonSize) {
    if (size < 12) {
        std::snprintf(reason, reasonSize, "%zu bytes are too few for a font", size);
        return size >= 4 ? InputVerdict::Corrupt : InputVerdict::Unsupported;
    }
    const unsigned long first = Read32(data);
    if (first == Tag("wOFF") || first == Tag("wOF2")) {
        std::snprintf(reason, reasonSize, "it is a compressed web font (WOFF)");
        return InputVerdict::Unsupported;
    }
    std::size_t dir = 0;
    if (!FaceDirectory(data, size, &dir)) {
        std::snprintf(reason, reasonSize, "the collection's first face lies outside the file");
        return InputVerdict::Corrupt;
    }
    const unsigned long version = Read32(data + dir);
    if (version != 0x00010000ul && version != Tag("OTTO") && version != Tag("true")) {
        std::snprintf(reason, reasonSize, "it is not a TrueType or OpenType font");
        return InputVerdict::Unsupported;
    }
    const unsigned tables = Read16(data + dir + 4);
    if (tables == 0 || tables > kMaxTables) {
        std::snprintf(reason, reasonSize, "its table count (%u) is absurd", tables);
        return InputVerdict::Corrupt;
    }
    if (dir + 12 + 16ull * tables > size) {
        std::snprintf(reason, reasonSize, "its table directory runs past the end of the file");
        return InputVerdict::Corrupt;
    }
    for (unsigned t = 0; t < tables; ++t) {
        const unsigned char* record = data + dir + 12 + 16 * t;
        const unsigned long long offset = Read32(record + 8), length = Read32(record + 12);
        if (offset + length > size) {
            char tag[5] = {};
            for (int k = 0; k < 4; ++k) {
                const unsigned char c = record[k];
                tag[k] = c >= 32 && c < 127 ? char(c) : '?';
            }
            std::snprintf(reason, reasonSize,
                          "table '%s' (%llu bytes at %llu) lies outside the file of %zu bytes",
                          tag, length, offset, size);
            return InputVerdict::Corrupt;
        }
    }
    return InputVerdict::Ok;
}

bool CheckGlyphCount(const unsigned char* data, std::size_t size, char* reason,
                     std::size_t reasonSize) {
    // The count is the file's own claim ('maxp'), not the engine's, which
    // quietly cuts it to what it finds.
    unsigned long maxpAt = 0, maxpLength = 0;
    if (!FindTable(data, size, "maxp", &maxpAt, &maxpLength) || maxpLength < 6) {
        std::snprintf(reason, reasonSize, "its 'maxp' table is missing or short");
        return false;
    }
    const unsigned glyphs = Read16(data + maxpAt + 4);
    unsigned long locaAt = 0, locaLength = 0, headAt = 0, headLength = 0;
    if (!FindTable(data, size, "loca", &locaAt, &locaLength)) return true;
    if (!FindTable(data, size, "head", &headAt, &headLength) || headLength < 54) {
        std::snprintf(reason, reasonSize, "its 'head' table is missing or short");
        return false;
    }
    const unsigned entry = Read16(data + headAt + 50) == 0 ? 2 : 4;
    if ((unsigned long long)(glyphs) + 1 > locaLength / entry) {
        std::snprintf(reason, reasonSize,
                      "it claims %u glyphs but locates only %lu", glyphs,
                      locaLength / entry > 0 ? locaLength / entry - 1 : 0);
        return false;
    }
    return true;
}

}  // namespace qmtype
