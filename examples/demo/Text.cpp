#include "Text.h"

#include <cmath>

namespace demo {

int FormatInt(char* out, int capacity, int value) {
    if (capacity <= 0) return 0;
    char digits[12];
    int n = 0;
    // Work on the unsigned magnitude so the most negative int has one too.
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    do {
        digits[n++] = char('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude);
    if (value < 0) digits[n++] = '-';
    int length = 0;
    while (n > 0 && length < capacity - 1) out[length++] = digits[--n];
    out[length] = '\0';
    return length;
}

int FormatFixed(char* out, int capacity, float value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 3) decimals = 3;
    int scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    double scaled = std::fabs(double(value)) * scale + 0.5;
    if (!(scaled < 2.0e9)) scaled = 2.0e9;  // also catches NaN
    long long whole = (long long)scaled;
    int length = 0;
    if (value < 0.0f && whole != 0 && capacity > 1) out[length++] = '-';
    length += FormatInt(out + length, capacity - length, int(whole / scale));
    if (decimals > 0 && length < capacity - 1) {
        out[length++] = '.';
        int fraction = int(whole % scale);
        for (int d = scale / 10; d >= 1 && length < capacity - 1; d /= 10)
            out[length++] = char('0' + (fraction / d) % 10);
    }
    if (capacity > 0) out[length < capacity ? length : capacity - 1] = '\0';
    return length;
}

void FrameHistory::Add(float seconds) {
    samples[next] = seconds;
    next = (next + 1) % kSize;
    if (count < kSize) ++count;
}

float FrameHistory::Get(int i) {
    if (i < 0 || i >= count) return 0.0f;
    int oldest = count < kSize ? 0 : next;
    return samples[(oldest + i) % kSize];
}

float FrameHistory::Average() {
    if (count == 0) return 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < count; ++i) sum += samples[i];
    return sum / float(count);
}

}  // namespace demo
