#include "Diagnostics.h"

#include "core/Report.h"

#include <cstdio>
#include <cstring>

namespace {

// One report: what the message names.
struct Entry {
    Diagnostic code = Diagnostic::Nothing;
    double a = 0.0;
    double b = 0.0;
    char text[256] = {};
};

// Reports held (qmdiag::Hold) until the library is done with its work. More
// than this many in one held stretch are recorded but not delivered.
constexpr int kHeldReports = 8;

struct Channel {
    DiagnosticCallback callback = nullptr;
    void* user = nullptr;
    bool delivering = false;  // inside the callback: reports are only recorded

    Entry latest;
    bool composed = true;
    char message[512] = {};  // latest's sentence, for GetLastDiagnosticMessage
    // The sentence handed to the callback: apart from `message`, so that a
    // report or a clear made inside the callback leaves it as it was.
    char delivered[512] = {};

    int holdDepth = 0;
    int heldCount = 0;
    Entry held[kHeldReports];

    // The windowing library's latest own error, named by a later failed Open.
    char platformText[256] = {};
    qmdiag::Windowing windowing = qmdiag::Windowing::NotStarted;
};

Channel channel;

void CopyText(char* out, std::size_t size, const char* text) {
    if (!text) text = "";
    std::size_t n = std::strlen(text);
    if (n >= size) n = size - 1;
    std::memcpy(out, text, n);
    out[n] = '\0';
}

const char* ComponentName(double index) {
    static const char* const names[] = {"red", "green", "blue", "alpha"};
    int i = int(index);
    return i >= 0 && i < 4 ? names[i] : "?";
}

// The sentence for a report.
void Compose(const Entry& entry, char* out, std::size_t size) {
    const double a = entry.a, b = entry.b;
    const char* text = entry.text;
    const char* because = text[0] ? " (windowing library: " : "";
    const char* close = text[0] ? ")" : "";
    switch (entry.code) {
    case Diagnostic::Nothing: out[0] = '\0'; break;
    case Diagnostic::NoCore:
        std::snprintf(out, size, "Open failed: no Core object exists. Construct a Core "
                                 "before opening the window, and keep it alive while it is open.");
        break;
    case Diagnostic::NoDisplay:
        std::snprintf(out, size, "Open failed: the windowing library could not start, so there "
                                 "is no display to open a window on; check that DISPLAY names a "
                                 "running X server%s%s%s.", because, text, close);
        break;
    case Diagnostic::WindowAlreadyOpen:
        std::snprintf(out, size, "Open failed: a window is already open; Close it before opening "
                                 "another (there is one window at a time).");
        break;
    case Diagnostic::NoContext:
        std::snprintf(out, size, "Open failed: no window with an OpenGL context of the asked kind "
                                 "(%.0f depth bits, %.0f samples per pixel) could be made%s%s%s.",
                      a, b, because, text, close);
        break;
    case Diagnostic::PlatformError:
        std::snprintf(out, size, "Windowing library error 0x%X: %s", unsigned(a), text);
        break;
    case Diagnostic::ScreenshotNoWindow:
        std::snprintf(out, size, "SaveScreenshot failed: no window is open.");
        break;
    case Diagnostic::ScreenshotWriteFailed:
        if (a != 0.0)
            std::snprintf(out, size, "SaveScreenshot failed: could not write \"%s\": %s.", text,
                          std::strerror(int(a)));
        else
            std::snprintf(out, size, "SaveScreenshot failed: could not write \"%s\".", text);
        break;
    case Diagnostic::ScreenshotNotAFile:
        std::snprintf(out, size, "SaveScreenshot failed: \"%s\" exists and is not a regular file "
                                 "(a directory, device or pipe); nothing is written.", text);
        break;
    case Diagnostic::ScreenshotUnreadable:
        std::snprintf(out, size, "SaveScreenshot failed: the %.0f x %.0f frame could not be read: "
                                 "%s.", a, b, text);
        break;
    case Diagnostic::ClearColorIgnored:
        std::snprintf(out, size, "SetClearColor: %s component %g is outside 0..1; the old value "
                                 "is kept.", ComponentName(a), b);
        break;
    case Diagnostic::FieldOfViewIgnored:
        std::snprintf(out, size, "SetFieldOfView: %g degrees is not between 0 and 180 (both "
                                 "excluded); the field of view stays %g degrees.", a, b);
        break;
    case Diagnostic::TitleIgnored:
        std::snprintf(out, size, "SetTitle: a null title is ignored; the title is unchanged.");
        break;
    case Diagnostic::DepthBitsChanged:
        std::snprintf(out, size, "SetDepthBufferBits: %.0f bits is not 16, 24 or 32; %.0f is used.",
                      a, b);
        break;
    case Diagnostic::SampleRateChanged:
        std::snprintf(out, size, "SetSampleRate: %.0f samples is not 1, 2, 4, 8 or 16; %.0f is "
                                 "used%s.", a, b, b <= 1.0 ? " (multisampling off)" : "");
        break;
    case Diagnostic::VerticalSyncIgnored:
        std::snprintf(out, size, "SetVerticalSync: no open window with swap control; the request "
                                 "is ignored.");
        break;
    case Diagnostic::TextIgnored:
        if (a == 0.0)
            std::snprintf(out, size, "%s: the text is null; nothing is drawn or measured.", text);
        else
            std::snprintf(out, size, "%s: a height of %g pixels is not a finite number above 0; "
                                     "nothing is drawn or measured.", text, b);
        break;
    case Diagnostic::FrameDurationIgnored:
        std::snprintf(out, size, "FixedStep::Advance: a frame duration of %g s is not a finite "
                                 "number of 0 or more; it is taken as 0.", a);
        break;
    case Diagnostic::FixedStepChanged:
        std::snprintf(out, size, "FixedStep: %s %g is out of range; %g is used.", text, a, b);
        break;
    case Diagnostic::ClippingPlaneIgnored:
        std::snprintf(out, size, "Set%sClippingPlane: %g would not leave 0 < near < far (both "
                                 "finite); the plane stays at %g.", text, a, b);
        break;
    case Diagnostic::LineWidthIgnored:
        std::snprintf(out, size, "%s: a line width of %g is not above 0; the current width is kept.",
                      text, a);
        break;
    case Diagnostic::PlaneRowIgnored:
        std::snprintf(out, size, "ExtractPlane: row %g is not one of -4..-1, 1..4; the plane is "
                                 "unchanged.", a);
        break;
    case Diagnostic::FrustumWithoutContext:
        std::snprintf(out, size, "ViewFrustum::Step: no current OpenGL context (no open window); "
                                 "the planes are kept as they were.");
        break;
    case Diagnostic::SizeIgnored:
        std::snprintf(out, size, "SetSize: %.0f x %.0f has a side outside 1..16384; the size is "
                                 "unchanged.", a, b);
        break;
    case Diagnostic::PositionChanged:
        std::snprintf(out, size, "SetPosition: (%.0f, %.0f) does not fit 0..65535; it is passed to "
                                 "an open window as given but kept for the next Open in 16 bits.",
                      a, b);
        break;
    case Diagnostic::MousePositionIgnored:
        std::snprintf(out, size, "Mouse SetPosition: (%g, %g) has a NaN coordinate; the pointer "
                                 "stays where it is.", a, b);
        break;
    case Diagnostic::TitleCut:
        std::snprintf(out, size, "SetTitle: the title is %.0f bytes long; the window shows the "
                                 "first %.0f (the whole title is kept).", a, b);
        break;
    case Diagnostic::CursorWarpUnavailable:
        std::snprintf(out, size, "Mouse SetPosition: a web page cannot move the pointer; it stays "
                                 "where the player has it.");
        break;
    case Diagnostic::JoysticksUnavailable:
        std::snprintf(out, size, "Joysticks: this browser has no Gamepad API; no joystick will "
                                 "be connected.");
        break;
    case Diagnostic::GamepadMappingsUnavailable:
        std::snprintf(out, size, "Gamepad AddMappings: a web page reads pads through the browser's "
                                 "own standard mapping; no mapping can be added.");
        break;
    case Diagnostic::GamepadDeadZoneIgnored:
        std::snprintf(out, size, "Gamepad SetDeadZone: a radius of %g is not in 0..1 (1 excluded); "
                                 "the dead zone stays %g.", a, b);
        break;
    case Diagnostic::GamepadMappingsRefused:
        if (a == 0.0)
            std::snprintf(out, size, "Gamepad AddMappings: the text is null; nothing is added.");
        else
            std::snprintf(out, size, "Gamepad AddMappings%s%s: a line was not understood and is "
                                     "skipped (the platform error before names it); the other "
                                     "lines are taken.", text && *text ? " from " : "", text ? text : "");
        break;
    case Diagnostic::GamepadMappingsUnreadable:
        std::snprintf(out, size, "Gamepad AddMappingsFromFile failed: %s.", text);
        break;
    case Diagnostic::ScreenshotPathIgnored:
        std::snprintf(out, size, "SaveScreenshot failed: the path is null or empty.");
        break;
    case Diagnostic::TextureFileUnreadable:
        std::snprintf(out, size, "Texture load failed: %s.", text);
        break;
    case Diagnostic::TextureCorrupt:
        std::snprintf(out, size, "Texture load failed: %s.", text);
        break;
    case Diagnostic::TextureFormatUnsupported:
        std::snprintf(out, size, "Texture load failed: %s; PNG, JPEG, BMP, TGA and GIF are read.",
                      text);
        break;
    case Diagnostic::TextureTooLarge:
        std::snprintf(out, size, "Texture load failed: %s (%.0f x %.0f pixels claimed); nothing "
                                 "was decoded.", text, a, b);
        break;
    case Diagnostic::TextureTooLargeForGL:
        std::snprintf(out, size, "Texture: %s is %.0f pixels on its longer side; this GL holds "
                                 "at most %.0f.", text, a, b);
        break;
    case Diagnostic::TextureArgumentIgnored:
        std::snprintf(out, size, "Texture load failed: %s.", text);
        break;
    case Diagnostic::SpriteIgnored:
        std::snprintf(out, size, "DrawSprite: %s; nothing is drawn.", text);
        break;
    case Diagnostic::ColorIgnored:
        std::snprintf(out, size, "SetColor: %s component %g is outside 0..1; the colour is "
                                 "unchanged.", ComponentName(a), b);
        break;
    case Diagnostic::ShapeIgnored:
        std::snprintf(out, size, "FillPolygon: %s; nothing is drawn.", text);
        break;
    case Diagnostic::SpritesFlushedLate:
        std::snprintf(out, size, "Sprites: the matrices changed after sprites were queued; call "
                                 "FlushSprites() before your own GL calls. They were drawn with "
                                 "the matrices they were queued under.");
        break;
    case Diagnostic::FontFileUnreadable:
    case Diagnostic::FontCorrupt:
        std::snprintf(out, size, "Font load failed: %s; the font keeps what it had.", text);
        break;
    case Diagnostic::FontFormatUnsupported:
        std::snprintf(out, size, "Font load failed: %s; TrueType and OpenType fonts (and "
                                 "collections of them) are read.", text);
        break;
    case Diagnostic::FontTooLarge:
        std::snprintf(out, size, "Font load failed: %s is %.0f bytes, above the %.0f accepted; "
                                 "nothing was read.", text, a, b);
        break;
    case Diagnostic::FontArgumentIgnored:
        std::snprintf(out, size, "Font %s.", text);
        break;
    case Diagnostic::FontGlyphMissing:
        std::snprintf(out, size, "Font %s has no glyph for U+%04X; it is drawn as the font's "
                                 ".notdef glyph (reported once for this font).", text, unsigned(a));
        break;
    case Diagnostic::FontsUnavailable:
        std::snprintf(out, size, "Font: this build of the library has no font engine (FreeType "
                                 "and HarfBuzz): %s is not loaded. The stroke font "
                                 "(DrawString) still draws.",
                      text);
        break;
    default:
        std::snprintf(out, size, "Diagnostic %d.", int(entry.code));
        break;
    }
}

void ComposeLatest() {
    Compose(channel.latest, channel.message, sizeof channel.message);
    channel.composed = true;
}

// Hands one report to the callback. An exception from the callback stops
// here: it would otherwise unwind through the library, or through the
// windowing library's C code, and leave the channel marked as delivering.
void Deliver(const Entry& entry) {
    Compose(entry, channel.delivered, sizeof channel.delivered);
    channel.delivering = true;
    try {
        channel.callback(entry.code, channel.delivered, channel.user);
    } catch (...) {
    }
    channel.delivering = false;
}

void DeliverHeld() {
    // Reports made while these are delivered are only recorded, so the list
    // does not grow under the loop.
    for (int i = 0; i < channel.heldCount && channel.callback; ++i) Deliver(channel.held[i]);
    channel.heldCount = 0;
}

}  // namespace

