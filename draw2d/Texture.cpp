#include "Texture.h"

#include "core/FileRead.h"
#include "core/Report.h"
#include "image/ImageReader.h"
#include "render/GLState.h"
#include "draw2d/SpriteBatch.h"
#include "draw2d/TextureAccess.h"

#include <GL/gl.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>


#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace {

using qmdiag::ReportNamed;

// No image file of a readable size comes near this (an uncompressed BMP of
// the largest side).
constexpr std::size_t kMaxFileBytes = (std::size_t(1) << 30) + (std::size_t(1) << 20);

int MaxGLSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

// The image readers (image/) check the header's claim before allocating and
// the data against the claim; here their verdict becomes the diagnostic.
bool Decode(const unsigned char* data, std::size_t size, const char* name,
            unsigned char** pixels, int* width, int* height) {
    const int maxSide = qmgl::ContextCurrent() ? MaxGLSide() : 0;
    qmimage::Image image;
    qmimage::Problem why;
    if (qmimage::Read(data, size, maxSide, &image, &why)) {
        *pixels = image.pixels;
        *width = image.width;
        *height = image.height;
        return true;
    }
    const double w = double(why.claimedWidth), h = double(why.claimedHeight);
    switch (why.failure) {
        case qmimage::Failure::Unsupported:
            ReportNamed(Diagnostic::TextureFormatUnsupported, name, why.reason);
            break;
        case qmimage::Failure::TooLarge:
            ReportNamed(Diagnostic::TextureTooLarge, name, why.reason, w, h < 0 ? -h : h);
            break;
        case qmimage::Failure::TooLargeForGL:
            ReportNamed(Diagnostic::TextureTooLargeForGL, name, nullptr, w > std::fabs(h) ? w : std::fabs(h),
                 maxSide);
            break;
        default:
            ReportNamed(Diagnostic::TextureCorrupt, name, why.reason);
            break;
    }
    return false;
}

}  // namespace

// [SECTION] Texture

Texture::Texture() noexcept
    : pixels_(nullptr), width_(0), height_(0), smooth_(true), repeated_(false), glName_(0),
      generation_(0), imageDirty_(false), samplingDirty_(false), tooLargeForGL_(false) {}

Texture::~Texture() { Release(); }

Texture::Texture(Texture&& other) noexcept : Texture() { *this = std::move(other); }

Texture& Texture::operator=(Texture&& other) noexcept {
    if (this == &other) return *this;
    Release();
    pixels_ = other.pixels_;
    width_ = other.width_;
    height_ = other.height_;
    smooth_ = other.smooth_;
    repeated_ = other.repeated_;
    glName_ = other.glName_;
    generation_ = other.generation_;
    imageDirty_ = other.imageDirty_;
    samplingDirty_ = other.samplingDirty_;
    tooLargeForGL_ = other.tooLargeForGL_;
    other.pixels_ = nullptr;
    other.width_ = other.height_ = 0;
    other.glName_ = 0;
    return *this;
}

// Frees the pixels and, if its context is still the current one, the GL
// texture (drawing the queued sprites that use it first). After a Close the
// name went with its context and is only forgotten.
void Texture::Release() {
    if (glName_ != 0 && generation_ == qmgl::Generation() && qmgl::ContextCurrent()) {
        qmsprite::FlushIfUsing(glName_);
        const GLuint name = glName_;
        glDeleteTextures(1, &name);
    }
    glName_ = 0;
    std::free(pixels_);
    pixels_ = nullptr;
    width_ = height_ = 0;
}

bool Texture::Take(unsigned char* pixels, int width, int height) {
    // Sprites queued with the old image are drawn with it.
    if (glName_ != 0 && generation_ == qmgl::Generation()) qmsprite::FlushIfUsing(glName_);
    std::free(pixels_);
    pixels_ = pixels;
    width_ = width;
    height_ = height;
    imageDirty_ = true;
    tooLargeForGL_ = false;
    return true;
}

bool Texture::LoadFromFile(const char* path) {
    if (!path || !*path) {
        ReportNamed(Diagnostic::TextureArgumentIgnored, "LoadFromFile", "the path is null or empty");
        return false;
    }
    std::vector<unsigned char> bytes;
    std::size_t seen = 0;
    char reason[160];
    switch (qmfile::ReadWholeFile(path, kMaxFileBytes, &bytes, &seen, reason, sizeof reason)) {
        case qmfile::ReadResult::TooLarge:
            ReportNamed(Diagnostic::TextureFileUnreadable, path, "over 1 GiB");
            return false;
        case qmfile::ReadResult::Failed:
            ReportNamed(Diagnostic::TextureFileUnreadable, path, reason);
            return false;
        case qmfile::ReadResult::Read:
            break;
    }
    static const unsigned char kNothing = 0;  // an empty file: reported as an empty image
    return LoadFromMemory(bytes.empty() ? &kNothing : bytes.data(), bytes.size(), path);
}

