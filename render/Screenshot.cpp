#include "Screenshot.h"

#include "core/Report.h"
#include "glfw2.h"

#include <GL/gl.h>
#include <png.h>

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

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    // A negative stride: GL's rows run bottom-up, the PNG's top-down.
    const bool written = png_image_write_to_file(&image, path, 0, rgb.get(),
                                                 -png_int_32(rowBytes), nullptr) != 0;
    png_image_free(&image);
    if (!written) qmdiag::Report(Diagnostic::ScreenshotWriteFailed, 0.0, 0.0, path);
    return written;
}
