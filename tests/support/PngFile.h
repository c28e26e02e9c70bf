// Reads a PNG file with stb's image reader, as 8-bit RGB rows top-down.
#ifndef QUILLMAR_TESTS_PNGFILE_H
#define QUILLMAR_TESTS_PNGFILE_H

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#if defined(__GNUC__)
#  pragma GCC diagnostic push
#  pragma GCC diagnostic ignored "-Wunused-function"
#  pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#  pragma GCC diagnostic ignored "-Wsign-compare"
#  pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#  pragma GCC diagnostic pop
#endif

#include <string>
#include <vector>

namespace testpng {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // rows top-down
};

inline bool Read(const std::string& path, Image& image, std::string& why) {
    int channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
    if (!pixels) {
        why = stbi_failure_reason() ? stbi_failure_reason() : "unreadable PNG";
        return false;
    }
    image.rgb.assign(pixels, pixels + std::size_t(image.width) * std::size_t(image.height) * 3u);
    stbi_image_free(pixels);
    return true;
}

}  // namespace testpng

#endif
