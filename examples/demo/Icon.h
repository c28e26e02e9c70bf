// The demo's window icon, set through the native window (the library has no
// icon call of its own).
#ifndef QUILLMAR_DEMO_ICON_H
#define QUILLMAR_DEMO_ICON_H

namespace demo {

// A 32 x 32 ship on the open window; false where the platform has no such
// property or no window is open.
bool SetShipIcon();

}  // namespace demo

#endif
