#include "Screenshot.h"

#include "core/Report.h"
#include "glfw2.h"
#include "render/GLState.h"
#include "draw2d/SpriteBatch.h"
#include "system.h"

#include <GL/gl.h>

// stb's PNG writer, compiled here with internal linkage: nothing of it is
// exported, and its settings cannot clash with a copy the game may have. Its
// stdio writer is left out: it ignores the results of fwrite and fclose.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#if defined(__GNUC__)
#  pragma GCC diagnostic push
#  pragma GCC diagnostic ignored "-Wunused-function"
#  pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#  pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb_image_write.h>
#if defined(__GNUC__)
#  pragma GCC diagnostic pop
#endif

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#  include <io.h>
#  include <process.h>
#else
#  include <unistd.h>
#endif

#ifndef GL_PACK_SWAP_BYTES
#define GL_PACK_SWAP_BYTES 0x0D00
#endif
#ifndef GL_PACK_LSB_FIRST
#define GL_PACK_LSB_FIRST 0x0D01
#endif
#ifndef GL_PACK_ROW_LENGTH
#define GL_PACK_ROW_LENGTH 0x0D02
#endif
#ifndef GL_PACK_SKIP_ROWS
#define GL_PACK_SKIP_ROWS 0x0D03
#endif
#ifndef GL_PACK_SKIP_PIXELS
#define GL_PACK_SKIP_PIXELS 0x0D04
#endif

namespace {

// Tokens of GL 2.1 / 3.0 and their extensions, which Windows' GL 1.1 header lacks.
constexpr GLenum kPixelPackBuffer = 0x88EB;
constexpr GLenum kPixelPackBufferBinding = 0x88ED;
constexpr GLenum kFramebufferExt = 0x8D40;
constexpr GLenum kFramebufferBindingExt = 0x8CA6;
constexpr GLenum kReadFramebuffer = 0x8CA8;
constexpr GLenum kReadFramebufferBinding = 0x8CAA;

// [SECTION] Reading the back buffer

// A binding of the game's that would take the read elsewhere (a pixel-pack
// buffer object receives the pixels instead of our memory; a framebuffer
// object is read instead of the window): undone for the read, then put back.
struct Binding {
    GLenum target = 0;
    qmgl::BindProc bind = nullptr;
    GLint name = 0;

    // False when a binding is in place and cannot be undone.
    bool Clear(GLenum query, GLenum bindTarget, const char* proc, const char* fallback) {
        glGetIntegerv(query, &name);
        if (name == 0) return true;
        bind = qmgl::LookUpBind(proc, fallback);
        if (!bind) return false;
        target = bindTarget;
        bind(target, 0);
        return true;
    }
    void Restore() const {
        if (bind) bind(target, GLuint(name));
    }
};

// GL's pixel-pack parameters: every one changes where glReadPixels writes.
constexpr GLenum kPackParameters[] = {GL_PACK_SWAP_BYTES, GL_PACK_LSB_FIRST,
                                      GL_PACK_ROW_LENGTH, GL_PACK_SKIP_ROWS,
                                      GL_PACK_SKIP_PIXELS, GL_PACK_ALIGNMENT};
constexpr int kPackCount = int(sizeof kPackParameters / sizeof kPackParameters[0]);

// Whether the framebuffer reaches pixel (x, y): GL leaves a pixel outside it
// unwritten, so a pixel read twice over two different fillings shows it.
bool Reaches(int x, int y) {
    unsigned char dark[3] = {0x00, 0x00, 0x00};
    unsigned char light[3] = {0xFF, 0xFF, 0xFF};
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, dark);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, light);
    return std::memcmp(dark, light, sizeof dark) == 0;
}

