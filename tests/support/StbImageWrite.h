// stb's image writer for tests that make image files of their own, compiled
// with internal linkage in each test that includes it.
#ifndef QUILLMAR_TESTS_STB_IMAGE_WRITE_H
#define QUILLMAR_TESTS_STB_IMAGE_WRITE_H

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

#endif
