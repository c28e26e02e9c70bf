// Saving the frame to a PNG file.
#ifndef QUILLMAR_SCREENSHOT_H
#define QUILLMAR_SCREENSHOT_H

#include "QuillmarExport.h"

// Saves what has been drawn of the current frame (the window's back buffer:
// call it after drawing and before EndFrame) as an 8-bit RGB PNG the size of
// the window, replacing the file at path. A symbolic link is followed.
//
// The game's GL state does not matter and is left as it was: the pack
// parameters (glPixelStorei), a bound pixel-pack buffer or framebuffer
// object, the read buffer. The PNG is written to a new file beside path and
// renamed over it only once every byte and the close succeeded, so a failure
// leaves no partial file and an earlier file at path untouched.
//
// Returns false, with the reason in Diagnostics, when:
//   ScreenshotPathIgnored  the path is null or empty;
//   ScreenshotNoWindow     no window is open;
//   ScreenshotNotAFile     path exists and is no regular file (a directory, a
//                          device such as /dev/null, a pipe): nothing is opened;
//   ScreenshotUnreadable   the frame cannot be read whole: after SetSize in the
//                          same frame (the framebuffer takes the new size at the
//                          swap: save after EndFrame), or a game's binding that
//                          the driver offers no call to undo;
//   ScreenshotWriteFailed  the file could not be written (the system's reason,
//                          e.g. "Permission denied", "File too large", is named).
// Allocates the image for the call: not meant for every frame.
QM_API bool SaveScreenshot(const char* path);

#endif
