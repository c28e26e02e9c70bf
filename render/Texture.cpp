#include "Texture.h"

#include "core/Report.h"
#include "render/GLState.h"
#include "render/SpriteBatch.h"
#include "render/TextureAccess.h"

#include <GL/gl.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

// [SECTION] Decoder
// stb's reader, compiled here with internal linkage and only the five formats
// offered. Its allocations go through DecoderAllocate, which notes the
// largest request, so that refusing a huge claim early is checked.
namespace {
std::size_t largestAllocation = 0;
void* DecoderAllocate(std::size_t size) {
    if (size > largestAllocation) largestAllocation = size;
    return std::malloc(size);
}
void* DecoderReallocate(void* p, std::size_t size) {
    if (size > largestAllocation) largestAllocation = size;
    return std::realloc(p, size);
}
}  // namespace

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS Texture::kMaxSide
#define STBI_MALLOC(size) DecoderAllocate(size)
#define STBI_REALLOC(p, size) DecoderReallocate(p, size)
#define STBI_FREE(p) std::free(p)
#if defined(__GNUC__)
#  pragma GCC diagnostic push
#  pragma GCC diagnostic ignored "-Wunused-function"
#  pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#  pragma GCC diagnostic ignored "-Wsign-compare"
#  pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#  pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#  pragma GCC diagnostic pop
#endif

namespace {

// [SECTION] Reports
void Fail(Diagnostic code, const char* name, const char* reason, double a = 0, double b = 0) {
    char text[256];
    if (reason)
        std::snprintf(text, sizeof text, "%s: %s", name, reason);
    else
        std::snprintf(text, sizeof text, "%s", name);
    qmdiag::Report(code, a, b, text);
}

constexpr double kFreePixels = double(1 << 22);  // 2048 x 2048: 16 MiB decoded
constexpr double kPixelsPerByte = 16384.0;
constexpr long kMaxFileBytes = (1L << 30) + (1L << 20);

// The header's claim. A file with a known signature is asked of its own
// format only, so its reason ("too large") is not replaced by the other
// formats' "unknown image type".
int Info(const unsigned char* data, int length, int* w, int* h, int* channels) {
    auto starts = [&](const char* magic, int n) {
        return length >= n && std::memcmp(data, magic, std::size_t(n)) == 0;
    };
    stbi__context s;
    stbi__start_mem(&s, data, length);
    if (starts("\x89PNG", 4)) return stbi__png_info(&s, w, h, channels);
    if (starts("\xff\xd8", 2)) return stbi__jpeg_info(&s, w, h, channels);
    if (starts("GIF8", 4)) return stbi__gif_info(&s, w, h, channels);
    if (starts("BM", 2)) return stbi__bmp_info(&s, w, h, channels);
    return stbi_info_from_memory(data, length, w, h, channels);  // TGA has no signature
}

int MaxGLSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

bool Decode(const unsigned char* data, std::size_t size, const char* name,
            unsigned char** pixels, int* width, int* height) {
    if (size == 0) {
        Fail(Diagnostic::TextureCorrupt, name, "the image is empty");
        return false;
    }
    if (size > std::size_t(INT_MAX)) {
        Fail(Diagnostic::TextureTooLarge, name, "over 2 GiB of encoded data");
        return false;
    }
    const int length = int(size);
    int w = 0, h = 0, channels = 0;
    // The header alone first: a claim too large is refused before the
    // decoder allocates anything of that size.
    if (!Info(data, length, &w, &h, &channels)) {
        const char* reason = stbi_failure_reason();
        if (reason && std::strcmp(reason, "unknown image type") == 0)
            Fail(Diagnostic::TextureFormatUnsupported, name, "not an image format that is read");
        else if (reason && std::strcmp(reason, "too large") == 0)
            Fail(Diagnostic::TextureTooLarge, name, "the header claims an enormous image");
        else
            Fail(Diagnostic::TextureCorrupt, name, reason ? reason : "corrupt header");
        return false;
    }
    if (w <= 0 || h <= 0 || w > Texture::kMaxSide || h > Texture::kMaxSide) {
        char reason[80];
        std::snprintf(reason, sizeof reason, "a side above the limit of %d", Texture::kMaxSide);
        Fail(Diagnostic::TextureTooLarge, name, reason, w, h);
        return false;
    }
    // No format read here makes more than kPixelsPerByte pixels of a byte
    // (deflate's best case on 1-bit rows is about 8256): more is a lie of the
    // header, and the decoder would allocate the whole image before finding
    // the data short.
    const double claimed = double(w) * double(h);
    if (claimed > kFreePixels && claimed > double(size) * kPixelsPerByte) {
        char reason[96];
        std::snprintf(reason, sizeof reason, "far more pixels than %zu bytes can hold", size);
        Fail(Diagnostic::TextureTooLarge, name, reason, w, h);
        return false;
    }
    if (qmgl::ContextCurrent()) {
        const int maxSide = MaxGLSide();
        if (maxSide > 0 && (w > maxSide || h > maxSide)) {
            Fail(Diagnostic::TextureTooLargeForGL, name, nullptr, w > h ? w : h, maxSide);
            return false;
        }
    }
    int dw = 0, dh = 0;
    unsigned char* out = stbi_load_from_memory(data, length, &dw, &dh, &channels, 4);
    if (!out) {
        const char* reason = stbi_failure_reason();
        Fail(Diagnostic::TextureCorrupt, name,
             reason ? reason : "the image data is truncated or corrupt");
        return false;
    }
    *pixels = out;
    *width = dw;
    *height = dh;
    return true;
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
        Fail(Diagnostic::TextureArgumentIgnored, "LoadFromFile", "the path is null or empty");
        return false;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        Fail(Diagnostic::TextureFileUnreadable, path, std::strerror(errno));
        return false;
    }
#if !defined(_WIN32)
    // Only a regular file is read: a directory opens in some file systems (the
    // web page's among them) and reads as empty there.
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && !S_ISREG(info.st_mode)) {
        Fail(Diagnostic::TextureFileUnreadable, path, "not a regular file");
        std::fclose(file);
        return false;
    }
