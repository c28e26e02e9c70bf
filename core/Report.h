// The library's side of the diagnostics channel: every failure and every
// ignored argument is reported through Report. Cheap when nobody listens: a
// few stores, the message is composed only when asked for.
#ifndef QUILLMAR_CORE_REPORT_H
#define QUILLMAR_CORE_REPORT_H

#include "Diagnostics.h"

namespace qmdiag {

// a and b are the numbers the message names (see the message table in
// Diagnostics.cpp); text is copied (bounded), may be null.
void Report(Diagnostic code, double a = 0.0, double b = 0.0, const char* text = nullptr);

// A report about something named (a file, a call): "name: reason", or the
// name alone when reason is null.
void ReportNamed(Diagnostic code, const char* name, const char* reason, double a = 0.0,
                 double b = 0.0);

// An error of the windowing library, with its own code and description.
void ReportPlatformError(int code, const char* description);

// While a Hold lives, reports are recorded at once but reach the callback
// only when the outermost Hold ends: code that is half-way through changing
// its state (or is inside the windowing library's own callbacks) holds, so
// a callback that calls back into the library finds it consistent.
class Hold {
public:
    Hold();
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
};

// What Core did with the windowing library, so that a failed Open can say
// why: never started, failed to start (no display), started.
enum class Windowing { NotStarted, Failed, Started };
void NoteWindowing(Windowing state);
Windowing CurrentWindowing();

}  // namespace qmdiag

#endif
