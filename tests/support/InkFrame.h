// A frame read back from GL (RGBA, bottom row first) and what the font tests
// ask of it: which pixels are inked (brighter than the black background),
// the box around them, and the shape of the ink across columns.
#ifndef QUILLMAR_TESTS_SUPPORT_INKFRAME_H
#define QUILLMAR_TESTS_SUPPORT_INKFRAME_H

#include <cstddef>
#include <vector>

namespace qmtest {

template <int W, int H>
struct InkFrame {
    static constexpr int kW = W, kH = H;
    std::vector<unsigned char> rgba;
    int left = W, right = -1, bottom = H, top = -1;  // inclusive; right < 0: no ink

    int At(int x, int y, int channel) const { return rgba[std::size_t((y * W + x) * 4 + channel)]; }
    bool Ink(int x, int y) const { return At(x, y, 0) + At(x, y, 1) + At(x, y, 2) > 60; }
    bool ColumnInk(int x) const {
        for (int y = 0; y < H; ++y)
            if (Ink(x, y)) return true;
        return false;
    }
    // Finds the box of the ink.
    void Bound() {
        left = W, right = -1, bottom = H, top = -1;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (Ink(x, y)) {
                    left = x < left ? x : left;
                    right = x > right ? x : right;
                    bottom = y < bottom ? y : bottom;
                    top = y > top ? y : top;
                }
    }
    int Width() const { return right < 0 ? 0 : right - left + 1; }
    // Stretches of blank columns between the first and last inked ones.
    int Gaps() const {
        int gaps = 0;
        for (int x = left + 1; x <= right; ++x) gaps += !ColumnInk(x) && ColumnInk(x - 1);
        return gaps;
    }
    // The most inked pixels in one of the first `columns` inked columns.
    int TallestAtLeft(int columns) const {
        int most = 0;
        for (int x = left; x < left + columns && x <= right; ++x) {
            int n = 0;
            for (int y = 0; y < H; ++y) n += Ink(x, y);
            most = n > most ? n : most;
        }
        return most;
    }
};

}  // namespace qmtest

#endif
