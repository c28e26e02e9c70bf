#include "draw2d/TextCache.h"

#include <cstring>

namespace qmtype {

namespace {

std::uint32_t Bits(float v) {
    std::uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

std::uint64_t Mix(std::uint64_t h, std::uint64_t w) {
    h = (h ^ w) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// Eight bytes at a time: strings of a frame hash in a few nanoseconds.
std::uint64_t Hash(const TextKey& key) {
    std::uint64_t h = Mix(0x243F6A8885A308D3ull, key.length);
    h = Mix(h, (std::uint64_t(Bits(key.pixelHeight)) << 32) | Bits(key.layerScale));
    h = Mix(h, Bits(key.wrap));
    const char* p = key.text;
    std::size_t n = key.length;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = Mix(h, w);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, p, n);
    return Mix(h, tail);
}

// Storage grows by doubling, up to its bound and no further.
template <typename T>
void Room(std::vector<T>& v, std::size_t needed, std::size_t bound) {
    if (needed <= v.capacity()) return;
    std::size_t want = v.capacity() * 2;
    if (want < needed) want = needed;
    if (want > bound) want = bound;
    v.reserve(want);
}

}  // namespace

bool TextCache::Same(const Entry& e, const TextKey& key, std::uint64_t hash) const {
    // Sizes compare by their bits: a key that lays out differently never matches.
    return e.hash == hash && e.length == key.length &&
           Bits(e.pixelHeight) == Bits(key.pixelHeight) &&
           Bits(e.layerScale) == Bits(key.layerScale) && Bits(e.wrap) == Bits(key.wrap) &&
           std::memcmp(text_.data() + e.textAt, key.text, key.length) == 0;
}

LaidText TextCache::View(const Entry& e) const {
    return {lines_.data() + e.lineAt, e.lineCount, glyphs_.data() + e.glyphAt, e.pages};
}

bool TextCache::Find(const TextKey& key, LaidText* out) const {
    if (entries_.empty()) return false;
    const std::uint64_t hash = Hash(key);
    for (std::size_t s = std::size_t(hash) & (kSlots - 1);; s = (s + 1) & (kSlots - 1)) {
        const std::uint16_t slot = slots_[s];
        if (slot == 0) return false;
        const Entry& e = entries_[slot - 1u];
        if (Same(e, key, hash)) {
            *out = View(e);
            return true;
        }
    }
}

bool TextCache::Add(const TextKey& key, const LaidLine* lines, std::size_t lineCount,
                    const LaidGlyph* glyphs, std::size_t glyphCount, std::uint32_t pages,
                    LaidText* out) {
    if (key.length > kTextBytes || lineCount > kLines || glyphCount > kGlyphs) return false;
    if (entries_.size() == kEntries || text_.size() + key.length > kTextBytes ||
        lines_.size() + lineCount > kLines || glyphs_.size() + glyphCount > kGlyphs)
        Clear();
    if (slots_.empty()) {
        slots_.assign(kSlots, 0);
        entries_.reserve(kEntries);
    }
    Room(text_, text_.size() + key.length, kTextBytes);
    Room(lines_, lines_.size() + lineCount, kLines);
    Room(glyphs_, glyphs_.size() + glyphCount, kGlyphs);
    const Entry e{Hash(key),
                  std::uint32_t(text_.size()),
                  std::uint32_t(key.length),
                  key.pixelHeight,
                  key.layerScale,
                  key.wrap,
                  std::uint32_t(lines_.size()),
                  std::uint32_t(lineCount),
                  std::uint32_t(glyphs_.size()),
                  pages};
    text_.insert(text_.end(), key.text, key.text + key.length);
    lines_.insert(lines_.end(), lines, lines + lineCount);
    glyphs_.insert(glyphs_.end(), glyphs, glyphs + glyphCount);
    std::size_t s = std::size_t(e.hash) & (kSlots - 1);
    while (slots_[s] != 0) s = (s + 1) & (kSlots - 1);
    entries_.push_back(e);
    slots_[s] = std::uint16_t(entries_.size());
    *out = View(e);
    return true;
}

void TextCache::Clear() {
    // Capacity stays: the cache fills again without allocating.
    entries_.clear();
    text_.clear();
    lines_.clear();
    glyphs_.clear();
    if (!slots_.empty()) std::memset(slots_.data(), 0, slots_.size() * sizeof slots_[0]);
}

}  // namespace qmtype
