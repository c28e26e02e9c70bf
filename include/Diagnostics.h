// Why something failed, or which argument was ignored or changed: an opt-in
// channel. The library's bool results and silent setters stay as they are;
// the reason goes here. Nothing is printed and nothing throws.
//
// A game either registers a callback, which receives each report as it
// happens, or reads the latest report when a call returned false:
//
//     if (!Core::Window.Open())
//         std::fprintf(stderr, "%s\n", GetLastDiagnosticMessage());
//
// Reports cost a few stores when no callback is registered; the message is
// only composed when a callback or GetLastDiagnosticMessage asks for it.
// Main-loop thread only, like the rest of the library.
#ifndef QUILLMAR_DIAGNOSTICS_H
#define QUILLMAR_DIAGNOSTICS_H

#include "QuillmarExport.h"

// Stable codes: values never change meaning; new ones are added at the end of
// their group.
enum class Diagnostic : int {
    Nothing = 0,

    // WindowManager::Open returned false because ...
    NoCore = 1,             // no Core object exists (none constructed, or destroyed)
    NoDisplay = 2,          // the windowing library could not start: no display to talk to
    WindowAlreadyOpen = 3,  // a window is open already; there is one at a time
    NoContext = 4,          // no window with an OpenGL context of the asked kind

    // The windowing library (GLFW 3) reported an error of its own; its code
    // and text are in the message.
    PlatformError = 10,

    // SaveScreenshot returned false because ...
    ScreenshotNoWindow = 20,     // no window is open
    ScreenshotWriteFailed = 21,  // the file could not be written (the system's reason is named)

    // An argument was ignored (the old value kept) or changed to a supported one.
    ClearColorIgnored = 30,        // SetClearColor: a component outside 0..1 (or NaN)
    FieldOfViewIgnored = 31,       // SetFieldOfView: not strictly between 0 and 180 degrees
    TitleIgnored = 32,             // SetTitle: null
    DepthBitsChanged = 33,         // SetDepthBufferBits: rounded to 16, 24 or 32
    SampleRateChanged = 34,        // SetSampleRate: mapped to 1 (off), 2, 4, 8 or 16
    VerticalSyncIgnored = 35,      // SetVerticalSync: no open window with swap control
    TextIgnored = 36,              // DrawString / GetStringWidth: null text or bad height
    FrameDurationIgnored = 37,     // FixedStep::Advance: negative, NaN or infinite duration
    FixedStepChanged = 38,         // FixedStep: step or cap out of range, default used
    ScreenshotPathIgnored = 39,    // SaveScreenshot: null or empty path
    ClippingPlaneIgnored = 40,     // Set{Near,Far}ClippingPlane: no 0 < near < far, finite
    LineWidthIgnored = 41,         // DrawLine / DrawCircle / DrawString: width 0 or less, or NaN
    PlaneRowIgnored = 42,          // ExtractPlane: a row selector outside -4..-1, 1..4
    FrustumWithoutContext = 43,    // ViewFrustum::Step without a current GL context
    SizeIgnored = 44,              // SetSize: a side outside 1..16384
    PositionChanged = 45,          // Window SetPosition: kept in 16 bits for the next Open
    MousePositionIgnored = 46,     // Mouse SetPosition: a NaN coordinate
    TitleCut = 47,                 // SetTitle: the window shows only the first 16384 bytes

    // SaveScreenshot returned false because ...
    ScreenshotNotAFile = 48,       // the path names a directory, device, pipe: no regular file
    ScreenshotUnreadable = 49,     // the frame could not be read whole (the reason is named)

    // Textures, sprites and shapes. A failed load names the file and the reason.
    TextureFileUnreadable = 70,    // LoadFromFile: the file is missing or cannot be read
    TextureCorrupt = 71,           // Load: the image is truncated or corrupt (or empty)
    TextureFormatUnsupported = 72, // Load: not PNG, JPEG, BMP, TGA or GIF
    TextureTooLarge = 73,          // Load: a side above Texture::kMaxSide, refused before decoding
    TextureTooLargeForGL = 74,     // Load or first draw: a side above GL_MAX_TEXTURE_SIZE
    TextureArgumentIgnored = 75,   // Load: null data or pixels, or a side outside 1..kMaxSide
    SpriteIgnored = 76,            // DrawSprite: no image, a non-finite placement, a source off the image
    ColorIgnored = 77,             // SetColor: a component outside 0..1 (or NaN)
    ShapeIgnored = 78,             // FillPolygon: null points or fewer than 3
    SpritesFlushedLate = 79,       // the matrices changed under queued sprites: FlushSprites first

    // In a web page: what a browser does not let a page do.
    CursorWarpUnavailable = 90,    // Mouse SetPosition: the pointer cannot be moved; it stays
    JoysticksUnavailable = 92,     // no Gamepad API in this browser: no joystick is ever connected
    GamepadMappingsUnavailable = 93, // GamepadManager::AddMappings: the browser maps pads itself

    // Gamepads (Gamepad.h).
    GamepadDeadZoneIgnored = 100,    // SetDeadZone: not 0 <= radius < 1 (or NaN); the old one kept
    GamepadMappingsRefused = 101,    // AddMappings: null text, or a line not understood (skipped)
    GamepadMappingsUnreadable = 102, // AddMappingsFromFile: missing, unreadable or over 16 MiB

    // Fonts (Font.h). A failed load names the file and the reason.
    FontFileUnreadable = 110,      // LoadFromFile: the file is missing or cannot be read
    FontCorrupt = 111,             // Load: truncated, tables outside the file, absurd counts
    FontFormatUnsupported = 112,   // Load: not TrueType or OpenType (or a collection of them)
    FontTooLarge = 113,            // Load: above Font::kMaxFileBytes, refused before reading
    FontArgumentIgnored = 114,     // Load, Draw, Measure: null data or text, a bad size or position
    FontGlyphMissing = 115,        // Draw, Measure: a character the font has no glyph for (once a font)
    FontsUnavailable = 116,        // this build of the library has no font engine
};

// Receives each report: its code and a clear English sentence. The sentence
// stays valid and unchanged for the whole call, whatever the callback does;
// it is gone after the call. Reports made from inside the callback are not
// delivered to it again, only recorded.
//
// The callback may call any library function. A report made while the library
// is in the middle of a change (opening the window, setting a title, taking
// in the windowing library's events) reaches the callback once that change is
// complete, so the callback always sees a consistent library; such a report is
// recorded (GetLastDiagnostic) at once. Up to 8 reports wait this way; more
// are recorded but not delivered.
//
// An exception thrown by the callback is caught where the library called it
// and dropped: it never passes through the library or the windowing library.
// The report stays recorded and the channel keeps delivering the next ones.
using DiagnosticCallback = void (*)(Diagnostic code, const char* message, void* user);

// Registers the callback (null: none). `user` is handed back unchanged.
QM_API void SetDiagnosticCallback(DiagnosticCallback callback, void* user);
// The latest report since the library loaded or ClearDiagnostic; Nothing if none.
QM_API Diagnostic GetLastDiagnostic();
// Its message; "" when there is none. Valid until the next report or clear.
QM_API const char* GetLastDiagnosticMessage();
QM_API void ClearDiagnostic();

// The code's own name ("SizeIgnored"), for logs; "Unknown" for a value that
// names no code. A static string: never null, never to be freed.
QM_API const char* GetDiagnosticName(Diagnostic code);

#endif
