#!/usr/bin/env python3
"""The 2D drawing benchmark: the library's sprites, filled shapes and text against
SFML 2.5's tuned path (one sf::VertexArray a frame) and a bare-GL ceiling (one
glDrawArrays of vertices built before the measurement, no depth buffer), in a
1280 x 720 window with vertical sync off (bench/draw2d_scene.h). The ceiling is also
run as indexed triangles and with a depth buffer: the GL paths the library chose
between. Alternating runs, medians of each run's median frame, and their spread.

run_bench.py calls measure() and section(); run alone (under a display) it measures and
replaces the "## 2D drawing" section of bench/results.md:
    tools/with-display.sh python3 bench/draw2d_bench.py --build build-bench [--reps 3]
"""
import argparse
import os
import re
import statistics
import subprocess

import results_md

HERE = os.path.dirname(os.path.abspath(__file__))
# (case, count, measured frames, label)
CASES = (
    ("sprites32", 1000, 30, "1,000 sprites 32×32"),
    ("sprites32", 10000, 12, "10,000 sprites 32×32"),
    ("sprites32", 100000, 3, "100,000 sprites 32×32"),
    ("sprites4", 1000, 60, "1,000 sprites 4×4"),
    ("sprites4", 10000, 30, "10,000 sprites 4×4"),
    ("sprites4", 100000, 8, "100,000 sprites 4×4"),
    ("circles", 1000, 30, "1,000 filled circles r 8"),
    ("circles", 10000, 8, "10,000 filled circles r 8"),
    ("rects", 1000, 60, "1,000 filled rects 8×8"),
    ("rects", 10000, 30, "10,000 filled rects 8×8"),
    ("rotrects", 10000, 20, "10,000 rects 8×8 turned 30°"),
    ("text", 200, 20, "200 lines × 60 chars, stroke font"),
    ("fonttext", 200, 20, "200 lines × 60 chars, DejaVu Sans 12 px"),
)
SHAPES = ("sprites32", "sprites4", "circles", "rects", "rotrects")
# (label, program, extra arguments, cases it runs: None for all)
PROGRAMS = (
    ("Quillmar", "bench_2d_quillmar", [], None),
    ("SFML VertexArray", "bench_2d_sfml", [], SHAPES + ("text",)),
    ("SFML drawables", "bench_2d_sfml", ["--mode", "drawables"], SHAPES),
    ("SFML sf::Text cached", "bench_2d_sfml", ["--mode", "sftext"], ("text", "fonttext")),
    ("SDL2 per item", "bench_2d_sdl", [], SHAPES + ("fonttext",)),
    ("SDL2 RenderGeometry", "bench_2d_sdl", ["--mode", "geometry"], SHAPES),
    ("bare GL", "bench_2d_gl", [], SHAPES + ("text",)),
)
MINE = "Quillmar"
PEERS = ("SFML VertexArray", "SFML drawables", "SFML sf::Text cached", "SDL2 per item",
         "SDL2 RenderGeometry")
CEILING = "bare GL"
# The GL paths the library chose between: the ceiling's quads drawn as they are or as
# indexed triangles, into a window without or with a depth buffer.
GL_PATH_CASES = (("sprites4", 10000, 30), ("sprites4", 100000, 8), ("sprites32", 10000, 12),
                 ("rects", 10000, 30))
GL_PATHS = (("GL_QUADS", []), ("indexed triangles", ["--indexed"]),
            ("GL_QUADS, depth buffer", ["--depth"]),
            ("indexed triangles, depth buffer", ["--indexed", "--depth"]))
FAILURES = []


def runs(program, case):
    return program[3] is None or case in program[3]


