// Reads a PNG file with libpng, as 8-bit RGB rows top-down.
#ifndef QUILLMAR_TESTS_PNGFILE_H
#define QUILLMAR_TESTS_PNGFILE_H

#include <png.h>

#include <string>
#include <vector>

namespace testpng {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // rows top-down
};

inline bool Read(const std::string& path, Image& image, std::string& why) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        why = png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    image.width = int(png.width);
    image.height = int(png.height);
    image.rgb.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        why = png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

}  // namespace testpng

#endif
