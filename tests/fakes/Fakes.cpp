#include "Fakes.h"

#include <algorithm>

namespace fake {

Script script;
std::vector<Call> log;
bool recording = true;
bool readUploads = false;
std::vector<Drawn> drawn;
std::uint32_t clockNow = 0;
std::uint32_t clockStep = 0;
std::uint64_t clockNanoseconds = 0;
std::uint64_t clockNanosecondsStep = 0;
bool logClock = false;
GLMatrices gl;
GLPixels pixels;

void Reset() {
    script = Script();
    log.clear();
    drawn.clear();
    recording = true;
    readUploads = false;
    clockNow = 0;
    clockStep = 0;
    clockNanoseconds = 0;
    clockNanosecondsStep = 0;
    gl = GLMatrices();
    pixels = GLPixels();
    logClock = true;
}

void Record(const char* name, std::initializer_list<double> args, std::string text) {
    if (!recording) return;
    log.push_back(Call{name, std::vector<double>(args), std::move(text)});
}

bool Enabled(unsigned cap) {
    for (const GLMatrices::Flag& f : gl.flags)
        if (f.cap == cap) return f.on;
    return false;
}

std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Call& c : log) names.push_back(c.name);
    return names;
}

std::vector<Call> CallsNamed(const std::string& name) {
    std::vector<Call> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                 [&](const Call& c) { return c.name == name; });
    return out;
}

std::size_t Count(const std::string& name) {
    return static_cast<std::size_t>(
        std::count_if(log.begin(), log.end(), [&](const Call& c) { return c.name == name; }));
}

void* ProcFor(const std::string& name) {
    if (void* callable = GLProc(name)) return callable;
    static std::map<std::string, char> storage;
    return &storage[name];
}

}  // namespace fake