def run_one(exe, extra, case, count, frames, quick):
    if quick:
        frames = max(2, frames // 4)
    cmd = [exe, "--case", case, "--count", str(count), "--frames", str(frames),
           "--warmup", "2" if frames < 10 else "4"] + extra
    for _ in range(3):
        proc = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        m = re.search(r"wall_ms ([\d.]+) cpu_ms ([\d.]+)", proc.stdout)
        if proc.returncode == 0 and m:
            return float(m.group(1)), float(m.group(2))
        FAILURES.append((" ".join([os.path.basename(cmd[0])] + cmd[1:]), proc.returncode,
                         (proc.stderr.strip().splitlines() or ["(no message)"])[-1]))
    raise RuntimeError("%s failed three times: %s" % (" ".join(cmd), FAILURES[-1]))


def measure(build, reps, quick, say=print):
    """{(label, case, count): [(wall_ms, cpu_ms) per repetition]}; in each repetition
    every program runs once per case, in turn (order reversed every other time), then
    the ceiling once per GL path."""
    bench = os.path.join(build, "bench")
    results = {}
    for rep in range(reps):
        say("   2D drawing: repetition %d of %d" % (rep + 1, reps))
        for case, count, frames, _ in CASES:
            order = PROGRAMS if rep % 2 == 0 else tuple(reversed(PROGRAMS))
            for label, program, extra, only in order:
                if not runs((label, program, extra, only), case):
                    continue
                r = run_one(os.path.join(bench, program), extra, case, count, frames, quick)
                results.setdefault((label, case, count), []).append(r)
        for case, count, frames in GL_PATH_CASES:
            order = GL_PATHS if rep % 2 == 0 else tuple(reversed(GL_PATHS))
            for label, extra in order:
                r = run_one(os.path.join(bench, "bench_2d_gl"), extra, case, count, frames, quick)
                results.setdefault(("path " + label, case, count), []).append(r)
    return results


def med(results, key, which):
    return statistics.median(r[which] for r in results[key])


def cell(results, key, which):
    if key not in results:
        return "–"
    values = [r[which] for r in results[key]]
    return "%.2f (%.2f–%.2f)" % (statistics.median(values), min(values), max(values))


def fastest_peer(results, case, count, which):
    have = [p for p in PEERS if (p, case, count) in results]
    return min(have, key=lambda p: med(results, (p, case, count), which))


def label_of(case, count):
    return next(c[3] for c in CASES if c[0] == case and c[1] == count)


def section(results, reps):
    L = []
    add = L.append
    add("## 2D drawing")
    add("")
    add("`bench/draw2d_bench.py`, the cases of `bench/draw2d_scene.h` in a 1280 × 720 window, "
        "vertical sync off, colour cleared each frame, Mesa llvmpipe under Xvfb on this "
        "machine's 2 cores. Quillmar: `DrawSprite(texture, position)`, "
        "`FillCircle`/`FillRect` in each shape's own colour, `DrawString` (stroke font) and "
        "`Font::Draw` per item, batched by the library, in a window opened after "
        "`SetDepthBuffer(false)`. SFML 2.5: one `sf::VertexArray` refilled and drawn once a "
        "frame (quads, or triangles for circles; the stroke text as the same strokes in a "
        "`sf::Lines` array built once); *drawables*: one `sf::Sprite`, `sf::RectangleShape` "
        "or `sf::CircleShape` per item, moved and drawn each frame; cached `sf::Text` in "
        "DejaVu Sans (8 pixels beside the stroke font, 12 beside `Font::Draw`). SDL2 2.26 "
        "on its OpenGL renderer, batching on: *per item*, `SDL_RenderCopy` per sprite, "
        "`SDL_RenderFillRectF` per rectangle, `SDL_RenderGeometry` per circle or turned "
        "rectangle, and the text lines rendered once by SDL2_ttf into textures drawn with "
        "`SDL_RenderCopy`; *RenderGeometry*: every item's triangles in one "
        "`SDL_RenderGeometry` a frame. Bare GL: the first frame's vertices built before the "
        "measurement and drawn with one `glDrawArrays` of `GL_QUADS` (or triangles, or lines) "
        "a frame, no depth buffer: the ceiling. Each cell: the median of %d runs of each "
        "run's median frame, with the lowest and highest run; programs alternate within each "
        "repetition." % reps)
    add("")
    for which, title in ((0, "Frame time (wall clock, ms per frame)"),
                         (1, "CPU time of the drawing thread (ms per frame)")):
        add("**%s**" % title)
        add("")
        add("| case | %s | Quillmar ÷ fastest peer | Quillmar ÷ ceiling |" %
            " | ".join(p[0] for p in PROGRAMS))
        add("|---|%s---|---|" % ("---|" * len(PROGRAMS)))
        for case, count, _, label in CASES:
            cells = [cell(results, (p[0], case, count), which) for p in PROGRAMS]
            mine = med(results, (MINE, case, count), which)
            peer = fastest_peer(results, case, count, which)
            ratio = mine / med(results, (peer, case, count), which)
            ceiling = ("%.2f" % (mine / med(results, (CEILING, case, count), which))
                       if (CEILING, case, count) in results else "–")
            add("| %s | %s | %.2f (%s) | %s |" % (label, " | ".join(cells), ratio, peer, ceiling))
        add("")
    add("**The GL paths** (the ceiling's program alone; frame / CPU time, ms)")
    add("")
    add("| case | %s |" % " | ".join(p[0] for p in GL_PATHS))
    add("|---|%s" % ("---|" * len(GL_PATHS)))
    for case, count, _ in GL_PATH_CASES:
        add("| %s | %s |" % (label_of(case, count), " | ".join(
            "%s / %s" % (cell(results, ("path " + p[0], case, count), 0).split(" ")[0],
                         cell(results, ("path " + p[0], case, count), 1).split(" ")[0])
            for p in GL_PATHS)))
    add("")
    if FAILURES:
        add("Runs that failed and were made again: " + "; ".join(
            "`%s` (status %d: %s)" % f for f in FAILURES) + ".")
        add("")
    return L


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--out", default=os.path.join(HERE, "results.md"))
    ap.add_argument("--reps", type=int, default=3)
    ap.add_argument("--quick", action="store_true")
    ap.add_argument("--print-only", action="store_true")
    args = ap.parse_args()
    results = measure(args.build, args.reps, args.quick)
    lines = section(results, args.reps)
    print("\n".join(lines))
    if args.print_only:
        return
    results_md.replace_section(args.out, lines)


if __name__ == "__main__":
    main()