namespace qmdiag {

void Report(Diagnostic code, double a, double b, const char* text) {
    Entry& latest = channel.latest;
    latest.code = code;
    latest.a = a;
    latest.b = b;
    const bool namesPlatform = code == Diagnostic::NoDisplay || code == Diagnostic::NoContext;
    if (!text && namesPlatform) text = channel.platformText;
    CopyText(latest.text, sizeof latest.text, text);
    if (namesPlatform) channel.platformText[0] = '\0';  // named once
    channel.composed = false;

    if (!channel.callback || channel.delivering) return;
    if (channel.holdDepth > 0) {
        if (channel.heldCount < kHeldReports) channel.held[channel.heldCount++] = latest;
        return;
    }
    Deliver(latest);
}

Hold::Hold() { ++channel.holdDepth; }

Hold::~Hold() {
    if (--channel.holdDepth > 0 || channel.heldCount == 0) return;
    if (channel.delivering) return;  // the outer delivery's loop takes them
    DeliverHeld();
}

void ReportPlatformError(int code, const char* description) {
    CopyText(channel.platformText, sizeof channel.platformText, description);
    Report(Diagnostic::PlatformError, double(unsigned(code)), 0.0, description);
}

void NoteWindowing(Windowing state) {
    channel.windowing = state;
    // An error of a failed start stays to be named by Open; a fresh start or
    // a shutdown leaves nothing worth naming.
    if (state != Windowing::Failed) channel.platformText[0] = '\0';
}

Windowing CurrentWindowing() { return channel.windowing; }

void ReportNamed(Diagnostic code, const char* name, const char* reason, double a, double b) {
    char text[256];
    if (reason)
        std::snprintf(text, sizeof text, "%s: %s", name, reason);
    else
        std::snprintf(text, sizeof text, "%s", name);
    Report(code, a, b, text);
}

}  // namespace qmdiag

