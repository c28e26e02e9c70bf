#!/usr/bin/env python3
"""Text in a font: 200 lines of 60 characters a frame in DejaVu Sans at 12 pixels, the
library's Font::Draw per line (layouts of strings drawn before kept by the font, glyphs
cached) against SFML 2.5's sf::Text objects built once and drawn every frame, the same
font file and pixel size, side by side in one run (bench/draw2d_scene.h, case
"fonttext"). Programs alternate; each cell is the median of the runs' median frames with
the lowest and highest run. With --before-lib DIR, the same benchmark program also runs
against the library in DIR (an older build, same headers) as a third column. With
--untrimmed, the library's program also runs with glibc's heap trimming off
(GLIBC_TUNABLES), which shows what Mesa's per-frame allocations cost it. Writes the
"## Font text" section of bench/results.md:
    tools/with-display.sh python3 bench/font_bench.py --build build-bench [--reps 5]
        [--before-lib DIR --before-label REV] [--untrimmed]
"""
import argparse
import os
import statistics

import draw2d_bench
import results_md

HERE = os.path.dirname(os.path.abspath(__file__))
PROGRAMS = (("Quillmar Font::Draw", "bench_2d_quillmar"), ("SFML sf::Text cached", "bench_2d_sfml"))
COUNT, FRAMES = 200, 30
UNTRIMMED = "glibc.malloc.trim_threshold=67108864"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--out", default=os.path.join(HERE, "results.md"))
    ap.add_argument("--reps", type=int, default=5)
    ap.add_argument("--before-lib", help="directory of an older libQuillmar.so to run too")
    ap.add_argument("--before-label", default="before")
    ap.add_argument("--untrimmed", action="store_true")
    args = ap.parse_args()
    programs = [(label, program, {}) for label, program in PROGRAMS]
    if args.before_lib:
        programs.append(("Quillmar %s" % args.before_label, PROGRAMS[0][1],
                         {"LD_LIBRARY_PATH": os.path.abspath(args.before_lib)}))
    if args.untrimmed:
        programs.append(("Quillmar, heap not trimmed", PROGRAMS[0][1],
                         {"GLIBC_TUNABLES": UNTRIMMED}))
    load_start = os.getloadavg()
    results = {}
    for rep in range(args.reps):
        order = programs if rep % 2 == 0 else list(reversed(programs))
        for label, program, env in order:
            exe = os.path.join(args.build, "bench", program)
            saved = {k: os.environ.get(k) for k in env}
            os.environ.update(env)
            try:
                results.setdefault(label, []).append(
                    draw2d_bench.run_one(exe, [], "fonttext", COUNT, FRAMES, False))
            finally:
                for k, v in saved.items():
                    if v is None:
                        del os.environ[k]
                    else:
                        os.environ[k] = v
    load_end = os.getloadavg()

    def cell(label, which):
        values = [r[which] for r in results[label]]
        return "%.2f (%.2f–%.2f)" % (statistics.median(values), min(values), max(values))

    def ratio(label, which):
        mine = statistics.median(r[which] for r in results[label])
        peer = statistics.median(r[which] for r in results[PROGRAMS[1][0]])
        return mine / peer

    compared = [programs[0]] + programs[2:]
    headers = [p[0] for p in programs] + ["%s ÷ SFML" % p[0] for p in compared]
    L = ["## Font text", "",
         "`bench/font_bench.py`: %d lines of 60 characters a frame (`draw2d_scene.h`'s text "
         "lines) in DejaVu Sans at %d pixels, 1280 × 720, vertical sync off, Mesa llvmpipe "
         "under Xvfb on this machine's 2 shared cores. Quillmar: `Font::Draw` per line; the "
         "font keeps the layouts of the strings it drew lately (`draw2d/TextCache`), so a "
         "frame that draws last frame's strings hashes, compares and emits their quads "
         "instead of shaping them with HarfBuzz again; glyphs from the font's atlas pages, "
         "drawn through the 2D batch. SFML 2.5: one `sf::Text` per line built before the "
         "measurement (its geometry cached) and drawn each frame. %d runs each, "
         "alternating; median of each run's median frame (lowest–highest run). The CPU "
         "time is the drawing thread's own work; the frame time also holds llvmpipe "
         "filling the glyphs' quads, on other threads, and carries the noise of the other "
         "work on the machine (load average %.1f at the start, %.1f at the end).%s"
         % (COUNT, 12, args.reps, load_start[0], load_end[0],
            " \"Heap not trimmed\": the same program with `GLIBC_TUNABLES=%s`. Each flush "
            "of the 2D batch hands Mesa some 0.8 MB of client-array vertices, which it "
            "copies into a fresh 1 MB upload buffer; when glibc gives the freed buffer "
            "back to the system at the top of the heap, the next frame faults its pages "
            "in again (`strace -c`, 100 frames: 1296 `brk` calls for the library's "
            "program, 87 for SFML's)." % UNTRIMMED
            if args.untrimmed else ""), "",
         "| | %s |" % " | ".join(headers), "|---|" + "---|" * len(headers)]
    for which, title in ((0, "frame time (wall clock, ms)"), (1, "CPU time of the drawing thread (ms)")):
        ratios = [ratio(p[0], which) for p in compared]
        L.append("| %s | %s | %s |" % (title, " | ".join(cell(p[0], which) for p in programs),
                                       " | ".join("%.2f" % r for r in ratios)))
    L.append("")
    print("\n".join(L))
    results_md.replace_section(args.out, L)


if __name__ == "__main__":
    main()
