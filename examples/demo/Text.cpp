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

const char* Glyph(char c) {
    switch (c) {
    case '0': return "0040460600 0046";
    case '1': return "152620 1030";
    case '2': return "064643030040";
    case '3': return "06464000 1343";
    case '4': return "060343 4640";
    case '5': return "460603434000";
    case '6': return "460600404303";
    case '7': return "064620";
    case '8': return "0040460600 0343";
    case '9': return "004046060343";
    case 'A': return "0004264440 0343";
    case 'B': return "00063645443303 3342413000";
    case 'C': return "46060040";
    case 'D': return "00063645413000";
    case 'E': return "46060040 0333";
    case 'F': return "460600 0333";
    case 'G': return "460600404323";
    case 'H': return "0006 4640 0343";
    case 'I': return "1636 2620 1030";
    case 'J': return "264641301001";
    case 'K': return "0006 0346 0340";
    case 'L': return "060040";
    case 'M': return "0006234640";
    case 'N': return "00064046";
    case 'O': return "0040460600";
    case 'P': return "0006464303";
    case 'Q': return "0040460600 2240";
    case 'R': return "0006464303 1340";
    case 'S': return "460603434000";
    case 'T': return "0646 2620";
    case 'U': return "06004046";
    case 'V': return "062046";
    case 'W': return "0600234046";
    case 'X': return "0046 0640";
    case 'Y': return "062346 2320";
    case 'Z': return "06460040";
    case '.': return "2021";
    case ':': return "2122 2425";
    case '-': return "1333";
    case '/': return "0046";
    case '+': return "1333 2224";
    case '%': return "0046 0515 0010 3141";
    default: return nullptr;
    }
}

float TextWidth(const char* text, float unit) {
    int n = 0;
    while (text[n]) ++n;
    // The last character ends at its glyph's right edge, not after its gap.
    return n > 0 ? (float(n) * kGlyphAdvance - 2.0f) * unit : 0.0f;
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
