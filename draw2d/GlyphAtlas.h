// A font's rasterised glyphs, packed on shelves into single-channel (alpha)
// texture pages that start short, grow taller as glyphs arrive and, when
// full, are joined by another page. The pixels stay in memory so a page can
// be sent to GL again after a new Open; only rows written since the last
// upload are sent.
#ifndef QUILLMAR_DRAW2D_GLYPHATLAS_H
#define QUILLMAR_DRAW2D_GLYPHATLAS_H

#include <vector>

namespace qmtype {

class GlyphAtlas {
public:
    static constexpr int kWidth = 1024;
    static constexpr int kFirstHeight = 64;
    static constexpr int kMaxHeight = 1024;
    static constexpr int kMaxPages = 16;  // 16 MiB of glyphs a font at most

    GlyphAtlas() = default;
    ~GlyphAtlas();
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // Room for a width x height glyph with a blank texel around it: its page
    // and top-left texel (row 0 is the page's top). False when no page has
    // room and no page may be added, or the glyph is wider or taller than a
    // page. A page that grows first has its queued sprites drawn, since their
    // texture coordinates change with its height.
    bool Place(int width, int height, int* page, int* x, int* y);
    // Row y of a page, kWidth bytes; rows from Place's y to y + height - 1
    // are the glyph's to write.
    unsigned char* Row(int page, int y);
    // Rows first..last (inclusive) were written: they go to GL at the next Prepare.
    void Touch(int page, int first, int last);

    int PageCount() const { return int(pages_.size()); }
    int PageHeight(int page) const { return pages_[std::size_t(page)].height; }

    // The page's GL texture in the current context, made or brought up to
    // date (the texture binding is put back); 0 without a context.
    unsigned Prepare(int page);
    // Forgets every page, drawing queued sprites that use one first.
    void Clear();

private:
    struct Shelf {
        int y, height, x;
    };
    struct Page {
        std::vector<unsigned char> pixels;  // kWidth * height, top row first
        int height = 0;
        int used = 0;  // rows taken by shelves
        std::vector<Shelf> shelves;
        unsigned glName = 0;
        unsigned generation = 0;
        int glHeight = 0;  // the height the GL texture was made with; 0: to be made
        int dirtyFirst = 0, dirtyLast = -1;
    };
    bool PlaceOn(Page& page, int width, int height, int* x, int* y);
    void Grow(Page& page, int needed);
    void ReleaseGL(Page& page);

    std::vector<Page> pages_;
};

}  // namespace qmtype

#endif
