// libFuzzer target for the image readers (image/): any bytes, as a file a
// player dropped in. Built with clang under AddressSanitizer and UBSan by
// tools/fuzz-images.sh. Beside what the sanitizers catch, it checks what a
// read must always give: a decoded image of sides 1..16384 with its pixels,
// or a failure with a reason and no pixels.
#include "image/ImageReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qmimage::Image image;
    qmimage::Problem why;
    // Odd lengths also try the GL's limit on a side.
    const int maxSide = size % 2 ? 4096 : 0;
    if (qmimage::Read(data, size, maxSide, &image, &why)) {
        if (!image.pixels || image.width < 1 || image.height < 1 || image.width > 16384 ||
            image.height > 16384 || why.failure != qmimage::Failure::None) {
            std::fprintf(stderr, "image_fuzz: a read succeeded with %d x %d\n", image.width,
                         image.height);
            std::abort();
        }
        // Every pixel was written or cleared: reading them all is defined.
        unsigned sum = 0;
        const std::size_t bytes = std::size_t(image.width) * std::size_t(image.height) * 4u;
        for (std::size_t i = 0; i < bytes; i += 61) sum += image.pixels[i];
        if (sum == 0xffffffffu) std::fputc('\n', stderr);
        std::free(image.pixels);
    } else if (image.pixels || why.failure == qmimage::Failure::None || !why.reason[0]) {
        std::fprintf(stderr, "image_fuzz: a failed read without its reason\n");
        std::abort();
    }
    return 0;
}
