// An image a game loads once and draws as sprites (Sprite.h): RGBA, 8 bits a
// channel. The game owns it: move-only, no copies.
//
// Formats: PNG, JPEG (baseline and progressive), BMP (uncompressed), TGA and
// GIF (its first frame), from a file, from the encoded bytes in memory, or
// from raw RGBA pixels. Files are read as hostile input: a header's claim is
// checked before anything of its size is allocated, a file whose data runs
// out fails as TextureCorrupt instead of being padded, and a palette index
// past its table reads black (transparent in a GIF). Images are stored top row first, as files and image editors have
// them; Sprite.h says which corner lands where on the 2D layer.
//
// Lifetime: a Texture may be loaded before Open and outlives the window. It
// keeps a CPU copy of its pixels (width * height * 4 bytes, beside what the GL
// holds) and uploads it when first drawn in a window's context, again after a
// Close and a new Open (SetFullScreen and friends apply at Open). It makes no
// GL call without an open window; after Close its GL texture is forgotten
// with the context that held it. Destroying or reloading a texture that
// queued sprites use draws those sprites first.
//
// A failed load returns false, keeps the image the texture had, and says why
// through Diagnostics (TextureFileUnreadable .. TextureArgumentIgnored), in a
// message that names the file. Drawing a texture that holds no image draws
// nothing.
#ifndef QUILLMAR_TEXTURE_H
#define QUILLMAR_TEXTURE_H

#include "QuillmarExport.h"

#include <cstddef>

namespace qmdetail {
struct TextureAccess;
}

class QM_API Texture {
public:
    // The largest side accepted, in pixels: files claiming more are refused
    // before anything is decoded. The GL may hold less (GL_MAX_TEXTURE_SIZE);
    // that is checked at load when a window is open, else when first drawn.
    static constexpr int kMaxSide = 16384;

    Texture() noexcept;
    ~Texture();
    Texture(Texture&& other) noexcept;
    Texture& operator=(Texture&& other) noexcept;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Decodes an image file (format from its content, not its name).
    bool LoadFromFile(const char* path);
    // Decodes `size` bytes of an encoded image; `name` labels the messages
    // (null: "memory").
    bool LoadFromMemory(const void* data, std::size_t size, const char* name = nullptr);
    // Copies width * height RGBA pixels, 4 bytes each, top row first.
    // Sides 1..kMaxSide.
    bool LoadFromPixels(const unsigned char* rgba, int width, int height);

    bool IsLoaded() const;
    int GetWidth() const;   // pixels; 0 when nothing is loaded
    int GetHeight() const;
    // The CPU copy: GetWidth() * GetHeight() RGBA pixels, top row first; null
    // when nothing is loaded.
    const unsigned char* GetPixels() const;

    // Sampling: smooth (linear, the default) or pixelated (nearest texel).
    void SetSmooth(bool smooth);
    bool IsSmooth() const;
    // At the edges and outside 0..1: repeat the image, or clamp to its edge
    // texels (the default).
    void SetRepeated(bool repeated);
    bool IsRepeated() const;

private:
    friend struct qmdetail::TextureAccess;
    bool Take(unsigned char* pixels, int width, int height);
    void Release();

    unsigned char* pixels_;
    int width_;
    int height_;
    bool smooth_;
    bool repeated_;
    // The GL side, made when drawn: the name, the context generation it
    // belongs to, and what must be sent again.
    mutable unsigned glName_;
    mutable unsigned generation_;
    mutable bool imageDirty_;
    mutable bool samplingDirty_;
    mutable bool tooLargeForGL_;
};

#endif