#endif
    // The whole file, then the header check: memory is bounded by the file.
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        Fail(Diagnostic::TextureFileUnreadable, path, "its size cannot be read");
        std::fclose(file);
        return false;
    }
    // A directory reports an absurd size here; no image file of a readable
    // size comes near the limit (an uncompressed BMP of the largest side).
    if (size > kMaxFileBytes) {
        Fail(Diagnostic::TextureFileUnreadable, path, "not a regular file, or over 1 GiB");
        std::fclose(file);
        return false;
    }
    unsigned char* data = static_cast<unsigned char*>(std::malloc(size > 0 ? std::size_t(size) : 1));
    if (!data) {
        Fail(Diagnostic::TextureFileUnreadable, path, "no memory to read it");
        std::fclose(file);
        return false;
    }
    const std::size_t got = size > 0 ? std::fread(data, 1, std::size_t(size), file) : 0;
    const bool readError = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (readError || got != std::size_t(size)) {
        Fail(Diagnostic::TextureFileUnreadable, path,
             readError ? std::strerror(readErrno) : "it changed while read");
        std::free(data);
        return false;
    }
    const bool loaded = LoadFromMemory(data, got, path);
    std::free(data);
    return loaded;
}

bool Texture::LoadFromMemory(const void* data, std::size_t size, const char* name) {
    if (!name) name = "memory";
    if (!data) {
        Fail(Diagnostic::TextureArgumentIgnored, name, "the data is null");
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
        Fail(Diagnostic::TextureArgumentIgnored, "LoadFromPixels", "the pixels are null");
        return false;
    }
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
        char reason[96];
        std::snprintf(reason, sizeof reason, "%d x %d has a side outside 1..%d", width, height,
                      kMaxSide);
        Fail(Diagnostic::TextureArgumentIgnored, "LoadFromPixels", reason);
        return false;
    }
    // As for decoded images: this GL's own limit, while a window is open.
    if (qmgl::ContextCurrent()) {
        const int maxSide = MaxGLSide();
        if (maxSide > 0 && (width > maxSide || height > maxSide)) {
            Fail(Diagnostic::TextureTooLargeForGL, "LoadFromPixels", nullptr,
                 width > height ? width : height, maxSide);
            return false;
        }
    }
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4u;
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(bytes));
    if (!copy) {
        Fail(Diagnostic::TextureArgumentIgnored, "LoadFromPixels", "no memory for the copy");
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

namespace {

// GL's pixel-unpack parameters, each at its default for the upload: a game's
// row length, skips or alignment would have GL read the image from the wrong
// place (beyond the texture's own copy).
constexpr GLenum kUnpackParameters[] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST,
                                        GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS,
                                        GL_UNPACK_SKIP_PIXELS, GL_UNPACK_ALIGNMENT};
constexpr int kUnpackCount = int(sizeof kUnpackParameters / sizeof kUnpackParameters[0]);
constexpr GLenum kPixelUnpackBuffer = 0x88EC;         // GL 2.1, which Windows' header lacks
constexpr GLenum kPixelUnpackBufferBinding = 0x88EF;

// Sets the unpack state to GL's defaults with no unpack buffer bound for its
// life, and gives the game's back. Only tokens the context knows are asked:
// an unknown one is a GL error the game would find.
class DefaultUnpack {
public:
    DefaultUnpack() {
        for (int i = 0; i < kUnpackCount; ++i) {
            const GLint standard = kUnpackParameters[i] == GL_UNPACK_ALIGNMENT ? 4 : 0;
            saved_[i] = standard;
            glGetIntegerv(kUnpackParameters[i], &saved_[i]);
            if (saved_[i] != standard) glPixelStorei(kUnpackParameters[i], standard);
        }
        const char* found = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        const char* extensions = found ? found : "";
        if (qmgl::Version() >= 21 || qmgl::HasExtension(extensions, "GL_ARB_pixel_buffer_object") ||
            qmgl::HasExtension(extensions, "GL_EXT_pixel_buffer_object")) {
            glGetIntegerv(kPixelUnpackBufferBinding, &buffer_);
            if (buffer_ != 0) {
                bind_ = qmgl::LookUpBind("glBindBuffer", "glBindBufferARB");
                if (bind_) bind_(kPixelUnpackBuffer, 0);
            }
        }
    }
    ~DefaultUnpack() {
        if (bind_) bind_(kPixelUnpackBuffer, GLuint(buffer_));
        for (int i = 0; i < kUnpackCount; ++i) {
            const GLint standard = kUnpackParameters[i] == GL_UNPACK_ALIGNMENT ? 4 : 0;
            if (saved_[i] != standard) glPixelStorei(kUnpackParameters[i], saved_[i]);
        }
    }
    DefaultUnpack(const DefaultUnpack&) = delete;
    DefaultUnpack& operator=(const DefaultUnpack&) = delete;

    // False when a game's unpack buffer is bound and cannot be unbound.
    bool Ready() const { return buffer_ == 0 || bind_ != nullptr; }

private:
    GLint saved_[kUnpackCount];
    GLint buffer_ = 0;
    qmgl::BindProc bind_ = nullptr;
};

}  // namespace

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
            Fail(Diagnostic::TextureTooLargeForGL, "a texture", nullptr,
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
        DefaultUnpack unpack;
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

std::size_t LargestDecoderAllocation() { return largestAllocation; }
void ResetDecoderAllocationRecord() { largestAllocation = 0; }

}  // namespace qmdetail