// Reads the window's back buffer, rows bottom-up and tightly packed, with
// every pack parameter and binding at its default, and gives the game's back.
// False (with a report) when what the framebuffer holds is not width x height.
bool ReadBackBuffer(int width, int height, unsigned char* rgb) {
    GLint pack[kPackCount] = {};
    for (int i = 0; i < kPackCount; ++i) {
        glGetIntegerv(kPackParameters[i], &pack[i]);
        glPixelStorei(kPackParameters[i], kPackParameters[i] == GL_PACK_ALIGNMENT ? 1 : 0);
    }

    // Only tokens the context knows are asked: an unknown one is a GL error
    // the game would find.
    const int version = qmgl::Version();
    const char* found = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const char* extensions = found ? found : "";
    const bool packBuffers = version >= 21 ||
                             qmgl::HasExtension(extensions, "GL_ARB_pixel_buffer_object") ||
                             qmgl::HasExtension(extensions, "GL_EXT_pixel_buffer_object");
    const bool readFramebuffers = version >= 30 ||
                                  qmgl::HasExtension(extensions, "GL_ARB_framebuffer_object");
    const bool framebuffersExt = qmgl::HasExtension(extensions, "GL_EXT_framebuffer_object");

    const char* why = nullptr;
    Binding packBuffer, framebuffer;
    if (packBuffers && !packBuffer.Clear(kPixelPackBufferBinding, kPixelPackBuffer,
                                         "glBindBuffer", "glBindBufferARB"))
        why = "a pixel buffer object is bound and cannot be unbound";
    bool unbound = true;
    if (!why && readFramebuffers)
        unbound = framebuffer.Clear(kReadFramebufferBinding, kReadFramebuffer,
                                    "glBindFramebuffer", "glBindFramebufferEXT");
    else if (!why && framebuffersExt)
        unbound = framebuffer.Clear(kFramebufferBindingExt, kFramebufferExt,
                                    "glBindFramebufferEXT", nullptr);
    if (!unbound) why = "a framebuffer object is bound and cannot be unbound";

    if (!why) {
        GLint readBuffer = GL_BACK;
        glGetIntegerv(GL_READ_BUFFER, &readBuffer);
        glReadBuffer(GL_BACK);
        // The framebuffer keeps its size until the frame is swapped: after a
        // SetSize in this frame it is smaller or larger than the window.
        if (Reaches(width - 1, height - 1))
            glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        else
            why = "the framebuffer does not yet have the window's new size; save it after EndFrame";
        glReadBuffer(GLenum(readBuffer));
    }

    framebuffer.Restore();
    packBuffer.Restore();
    for (int i = 0; i < kPackCount; ++i) glPixelStorei(kPackParameters[i], pack[i]);
    if (why) qmdiag::Report(Diagnostic::ScreenshotUnreadable, width, height, why);
    return !why;
}

// [SECTION] Writing the file

#if defined(_WIN32)
int OpenNew(const char* path) {
    return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int WriteSome(int fd, const unsigned char* data, std::size_t size) {
    return _write(fd, data, unsigned(size > 0x40000000u ? 0x40000000u : size));
}
int CloseFile(int fd) { return _close(fd); }
int RemoveFile(const char* path) { return _unlink(path); }
int ProcessId() { return _getpid(); }
// rename() does not replace an existing file on Windows.
int ReplaceFile(const char* from, const char* to) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return 0;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
    default: errno = EIO; break;
    }
    return -1;
}
bool IsSeparator(char c) { return c == '/' || c == '\\' || c == ':'; }
#else
int OpenNew(const char* path) { return open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
int WriteSome(int fd, const unsigned char* data, std::size_t size) {
    return int(write(fd, data, size > 0x40000000u ? 0x40000000u : size));
}
int CloseFile(int fd) { return close(fd); }
int RemoveFile(const char* path) { return unlink(path); }
int ProcessId() { return int(getpid()); }
int ReplaceFile(const char* from, const char* to) { return std::rename(from, to); }
bool IsSeparator(char c) { return c == '/'; }
#endif

// The file the PNG replaces: a symbolic link is followed, so that the file it
// names is replaced and the link kept.
std::string Target(const char* path) {
#if !defined(_WIN32)
    struct stat link{};
    if (lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = realpath(path, nullptr)) {
            std::string target = resolved;
            std::free(resolved);
            return target;
        }
    }
#endif
    return path;
}

