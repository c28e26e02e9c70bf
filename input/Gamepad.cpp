#include "Gamepad.h"

#include "Core.h"
#include "core/Report.h"
#include "glfw2.h"
#include "input/GamepadPoll.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {
constexpr long kMaxMappingFileBytes = 16L << 20;

// Unsigned so that negative numbers are out of range too.
bool InRange(int value, int count) { return unsigned(value) < unsigned(count); }

// v held to lo..1; NaN reads as rest (0). The seam gives axes in range; a
// device or driver that does not is kept from the game's arithmetic.
float Within(float v, float lo) {
    if (v >= lo) return v <= 1.0f ? v : 1.0f;
    return v < lo ? lo : 0.0f;
}

// Whether the game has asked Core::Gamepad anything: only then does the
// frame poll it.
bool g_sharedInUse = false;

void NoteUse(const GamepadManager* manager) {
    if (manager == &Core::Gamepad) g_sharedInUse = true;
}
}  // namespace

namespace qmpad {
void StepSharedIfInUse() {
    if (g_sharedInUse) Core::Gamepad.Step();
}
void ForgetSharedUse() { g_sharedInUse = false; }
}  // namespace qmpad

void GamepadManager::Step() {
    NoteUse(this);
    for (int p = 0; p < GamepadManager::kPads; ++p) {
        Pad& pad = pads[p];
        pad.prevConnected = pad.connected;
        for (int b = 0; b < GamepadManager::kButtons; ++b) pad.prevButtons[b] = pad.buttons[b];
        glfw2::GamepadState state;
        const char* name = nullptr;
        pad.connected = glfw2::GetGamepad(p, &state, &name);
        // The seam clears an absent pad's state itself.
        for (int b = 0; b < GamepadManager::kButtons; ++b) pad.buttons[b] = state.buttons[b];
        for (int a = 0; a < GamepadManager::kAxes; ++a)
            pad.axes[a] = Within(state.axes[a], a < 4 ? -1.0f : 0.0f);  // sticks, then triggers
        // The name changes only with a connection or a mapping: copied when it does.
        if (!pad.connected || !name) {
            pad.name[0] = '\0';
        } else if (std::strncmp(pad.name, name, sizeof pad.name - 1) != 0) {
            std::strncpy(pad.name, name, sizeof pad.name - 1);
            pad.name[sizeof pad.name - 1] = '\0';
        }
    }
}

bool GamepadManager::IsGamepad(int pad) const {
    NoteUse(this);
    return InRange(pad, GamepadManager::kPads) && pads[pad].connected;
}

const char* GamepadManager::GetName(int pad) const {
    NoteUse(this);
    return InRange(pad, GamepadManager::kPads) ? pads[pad].name : "";
}

bool GamepadManager::WasConnected(int pad) const {
    NoteUse(this);
    return InRange(pad, GamepadManager::kPads) && pads[pad].connected && !pads[pad].prevConnected;
}

bool GamepadManager::WasDisconnected(int pad) const {
    NoteUse(this);
    return InRange(pad, GamepadManager::kPads) && !pads[pad].connected && pads[pad].prevConnected;
}

bool GamepadManager::GetButtonHold(int pad, GamepadButton button) const {
    NoteUse(this);
    const int b = int(button);
    return InRange(pad, GamepadManager::kPads) && InRange(b, GamepadManager::kButtons) && pads[pad].buttons[b] != 0;
}

bool GamepadManager::GetButtonPress(int pad, GamepadButton button) const {
    NoteUse(this);
    const int b = int(button);
    if (!InRange(pad, GamepadManager::kPads) || !InRange(b, GamepadManager::kButtons)) return false;
    return pads[pad].buttons[b] != 0 && pads[pad].prevButtons[b] == 0;
}

bool GamepadManager::GetButtonRelease(int pad, GamepadButton button) const {
    NoteUse(this);
    const int b = int(button);
    if (!InRange(pad, GamepadManager::kPads) || !InRange(b, GamepadManager::kButtons)) return false;
    return pads[pad].buttons[b] == 0 && pads[pad].prevButtons[b] != 0;
}

