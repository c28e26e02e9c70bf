// Saving the frame to a PNG file.
#ifndef QUILLMAR_SCREENSHOT_H
#define QUILLMAR_SCREENSHOT_H

#include "QuillmarExport.h"

// Saves what has been drawn of the current frame (the back buffer: call it
// after drawing and before EndFrame) as an 8-bit RGB PNG the size of the
// window, overwriting path. Returns false, with a reason in Diagnostics, when
// the path is null or empty, no window is open, or the file cannot be
// written. Allocates the image for the call: not meant for every frame.
QM_API bool SaveScreenshot(const char* path);

#endif
