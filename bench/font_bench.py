#!/usr/bin/env python3
"""Text in a font: 200 lines of 60 characters a frame in DejaVu Sans at 12 pixels, the
library's Font::Draw per line (shaped and laid out every frame, glyphs cached) against
SFML 2.5's sf::Text objects built once and drawn every frame, the same font file and
pixel size, side by side in one run (bench/draw2d_scene.h, case "fonttext"). Programs
alternate; each cell is the median of the runs' median frames with the lowest and
highest run. Writes the "## Font text" section of bench/results.md:
    tools/with-display.sh python3 bench/font_bench.py --build build-bench [--reps 5]
"""
import argparse
import os
import re
import statistics

import draw2d_bench

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAMS = (("Quillmar Font::Draw", "bench_2d_quillmar"), ("SFML sf::Text cached", "bench_2d_sfml"))
COUNT, FRAMES = 200, 30


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--out", default=os.path.join(HERE, "results.md"))
    ap.add_argument("--reps", type=int, default=5)
    args = ap.parse_args()
    results = {}
    for rep in range(args.reps):
        order = PROGRAMS if rep % 2 == 0 else tuple(reversed(PROGRAMS))
        for label, program in order:
            exe = os.path.join(args.build, "bench", program)
            results.setdefault(label, []).append(
                draw2d_bench.run_one(exe, [], "fonttext", COUNT, FRAMES, False))

    def cell(label, which):
        values = [r[which] for r in results[label]]
        return "%.2f (%.2f–%.2f)" % (statistics.median(values), min(values), max(values))

    def ratio(which):
        mine = statistics.median(r[which] for r in results[PROGRAMS[0][0]])
        peer = statistics.median(r[which] for r in results[PROGRAMS[1][0]])
        return mine / peer

    L = ["## Font text", "",
         "`bench/font_bench.py`: %d lines of 60 characters a frame (`draw2d_scene.h`'s text "
         "lines) in DejaVu Sans at %d pixels, 1280 × 720, vertical sync off, Mesa llvmpipe "
         "under Xvfb on this machine's 2 shared cores. Quillmar: `Font::Draw` per line, every "
         "frame shaped by HarfBuzz and laid out again, glyphs from the font's atlas pages, "
         "drawn through the 2D batch. SFML 2.5: one `sf::Text` per line built before the "
         "measurement (its geometry cached) and drawn each frame. %d runs each, "
         "alternating; median of each run's median frame (lowest–highest run). The CPU "
         "time is the drawing thread's own work: the library shapes and lays out %d "
         "characters every frame where SFML draws geometry it built once; the frame time "
         "also holds llvmpipe filling the glyphs' quads, on other threads."
         % (COUNT, 12, args.reps, COUNT * 60), "",
         "| | %s | Quillmar ÷ SFML |" % " | ".join(p[0] for p in PROGRAMS),
         "|---|---|---|---|"]
    for which, title in ((0, "frame time (wall clock, ms)"), (1, "CPU time of the drawing thread (ms)")):
        L.append("| %s | %s | %.2f |" % (title, " | ".join(cell(p[0], which) for p in PROGRAMS),
                                         ratio(which)))
    L.append("")
    print("\n".join(L))
    text = open(args.out).read()
    block = "\n".join(L)
    if "## Font text\n" in text:
        text = re.sub(r"## Font text\n.*?(?=\n## |\Z)", lambda _: block, text, flags=re.S)
    elif "\n## Method\n" in text:
        text = text.replace("\n## Method\n", "\n" + block + "\n## Method\n")
    else:
        text += "\n" + block
    with open(args.out, "w") as f:
        f.write(text)
    print("wrote %s" % args.out)


if __name__ == "__main__":
    main()
