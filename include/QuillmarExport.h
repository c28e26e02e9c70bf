// Export macro for the public API of libQuillmar.
// The library is built with hidden visibility; only what carries QM_API is exported.
#ifndef QUILLMAR_EXPORT_H
#define QUILLMAR_EXPORT_H

#if defined(_WIN32)
#  if defined(QUILLMAR_BUILDING)
#    define QM_API __declspec(dllexport)
#  else
#    define QM_API __declspec(dllimport)
#  endif
#else
#  define QM_API __attribute__((visibility("default")))
#endif

#endif
