#include "Screenshot.h"

#include "core/Report.h"
#include "glfw2.h"
#include "system.h"

#include <GL/gl.h>

// stb's PNG writer, compiled here with internal linkage: nothing of it is
// exported, and its settings cannot clash with a copy the game may have.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
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

#include <cstddef>
#include <memory>
#include <new>

bool SaveScreenshot(const char* path) {
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

    const std::size_t rowBytes = std::size_t(width) * 3u;
    std::unique_ptr<unsigned char[]> rgb(new (std::nothrow) unsigned char[rowBytes * std::size_t(height)]);
    if (!rgb) {
        qmdiag::Report(Diagnostic::ScreenshotWriteFailed, 0.0, 0.0, path);
        return false;
    }

    // Tightly packed rows from the back buffer; the game's pack state and
    // read buffer are put back afterwards.
    GLint packAlignment = 4, readBuffer = GL_BACK;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.get());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glReadBuffer(GLenum(readBuffer));

    // GL's rows run bottom-up, the PNG's top-down. The flag belongs to this
    // file's private copy of the writer.
    stbi_flip_vertically_on_write(1);
    const bool written = stbi_write_png(path, width, height, 3, rgb.get(), int(rowBytes)) != 0;
    if (!written) qmdiag::Report(Diagnostic::ScreenshotWriteFailed, 0.0, 0.0, path);
#if defined(__EMSCRIPTEN__)
    // In a web page the file stays in the page's memory: the player gets it
    // through a download link.
    if (written) qmsys::OfferDownload(path);
#endif
    return written;
}