// The radial dead zone: the stick's distance from centre, less the zone,
// over what is left of the way to the rim. Both axes scale alike, so the
// direction is kept and a diagonal is not pulled towards an axis, as zoning
// each axis on its own would do. Pads whose rim lies beyond 1 (diagonals of
// a square gate) are held to length 1. The y axis turns to point up.
Vector2D GamepadManager::Stick(int pad, int xAxis) const {
    NoteUse(this);
    if (!InRange(pad, GamepadManager::kPads)) return Vector2D(0.0f, 0.0f);
    const double x = pads[pad].axes[xAxis];
    const double y = 0.0 - double(pads[pad].axes[xAxis + 1]);  // a resting y is +0, not -0
    const double length = std::sqrt(x * x + y * y);
    if (!(length > double(deadZone))) return Vector2D(0.0f, 0.0f);  // NaN too
    const double rim = length < 1.0 ? length : 1.0;
    const double scale = (rim - double(deadZone)) / (1.0 - double(deadZone)) / length;
    return Vector2D(float(x * scale), float(y * scale));
}

Vector2D GamepadManager::GetLeftStick(int pad) const { return Stick(pad, int(GamepadAxis::LeftX)); }
Vector2D GamepadManager::GetRightStick(int pad) const { return Stick(pad, int(GamepadAxis::RightX)); }

float GamepadManager::GetAxis(int pad, GamepadAxis axis) const {
    NoteUse(this);
    if (!InRange(pad, GamepadManager::kPads)) return 0.0f;
    switch (axis) {
    case GamepadAxis::LeftX: return GetLeftStick(pad).x;
    case GamepadAxis::LeftY: return GetLeftStick(pad).y;
    case GamepadAxis::RightX: return GetRightStick(pad).x;
    case GamepadAxis::RightY: return GetRightStick(pad).y;
    case GamepadAxis::LeftTrigger: return pads[pad].axes[4];
    case GamepadAxis::RightTrigger: return pads[pad].axes[5];
    }
    return 0.0f;
}

void GamepadManager::SetDeadZone(float radius) {
    NoteUse(this);
    if (radius >= 0.0f && radius < 1.0f)  // NaN fails both
        deadZone = radius;
    else
        qmdiag::Report(Diagnostic::GamepadDeadZoneIgnored, radius, deadZone);
}

float GamepadManager::GetDeadZone() const { return deadZone; }

// [SECTION] Mappings

namespace {
bool Added(glfw2::MappingsResult result, const char* path) {
    switch (result) {
    case glfw2::MappingsResult::Taken: return true;
    case glfw2::MappingsResult::LineRefused:
        qmdiag::Report(Diagnostic::GamepadMappingsRefused, 1.0, 0.0, path);
        return false;
    case glfw2::MappingsResult::Unavailable:
        qmdiag::Report(Diagnostic::GamepadMappingsUnavailable);
        return false;
    }
    return false;
}
}  // namespace

bool GamepadManager::AddMappings(const char* text) {
    if (!text) {
        qmdiag::Report(Diagnostic::GamepadMappingsRefused, 0.0);
        return false;
    }
    return Added(glfw2::AddGamepadMappings(text), nullptr);
}

bool GamepadManager::AddMappingsFromFile(const char* path) {
    auto fail = [path](const char* why) {
        char reason[512];
        std::snprintf(reason, sizeof reason, "%s: %s", path && *path ? path : "(no path)", why);
        qmdiag::Report(Diagnostic::GamepadMappingsUnreadable, 0.0, 0.0, reason);
        return false;
    };
    if (!path || !*path) return fail("the path is null or empty");
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return fail(std::strerror(errno));
#if !defined(_WIN32)
    // A directory opens in some file systems (the web page's among them).
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return fail("not a regular file");
    }
#endif
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (long(text.size() + got) > kMaxMappingFileBytes) {
            std::fclose(file);
            return fail("over 16 MiB, which no mapping file comes near");
        }
        text.append(chunk, got);
    }
    const bool readError = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (readError) return fail(std::strerror(readErrno));
    // A NUL byte would end the text early: what follows it would be lost unseen.
    if (text.find('\0') != std::string::npos) return fail("it holds a NUL byte: no text file");
    return Added(glfw2::AddGamepadMappings(text.c_str()), path);
}
