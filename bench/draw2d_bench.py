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

HERE = os.path.dirname(os.path.abspath(__file__))
# (case, count, measured frames, label)
CASES = (
    ("sprites32", 10000, 12, "10,000 sprites 32×32"),
    ("sprites32", 100000, 3, "100,000 sprites 32×32"),
    ("sprites4", 10000, 30, "10,000 sprites 4×4"),
    ("sprites4", 100000, 8, "100,000 sprites 4×4"),
    ("circles", 1000, 30, "1,000 filled circles r 8"),
    ("rects", 10000, 30, "10,000 filled rects 8×8"),
    ("rotrects", 10000, 20, "10,000 rects 8×8 turned 30°"),
    ("text", 200, 20, "200 lines × 60 chars of text"),
)
# (label, program, extra arguments, cases it runs: None for all)
PROGRAMS = (
    ("Quillmar", "bench_2d_quillmar", [], None),
    ("Quillmar, depth buffer kept", "bench_2d_quillmar", ["--depth"], None),
    ("SFML VertexArray", "bench_2d_sfml", [], None),
    ("SFML sf::Text cached", "bench_2d_sfml", ["--mode", "sftext"], ("text",)),
    ("bare GL: GL_QUADS, no depth", "bench_2d_gl", [], None),
    ("bare GL: indexed triangles", "bench_2d_gl", ["--indexed"], ("sprites32", "sprites4", "rects", "rotrects")),
    ("bare GL: GL_QUADS, depth buffer", "bench_2d_gl", ["--depth"], ("sprites32", "sprites4", "rects", "rotrects")),
)
MINE = "Quillmar"
PEERS = ("SFML VertexArray", "SFML sf::Text cached")
CEILING = "bare GL: GL_QUADS, no depth"
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
    every program runs once per case, in turn (order reversed every other time)."""
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


def section(results, reps):
    L = []
    add = L.append
    add("## 2D drawing")
    add("")
    add("`bench/draw2d_bench.py`, the cases of `bench/draw2d_scene.h` in a 1280 × 720 window, "
        "vertical sync off, colour cleared each frame, Mesa llvmpipe under Xvfb on this "
        "machine's 2 shared cores. Quillmar: `DrawSprite(texture, position)`, "
        "`SetColor` + `FillCircle`/`FillRect` and `DrawString` per item, batched by the "
        "library, in a window opened after `SetDepthBuffer(false)` (and, to compare, with the "
        "default depth buffer kept, its clearing off). SFML 2.5: one `sf::VertexArray` "
        "refilled and drawn once a frame (quads, or triangles for circles; text as the same "
        "strokes in a `sf::Lines` array built once), and cached `sf::Text` in DejaVu Sans. "
        "Bare GL: the first frame's vertices built before the measurement and drawn with one "
        "`glDrawArrays` a frame, no depth buffer: the ceiling. Its variants draw the quads "
        "as indexed triangles (`glDrawElements`), or with a depth buffer. Each cell: the "
        "median of %d runs of each run's median frame, with the lowest and highest run; "
        "programs alternate within each repetition." % reps)
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
            ceiling = mine / med(results, (CEILING, case, count), which)
            add("| %s | %s | %.2f (%s) | %.2f |" % (label, " | ".join(cells), ratio, peer,
                                                   ceiling))
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
    text = open(args.out).read() if os.path.exists(args.out) else "# Benchmark results\n"
    block = "\n".join(lines)
    if "## 2D drawing\n" in text:
        text = re.sub(r"## 2D drawing\n.*?(?=\n## |\Z)", lambda _: block, text, flags=re.S)
    elif "\n## Method\n" in text:
        text = text.replace("\n## Method\n", "\n" + block + "\n## Method\n")
    else:
        text += "\n" + block
    with open(args.out, "w") as f:
        f.write(text)
    print("wrote %s" % args.out)


if __name__ == "__main__":
    main()