bool Texture::LoadFromMemory(const void* data, std::size_t size, const char* name) {
    if (!name) name = "memory";
    if (!data) {
        ReportNamed(Diagnostic::TextureArgumentIgnored, name, "the data is null");
        return false;
    }
    unsigned char* pixels = nullptr;
    int width = 0, height = 0;
    if (!Decode(static_cast<const unsigned char*>(data), size, name, &pixels, &width, &height))
        return false;
    return Take(pixels, width, height);
}

bool Texture::LoadFromPixels(const unsigned char* rgba, int width, int height) {
    if (!rgba) {
        ReportNamed(Diagnostic::TextureArgumentIgnored, "LoadFromPixels", "the pixels are null");
        return false;
    }
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
        char reason[96];
        std::snprintf(reason, sizeof reason, "%d x %d has a side outside 1..%d", width, height,
                      kMaxSide);
        ReportNamed(Diagnostic::TextureArgumentIgnored, "LoadFromPixels", reason);
        return false;
    }
    // As for decoded images: this GL's own limit, while a window is open.
    if (qmgl::ContextCurrent()) {
        const int maxSide = MaxGLSide();
        if (maxSide > 0 && (width > maxSide || height > maxSide)) {
            ReportNamed(Diagnostic::TextureTooLargeForGL, "LoadFromPixels", nullptr,
                 width > height ? width : height, maxSide);
            return false;
        }
    }
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4u;
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(bytes));
    if (!copy) {
        ReportNamed(Diagnostic::TextureArgumentIgnored, "LoadFromPixels", "no memory for the copy");
        return false;
    }
    std::memcpy(copy, rgba, bytes);
    return Take(copy, width, height);
}

bool Texture::IsLoaded() const { return pixels_ != nullptr; }
int Texture::GetWidth() const { return width_; }
int Texture::GetHeight() const { return height_; }
const unsigned char* Texture::GetPixels() const { return pixels_; }

void Texture::SetSmooth(bool smooth) {
    if (smooth == smooth_) return;
    if (glName_ != 0 && generation_ == qmgl::Generation()) qmsprite::FlushIfUsing(glName_);
    smooth_ = smooth;
    samplingDirty_ = true;
}
bool Texture::IsSmooth() const { return smooth_; }

void Texture::SetRepeated(bool repeated) {
    if (repeated == repeated_) return;
    if (glName_ != 0 && generation_ == qmgl::Generation()) qmsprite::FlushIfUsing(glName_);
    repeated_ = repeated;
    samplingDirty_ = true;
}
bool Texture::IsRepeated() const { return repeated_; }

// [SECTION] Upload

namespace qmdetail {

unsigned TextureAccess::Prepare(const Texture& t) {
    if (!t.pixels_ || !qmgl::ContextCurrent()) return 0;
    const unsigned generation = qmgl::Generation();
    if (t.generation_ != generation) {
        // A texture of an older context (or none yet): its name died with it.
        t.glName_ = 0;
        t.generation_ = generation;
        t.imageDirty_ = true;
        t.tooLargeForGL_ = false;
    }
    if (t.tooLargeForGL_) return 0;
    if (t.glName_ != 0 && !t.imageDirty_ && !t.samplingDirty_) return t.glName_;

    if (t.imageDirty_) {
        const int maxSide = MaxGLSide();
        if (maxSide > 0 && (t.width_ > maxSide || t.height_ > maxSide)) {
            t.tooLargeForGL_ = true;
            ReportNamed(Diagnostic::TextureTooLargeForGL, "a texture", nullptr,
                 t.width_ > t.height_ ? t.width_ : t.height_, maxSide);
            return 0;
        }
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (t.glName_ == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        t.glName_ = name;
        t.samplingDirty_ = true;
    }
    glBindTexture(GL_TEXTURE_2D, t.glName_);
    if (t.imageDirty_) {
        // The copy's rows are tightly packed, top row first, 4 bytes a pixel.
        qmgl::DefaultUnpack unpack;
        if (!unpack.Ready()) {  // tried again at the next draw
            glBindTexture(GL_TEXTURE_2D, GLuint(bound));
            return 0;
        }
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, t.width_, t.height_, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, t.pixels_);
        t.imageDirty_ = false;
    }
    if (t.samplingDirty_) {
        // No mipmaps: the minifying filter must not ask for them.
        const GLint filter = t.smooth_ ? GL_LINEAR : GL_NEAREST;
        const GLint wrap = t.repeated_ ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        t.samplingDirty_ = false;
    }
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    return t.glName_;
}

std::size_t LargestDecoderAllocation() { return qmimage::LargestAllocation(); }
void ResetDecoderAllocationRecord() { qmimage::ResetAllocationRecord(); }

}  // namespace qmdetail
