#include "draw2d/GlyphAtlas.h"

#include "render/GLState.h"
#include "draw2d/SpriteBatch.h"

#include <GL/gl.h>

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F  // GL 1.2; Windows' header stops at 1.1
#endif

namespace qmtype {

GlyphAtlas::~GlyphAtlas() { Clear(); }

bool GlyphAtlas::Place(int width, int height, int* page, int* x, int* y) {
    // The blank texel on every side keeps linear filtering from reaching a
    // neighbour.
    const int w = width + 2, h = height + 2;
    if (width < 0 || height < 0 || w > kWidth || h > kMaxHeight) return false;
    for (std::size_t p = 0; p < pages_.size(); ++p) {
        if (PlaceOn(pages_[p], w, h, x, y)) {
            *page = int(p);
            return true;
        }
    }
    if (int(pages_.size()) >= kMaxPages) return false;
    pages_.emplace_back();
    Grow(pages_.back(), kFirstHeight);
    if (!PlaceOn(pages_.back(), w, h, x, y)) return false;
    *page = int(pages_.size()) - 1;
    return true;
}

bool GlyphAtlas::PlaceOn(Page& page, int w, int h, int* x, int* y) {
    // The first shelf tall enough and not more than a third taller keeps
    // small glyphs off the rows of large ones.
    for (Shelf& shelf : page.shelves) {
        if (shelf.height >= h && shelf.height * 2 <= h * 3 && shelf.x + w <= kWidth) {
            *x = shelf.x + 1;
            *y = shelf.y + 1;
            shelf.x += w;
            return true;
        }
    }
    if (page.used + h > kMaxHeight) return false;
    if (page.used + h > page.height) Grow(page, page.used + h);
    page.shelves.push_back({page.used, h, w});
    *x = 1;
    *y = page.used + 1;
    page.used += h;
    return true;
}

void GlyphAtlas::Grow(Page& page, int needed) {
    int height = page.height > 0 ? page.height : kFirstHeight;
    while (height < needed) height *= 2;
    if (height > kMaxHeight) height = kMaxHeight;
    if (height == page.height) return;
    // Queued glyphs of this page have texture coordinates for the old height.
    if (page.glName != 0 && page.generation == qmgl::Generation())
        qmsprite::FlushIfUsing(page.glName);
    page.pixels.resize(std::size_t(kWidth) * std::size_t(height), 0);
    page.height = height;
}

unsigned char* GlyphAtlas::Row(int page, int y) {
    return &pages_[std::size_t(page)].pixels[std::size_t(y) * kWidth];
}

void GlyphAtlas::Touch(int page, int first, int last) {
    Page& p = pages_[std::size_t(page)];
    if (p.dirtyLast < p.dirtyFirst) {
        p.dirtyFirst = first;
        p.dirtyLast = last;
        return;
    }
    if (first < p.dirtyFirst) p.dirtyFirst = first;
    if (last > p.dirtyLast) p.dirtyLast = last;
}

unsigned GlyphAtlas::Prepare(int index) {
    if (!qmgl::ContextCurrent()) return 0;
    Page& page = pages_[std::size_t(index)];
    const unsigned generation = qmgl::Generation();
    if (page.generation != generation) {
        // Made in an older context (or never): the name went with it.
        page.glName = 0;
        page.glHeight = 0;
        page.generation = generation;
    }
    const bool whole = page.glName == 0 || page.glHeight != page.height;
    if (!whole && page.dirtyLast < page.dirtyFirst) return page.glName;

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (page.glName == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        page.glName = name;
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    } else {
        glBindTexture(GL_TEXTURE_2D, page.glName);
    }
    // Rows of kWidth bytes, tightly packed. Alpha texels times the colour give
    // the colour with the glyph's coverage.
    qmgl::DefaultUnpack unpack;
    if (!unpack.Ready()) {  // tried again at the next draw
        glBindTexture(GL_TEXTURE_2D, GLuint(bound));
        return 0;
    }
    if (whole) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, kWidth, page.height, 0, GL_ALPHA,
                     GL_UNSIGNED_BYTE, page.pixels.data());
        page.glHeight = page.height;
    } else {
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, page.dirtyFirst, kWidth,
                        page.dirtyLast - page.dirtyFirst + 1, GL_ALPHA, GL_UNSIGNED_BYTE,
                        Row(index, page.dirtyFirst));
    }
    page.dirtyFirst = 0;
    page.dirtyLast = -1;
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    return page.glName;
}

void GlyphAtlas::ReleaseGL(Page& page) {
    if (page.glName != 0 && page.generation == qmgl::Generation() && qmgl::ContextCurrent()) {
        qmsprite::FlushIfUsing(page.glName);
        const GLuint name = page.glName;
        glDeleteTextures(1, &name);
    }
    page.glName = 0;
}

void GlyphAtlas::Clear() {
    for (Page& page : pages_) ReleaseGL(page);
    pages_.clear();
}

}  // namespace qmtype
