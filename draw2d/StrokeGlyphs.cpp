// The built-in stroke font's glyphs and the UTF-8 reading of DrawString,
// apart from the drawing so that tools (the benchmarks) can share them.
#include "draw2d/StrokeFont.h"

namespace qmfont {

const char* Glyph(int c) {
    if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
    switch (c) {
    // [SECTION] Digits
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
    // [SECTION] Capitals
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
    // [SECTION] Signs
    case '!': return "2622 2120";
    case '"': return "1614 3634";
    case '#': return "1016 3036 0444 0242";
    case '$': return "450503434101 2026";
    case '%': return "0046 0515 0010 3141";
    case '&': return "40131526353402011020 2042";
    case '\'': return "2624";
    case '(': return "36252130";
    case ')': return "16252110";
    case '*': return "2125 0442 0244";
    case '+': return "1333 2224";
    case ',': return "2221 2110";
    case '-': return "1333";
    case '.': return "2021";
    case '/': return "0046";
    case ':': return "2122 2425";
    case ';': return "2425 222110";
    case '<': return "450341";
    case '=': return "0444 0242";
    case '>': return "054301";
    case '?': return "05163645442322 2120";
    case '@': return "32121434314146060040";
    case '[': return "36161030";
    case '\\': return "0640";
    case ']': return "16363010";
    case '^': return "042644";
    case '_': return "0040";
    case '`': return "1625";
    case '{': return "36262413222030";
    case '|': return "2620";
    case '}': return "16262433222010";
    case '~': return "03143243";
    // A diamond with a bar: a character the font does not have.
    case kReplacement: return "2003264320 2224";
    default: return nullptr;
    }
}

int Next(const char*& text) {
    const unsigned char lead = static_cast<unsigned char>(*text++);
    if (lead < 0x80) return lead;
    // The continuation bytes a lead byte asks for, and the range of the first
    // (narrower after E0, ED, F0, F4: no overlong forms, surrogates or values
    // beyond U+10FFFF).
    int more = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return kReplacement;  // a continuation byte, or one no sequence starts with
    }
    // Checked before any is taken, stopping at the first misfit (a NUL is
    // one): a broken sequence is its lead byte alone.
    const unsigned char* next = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < more; ++i) {
        if (next[i] < (i == 0 ? low : 0x80) || next[i] > (i == 0 ? high : 0xBF))
            return kReplacement;
    }
    text += more;
    return kReplacement;
}

}  // namespace qmfont