void SetDiagnosticCallback(DiagnosticCallback callback, void* user) {
    channel.callback = callback;
    channel.user = user;
}

Diagnostic GetLastDiagnostic() { return channel.latest.code; }

const char* GetLastDiagnosticMessage() {
    if (!channel.composed) ComposeLatest();
    return channel.message;
}

void ClearDiagnostic() {
    channel.latest.code = Diagnostic::Nothing;
    channel.latest.text[0] = '\0';
    channel.message[0] = '\0';
    channel.composed = true;
}

const char* GetDiagnosticName(Diagnostic code) {
    // No default: the compiler names any code added without a name here.
    switch (code) {
    case Diagnostic::Nothing: return "Nothing";
    case Diagnostic::NoCore: return "NoCore";
    case Diagnostic::NoDisplay: return "NoDisplay";
    case Diagnostic::WindowAlreadyOpen: return "WindowAlreadyOpen";
    case Diagnostic::NoContext: return "NoContext";
    case Diagnostic::PlatformError: return "PlatformError";
    case Diagnostic::ScreenshotNoWindow: return "ScreenshotNoWindow";
    case Diagnostic::ScreenshotWriteFailed: return "ScreenshotWriteFailed";
    case Diagnostic::ClearColorIgnored: return "ClearColorIgnored";
    case Diagnostic::FieldOfViewIgnored: return "FieldOfViewIgnored";
    case Diagnostic::TitleIgnored: return "TitleIgnored";
    case Diagnostic::DepthBitsChanged: return "DepthBitsChanged";
    case Diagnostic::SampleRateChanged: return "SampleRateChanged";
    case Diagnostic::VerticalSyncIgnored: return "VerticalSyncIgnored";
    case Diagnostic::TextIgnored: return "TextIgnored";
    case Diagnostic::FrameDurationIgnored: return "FrameDurationIgnored";
    case Diagnostic::FixedStepChanged: return "FixedStepChanged";
    case Diagnostic::ScreenshotPathIgnored: return "ScreenshotPathIgnored";
    case Diagnostic::ClippingPlaneIgnored: return "ClippingPlaneIgnored";
    case Diagnostic::LineWidthIgnored: return "LineWidthIgnored";
    case Diagnostic::PlaneRowIgnored: return "PlaneRowIgnored";
    case Diagnostic::FrustumWithoutContext: return "FrustumWithoutContext";
    case Diagnostic::SizeIgnored: return "SizeIgnored";
    case Diagnostic::PositionChanged: return "PositionChanged";
    case Diagnostic::MousePositionIgnored: return "MousePositionIgnored";
    case Diagnostic::TitleCut: return "TitleCut";
    case Diagnostic::ScreenshotNotAFile: return "ScreenshotNotAFile";
    case Diagnostic::ScreenshotUnreadable: return "ScreenshotUnreadable";
    case Diagnostic::TextureFileUnreadable: return "TextureFileUnreadable";
    case Diagnostic::TextureCorrupt: return "TextureCorrupt";
    case Diagnostic::TextureFormatUnsupported: return "TextureFormatUnsupported";
    case Diagnostic::TextureTooLarge: return "TextureTooLarge";
    case Diagnostic::TextureTooLargeForGL: return "TextureTooLargeForGL";
    case Diagnostic::TextureArgumentIgnored: return "TextureArgumentIgnored";
    case Diagnostic::SpriteIgnored: return "SpriteIgnored";
    case Diagnostic::ColorIgnored: return "ColorIgnored";
    case Diagnostic::ShapeIgnored: return "ShapeIgnored";
    case Diagnostic::SpritesFlushedLate: return "SpritesFlushedLate";
    case Diagnostic::CursorWarpUnavailable: return "CursorWarpUnavailable";
    case Diagnostic::JoysticksUnavailable: return "JoysticksUnavailable";
    case Diagnostic::GamepadMappingsUnavailable: return "GamepadMappingsUnavailable";
    case Diagnostic::GamepadDeadZoneIgnored: return "GamepadDeadZoneIgnored";
    case Diagnostic::GamepadMappingsRefused: return "GamepadMappingsRefused";
    case Diagnostic::GamepadMappingsUnreadable: return "GamepadMappingsUnreadable";
    case Diagnostic::FontFileUnreadable: return "FontFileUnreadable";
    case Diagnostic::FontCorrupt: return "FontCorrupt";
    case Diagnostic::FontFormatUnsupported: return "FontFormatUnsupported";
    case Diagnostic::FontTooLarge: return "FontTooLarge";
    case Diagnostic::FontArgumentIgnored: return "FontArgumentIgnored";
    case Diagnostic::FontGlyphMissing: return "FontGlyphMissing";
    case Diagnostic::FontsUnavailable: return "FontsUnavailable";
    }
    return "Unknown";
}