// An existing target that is no regular file (a directory, a device, a pipe
// that would block the writer) is refused.
bool IsOtherThanFile(const std::string& target) {
    struct stat info{};
    return stat(target.c_str(), &info) == 0 && (info.st_mode & S_IFMT) != S_IFREG;
}

// Every write is checked, partial ones continued; the first failure is kept
// and later writes skipped.
struct Sink {
    int fd = -1;
    int error = 0;
};

void WriteAll(void* context, void* data, int size) {
    Sink& sink = *static_cast<Sink*>(context);
    const unsigned char* at = static_cast<const unsigned char*>(data);
    std::size_t left = size > 0 ? std::size_t(size) : 0u;
    while (left > 0 && sink.error == 0) {
        const int written = WriteSome(sink.fd, at, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            sink.error = written < 0 ? errno : EIO;
            break;
        }
        at += written;
        left -= std::size_t(written);
    }
}

// A new file beside the target, named so no other writer picks it: its
// descriptor, or -1 with errno set.
int CreateBeside(const std::string& target, std::string& temporary) {
    std::size_t cut = target.size();
    while (cut > 0 && !IsSeparator(target[cut - 1])) --cut;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".qm-shot-%d-%u.tmp", ProcessId(), ++counter);
        temporary = target.substr(0, cut) + name;
        const int fd = OpenNew(temporary.c_str());
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Encodes and writes the image to a temporary file and renames it over the
// target only when every write and the close succeeded; otherwise removes it.
// 0, or the system's error number.
int WritePng(const std::string& target, int width, int height, const unsigned char* rgb,
             int rowBytes) {
    std::string temporary;
    Sink sink;
    sink.fd = CreateBeside(target, temporary);
    if (sink.fd < 0) return errno ? errno : EIO;

    // GL's rows run bottom-up, the PNG's top-down. The flag belongs to this
    // file's private copy of the writer.
    stbi_flip_vertically_on_write(1);
    if (!stbi_write_png_to_func(WriteAll, &sink, width, height, 3, rgb, rowBytes) && !sink.error)
        sink.error = ENOMEM;  // the encoder's own buffers
    if (CloseFile(sink.fd) != 0 && !sink.error) sink.error = errno ? errno : EIO;
    if (!sink.error && ReplaceFile(temporary.c_str(), target.c_str()) != 0)
        sink.error = errno ? errno : EIO;
    if (sink.error) RemoveFile(temporary.c_str());
    return sink.error;
}

}  // namespace

bool SaveScreenshot(const char* path) {
    qmsprite::Flush();  // the picture shows the sprites drawn so far
    if (!path || !*path) {
        qmdiag::Report(Diagnostic::ScreenshotPathIgnored);
        return false;
    }
    int width = 0, height = 0;
    if (glfw2::glfwGetWindowParam(glfw2::GLFW_OPENED) > 0) glfw2::glfwGetWindowSize(&width, &height);
    if (width <= 0 || height <= 0) {
        qmdiag::Report(Diagnostic::ScreenshotNoWindow);
        return false;
    }

    const std::string target = Target(path);
    if (IsOtherThanFile(target)) {
        qmdiag::Report(Diagnostic::ScreenshotNotAFile, 0.0, 0.0, path);
        return false;
    }

    const std::size_t rowBytes = std::size_t(width) * 3u;
    // Zeroed: no byte of the process's memory can reach the file unread.
    std::unique_ptr<unsigned char[]> rgb(new (std::nothrow) unsigned char[rowBytes * std::size_t(height)]());
    if (!rgb) {
        qmdiag::Report(Diagnostic::ScreenshotWriteFailed, ENOMEM, 0.0, path);
        return false;
    }
    if (!ReadBackBuffer(width, height, rgb.get())) return false;

    const int error = WritePng(target, width, height, rgb.get(), int(rowBytes));
    if (error) qmdiag::Report(Diagnostic::ScreenshotWriteFailed, error, 0.0, path);
#if defined(__EMSCRIPTEN__)
    // In a web page the file stays in the page's memory: the player gets it
    // through a download link.
    if (error == 0) qmsys::OfferDownload(path);
#endif
    return error == 0;
}
