#!/usr/bin/env python3
"""Runs every benchmark comparison side by side with repetitions, prints each
as a ratio and writes bench/results.md. tools/run-bench.sh builds the programs
and calls this under an X display; see the README for the options."""

import argparse
import datetime
import json
import os
import platform
import re
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import sprite_bench  # noqa: E402
import draw2d_bench  # noqa: E402


# [SECTION] Running things

def run(cmd, env=None, check=True):
    full_env = dict(os.environ, **(env or {}))
    proc = subprocess.run(cmd, env=full_env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          text=True)
    if check and proc.returncode != 0:
        sys.exit("failed: %s\n%s%s" % (" ".join(cmd), proc.stdout, proc.stderr))
    return proc.stdout


def lib_env(lib_dir):
    return {"LD_LIBRARY_PATH": lib_dir} if lib_dir else {}


def gbench(exe, args, env=None):
    """Google Benchmark runs of one process: {name: {repetition: run}}."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        run([exe, "--benchmark_out=" + out.name, "--benchmark_out_format=json"] + args, env)
        data = json.load(open(out.name))
    runs = {}
    for b in data["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        if b.get("error_occurred"):
            continue
        name = b["run_name"].replace("/real_time", "")
        runs.setdefault(name, {})[b.get("repetition_index", 0)] = b
    return runs


def interleaved(exe, filter_, reps, min_time, env=None):
    return gbench(exe, ["--benchmark_filter=" + filter_, "--benchmark_repetitions=%d" % reps,
                        "--benchmark_enable_random_interleaving=true",
                        "--benchmark_min_time=%g" % min_time], env)


def seconds(b, key):
    unit = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b["time_unit"]]
    return b[key] * unit


# [SECTION] Ratios

class Ratio:
    """Quillmar's time over the reference's, per repetition (paired by index)."""

    def __init__(self, mine, ref, key="cpu_time", digits=2):
        self.digits = digits
        reps = sorted(set(mine) & set(ref))
        self.values = [seconds(mine[r], key) / seconds(ref[r], key) for r in reps]
        self.mine = statistics.median(seconds(mine[r], key) for r in reps) if reps else None
        self.ref = statistics.median(seconds(ref[r], key) for r in reps) if reps else None

    def ok(self):
        return bool(self.values)

    def median(self):
        return statistics.median(self.values)

    def text(self):
        if not self.values:
            return "n/a"
        f = "%%.%df" % self.digits
        return (f + " (" + f + "–" + f + ")") % (self.median(), min(self.values), max(self.values))


class FixedRatio:
    """A ratio of medians computed elsewhere (the sprite benchmark's)."""

    def __init__(self, value):
        self.value = value

    def ok(self):
        return True

    def median(self):
        return self.value

    def text(self):
        return "%.2f" % self.value


def per_item_ns(runs, name, items, key="cpu_time"):
    reps = runs.get(name, {})
    if not reps:
        return None
    return statistics.median(seconds(b, key) for b in reps.values()) / items * 1e9


def verdict(ratio, target):
    if not ratio.ok():
        return "n/a"
    if ratio.median() <= target:
        return "met" if max(ratio.values) <= target else "met (median)"
    return "**missed**"


# [SECTION] Callgrind

def callgrind(exe, frames, extra, env, tag, out_dir):
    path = os.path.join(out_dir, "callgrind.%s.out" % tag)
    run(["valgrind", "--tool=callgrind", "--collect-atstart=no",
         "--toggle-collect=qm_measured_frames", "--callgrind-out-file=" + path,
         exe, "--callgrind-frames", str(frames)] + extra, dict(env, LP_NUM_THREADS="0"))
    total = None
    for line in open(path):
        if line.startswith("summary:") or line.startswith("totals:"):
            total = int(line.split()[1])
    functions = {}
    annotated = run(["callgrind_annotate", "--inclusive=yes", "--threshold=100", path])
    for line in annotated.splitlines():
        m = re.match(r"\s*([\d,]+)\s+\([^)]*\)\s+\S*?:(\S.*?)\s*\[", line)
        if m:
            functions.setdefault(m.group(2), int(m.group(1).replace(",", "")))
    return total / frames, {k: v / frames for k, v in functions.items()}


# [SECTION] The comparisons

# Vector3D benchmarks: name, description, target ratio to GLM.
VECTOR_OPS = (
    ("Mix", "mix: add, scale, dot, cross, normalise, rotate about an axis", 1.5),
    ("Add", "add", 1.5),
    ("Subtract", "subtract", 1.5),
    ("Scale", "scale", 1.5),
    ("Dot", "dot", 1.5),
    ("Cross", "cross", 1.5),
    ("Normalize", "normalise", 1.5),
    ("RotateAxis", "rotate about an axis (designed double precision)", None),
)

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True, help="the benchmark build directory")
    ap.add_argument("--out", default=os.path.join(HERE, "results.md"))
    ap.add_argument("--before-lib", help="directory of a libQuillmar.so.1 to compare against")
    ap.add_argument("--before-label", default="baseline")
    ap.add_argument("--before-math", help="bench_math built against the baseline's headers "
                    "and library (inline operations are compiled into the benchmark)")
    ap.add_argument("--reps", type=int, default=10)
    ap.add_argument("--quick", action="store_true", help="short runs, for trying the script")
    args = ap.parse_args()

    reps = 3 if args.quick else args.reps
    t_short = 0.05 if args.quick else 0.25
    t_frame = 0.3 if args.quick else 1.0
    cg_frames = 100 if args.quick else 500
    bench = os.path.join(args.build, "bench")
    exe = {n: os.path.join(bench, n) for n in
           ("bench_math", "bench_polling", "bench_frame_quillmar", "bench_frame_glfw3")}
    before = os.path.abspath(args.before_lib) if args.before_lib else None
    out_dir = os.path.join(args.build, "results")
    os.makedirs(out_dir, exist_ok=True)
    started = datetime.datetime.now(datetime.timezone.utc)
    load_start = os.getloadavg()

    def say(text):
        print(text, flush=True)

    # Culling and vector math, one process, repetitions interleaved.
    say("== Culling and vector math (%d repetitions, interleaved)" % reps)
    math = interleaved(exe["bench_math"], ".", reps, t_short)
    if args.before_math:
        math_before = interleaved(os.path.abspath(args.before_math),
                                  "BM_Cull_|BM_Vec_.*_(Quillmar|Glm)$", reps, t_short)
    else:
        math_before = (interleaved(exe["bench_math"], "BM_Cull_", reps, t_short,
                                   lib_env(before)) if before else None)

    say("== Keyboard polling and the managers' Step (%d repetitions, interleaved)" % reps)
    poll = interleaved(exe["bench_polling"], ".", reps, t_short)
    poll_before = (interleaved(exe["bench_polling"], "BM_Keyboard_", reps, t_short,
                               lib_env(before)) if before else None)

    say("== Frame cycle: %d alternations of the programs" % reps)
    frame_runs = {"bare": {}, "polling": {}, "quillmar": {}, "before": {}}
    for r in range(reps):
        g = gbench(exe["bench_frame_glfw3"], ["--benchmark_min_time=%g" % t_frame])
        frame_runs["bare"][r] = g["BM_Frame"][0]
        frame_runs["polling"][r] = g["BM_FramePolling"][0]
        q = gbench(exe["bench_frame_quillmar"], ["--benchmark_min_time=%g" % t_frame])
        frame_runs["quillmar"][r] = q["BM_Frame"][0]
        if before:
            b = gbench(exe["bench_frame_quillmar"], ["--benchmark_min_time=%g" % t_frame],
                       lib_env(before))
            frame_runs["before"][r] = b["BM_Frame"][0]

    say("== Frame cycle under callgrind (%d frames, twice each)" % cg_frames)
    cg = {}
    programs = [("bare", exe["bench_frame_glfw3"], [], {}),
                ("polling", exe["bench_frame_glfw3"], ["--poll"], {}),
                ("quillmar", exe["bench_frame_quillmar"], [], {})]
    if before:
        programs.append(("before", exe["bench_frame_quillmar"], [], lib_env(before)))
    for tag, path, extra, env in programs:
        cg[tag] = [callgrind(path, cg_frames, extra, env, "%s.%d" % (tag, i), out_dir)
                   for i in range(2)]
    # A frame with work of its own: both clear colour and depth (fewer frames,
    # each costs the program far more).
    for tag, path in (("bare_clear", exe["bench_frame_glfw3"]),
                      ("quillmar_clear", exe["bench_frame_quillmar"])):
        cg[tag] = [callgrind(path, max(10, cg_frames // 10), ["--clear"], {},
                             "%s.%d" % (tag, i), out_dir) for i in range(2)]

    sprite_reps = min(reps, 3)  # a 50,000-sprite frame of the full window takes seconds
    say("== Sprites against SFML 2.5 and SDL2 (%d repetitions, in turn)" % sprite_reps)
    sprites = sprite_bench.measure(args.build, sprite_reps, args.quick, say)
    say("== 2D drawing against SFML's vertex array and bare GL (%d repetitions, in turn)"
        % sprite_reps)
    draw2d = draw2d_bench.measure(args.build, sprite_reps, args.quick, say)

    info = run([exe["bench_frame_glfw3"], "--info"])
    finished = datetime.datetime.now(datetime.timezone.utc)

    # [SECTION] Ratios and the report
    rows = []  # (area, comparison, quillmar, reference, ratio, target, verdict)

    def cull(name, n, layout, target):
        mine = math.get("BM_Cull_%s/%d/%d" % (name, n, layout), {})
        ref = math.get("BM_Cull_Glm/%d/%d" % (n, layout), {})
        ratio = Ratio(mine, ref)
        speed = lambda t: "%.0f M spheres/s" % (n / t / 1e6) if t else "n/a"
        scene = "scattered" if layout == 0 else "all visible"
        rows.append(("Culling", "%s, %s spheres, %s" % (name, format(n, ","), scene),
                     speed(ratio.mine), speed(ratio.ref), ratio,
                     target, verdict(ratio, target) if target else "(for information)"))
        return ratio

    for name in ("FrustumCheck", "SphereInFrustum"):
        for n in (100000, 1000000):
            cull(name, n, 0, 1.0)
        cull(name, 100000, 1, 1.0)

    ns = lambda t: "%.2f ns/vector" % (t / 1024 * 1e9) if t else "n/a"
    for op, what, target in VECTOR_OPS:
        ratio = Ratio(math.get("BM_Vec_%s_Quillmar" % op, {}), math.get("BM_Vec_%s_Glm" % op, {}))
        rows.append(("Vector math", what, ns(ratio.mine), ns(ratio.ref), ratio, target,
                     verdict(ratio, target) if target else "(no ratio target; see Before and after)"))

    kb = Ratio(poll.get("BM_Keyboard_Quillmar", {}), poll.get("BM_Keyboard_Glfw3", {}))
    rows.append(("Polling", "KeyboardManager::Step vs 157 glfwGetKey",
                 "%.0f ns" % (kb.mine * 1e9) if kb.ok() else "n/a",
                 "%.0f ns" % (kb.ref * 1e9) if kb.ok() else "n/a", kb, 1.2, verdict(kb, 1.2)))

    fr = Ratio(frame_runs["quillmar"], frame_runs["bare"], "real_time")
    fps = lambda t: "%.0f frames/s" % (1 / t) if t else "n/a"
    rows.append(("Frame cycle", "BeginFrame+EndFrame vs bare GLFW 3 loop, wall clock",
                 fps(fr.mine), fps(fr.ref), fr, 1.05, verdict(fr, 1.05)))
    def cg_ratio(mine, ref):
        as_runs = lambda tag: {i: {"cpu_time": c[0], "time_unit": "s"}
                               for i, c in enumerate(cg[tag])}
        return Ratio(as_runs(mine), as_runs(ref), digits=3)

    instructions = cg_ratio("quillmar", "bare")
    missed = verdict(instructions, 1.05)
    rows.append(("Frame cycle", "BeginFrame+EndFrame vs bare GLFW 3 loop, instructions (callgrind)",
                 "%.0f instr/frame" % cg["quillmar"][0][0], "%.0f instr/frame" % cg["bare"][0][0],
                 instructions, 1.05,
                 missed + (" (see Frame cycle)" if "missed" in missed else "")))

    clear_ratio = cg_ratio("quillmar_clear", "bare_clear")
    rows.append(("Frame cycle", "the same, both loops clearing colour and depth, instructions",
                 "%.0f instr/frame" % cg["quillmar_clear"][0][0],
                 "%.0f instr/frame" % cg["bare_clear"][0][0], clear_ratio, None,
                 "(for information)"))

    for what, mine, ref, value in sprite_bench.summary_rows(sprites):
        rows.append(("Sprites", what, mine, ref, FixedRatio(value), 1.0,
                     "met" if value <= 1.0 else "**missed**"))

    for area, what, mine, ref, ratio, target, v in rows:
        say("%-12s %-66s %s  (target %s: %s)" % (area, what, ratio.text(),
                                                 "<= %.2f" % target if target else "-", v))

    write_report(args, locals())


# [SECTION] results.md

def machine_facts(build):
    cpu = "unknown"
    for line in open("/proc/cpuinfo"):
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
    cache = {}
    for line in open(os.path.join(build, "CMakeCache.txt")):
        m = re.match(r"(CMAKE_CXX_COMPILER|CMAKE_CXX_FLAGS|CMAKE_CXX_FLAGS_RELEASE|"
                     r"CMAKE_BUILD_TYPE):\w+=(.*)", line)
        if m:
            cache[m.group(1)] = m.group(2).strip()
    compiler = run([cache.get("CMAKE_CXX_COMPILER", "c++"), "--version"]).splitlines()[0]

    def flags_of(target_dir):
        path = os.path.join(build, target_dir, "flags.make")
        for line in open(path):
            if line.startswith("CXX_FLAGS"):
                return line.split("=", 1)[1].strip()
        return "?"

    versions = {}
    for pkg in ("libglfw3", "libglm-dev", "libbenchmark-dev", "valgrind", "libgl1-mesa-dri"):
        versions[pkg] = run(["dpkg-query", "-W", "-f=${Version}", pkg], check=False) or "?"
    return {
        "cpu": cpu, "cores": os.cpu_count(), "kernel": platform.release(),
        "compiler": compiler, "build_type": cache.get("CMAKE_BUILD_TYPE", "?"),
        "lib_flags": flags_of("CMakeFiles/QuillmarObjects.dir"),
        "bench_flags": flags_of("bench/CMakeFiles/bench_math.dir"), "versions": versions,
    }


def write_report(args, v):
    m = machine_facts(args.build)
    math, poll, cg, rows = v["math"], v["poll"], v["cg"], v["rows"]
    reps, before = v["reps"], v["before"]
    L = []
    add = L.append
    add("# Benchmark results")
    add("")
    add("Written by `tools/run-bench.sh` (which runs `bench/run_bench.py`); every figure below "
        "comes from that one run. Ratios are Quillmar's time over the reference's time "
        "(below 1: Quillmar is faster), the median over %d repetitions run side by side, "
        "with the lowest and highest repetition in brackets." % reps)
    add("")
    add("## Machine")
    add("")
    add("| | |")
    add("|---|---|")
    add("| date (UTC) | %s to %s |" % (v["started"].strftime("%Y-%m-%d %H:%M"),
                                     v["finished"].strftime("%H:%M")))
    add("| CPU | %s, %d cores (shared; load average %.2f at the start) |"
        % (m["cpu"], m["cores"], v["load_start"][0]))
    add("| kernel | Linux %s |" % m["kernel"])
    add("| compiler | %s |" % m["compiler"])
    add("| library flags | `%s` (%s build) |" % (m["lib_flags"], m["build_type"]))
    add("| benchmark flags | `%s` |" % m["bench_flags"])
    for line in v["info"].splitlines():
        key, _, value = line.partition(": ")
        add("| %s | %s |" % (key, value))
    add("| packages | %s |" % ", ".join("%s %s" % kv for kv in m["versions"].items()))
    add("| display | private Xvfb (tools/with-display.sh), 24-bit, GLX |")
    add("")
    add("## Summary")
    add("")
    add("| Area | Comparison | Quillmar | Reference | Ratio | Target | |")
    add("|---|---|---|---|---|---|---|")
    for area, what, mine, ref, ratio, target, verdict in rows:
        add("| %s | %s | %s | %s | %s | %s | %s |" % (
            area, what, mine, ref, ratio.text(), "≤ %.2f" % target if target else "–", verdict))
    add("")

    # Culling
    add("## Culling")
    add("")
    add("The GLM side is what a GLM user writes: six `glm::vec4` planes and "
        "`dot(vec3(p), c) + p.w <= -r`, inlined into the loop. Both sides test the same planes "
        "(extracted once with `ExtractPlane` from a 60° perspective looking down −z) and the "
        "same spheres, and the program refuses to run unless both find the same visible set. "
        "Scattered: centres uniform in a box around the frustum, radii 0.5–20, about 43% "
        "visible, so which plane rejects varies from sphere to sphere. All visible: every "
        "sphere inside, so every branch is predictable.")
    add("")
    add("Quillmar's test is defined inline in `ViewFrustum.h`, so it is compiled into the "
        "game's loop like GLM's: `FrustumCheck` reads the object's planes in place, and an "
        "inlined `SphereInFrustum` needs no copy of the 96 bytes of planes it takes by value. "
        "It works in double precision, rounded to float once per plane, as designed, and "
        "computes the six distances two at a time in packed doubles and tests them "
        "together, without a branch per plane; GLM's loop leaves at the first rejecting "
        "plane, a branch that scattered spheres make unpredictable and visible spheres make "
        "free.")
    for name in ("FrustumCheck", "SphereInFrustum"):
        scattered = Ratio(math.get("BM_Cull_%s/100000/0" % name, {}),
                          math.get("BM_Cull_Glm/100000/0", {}))
        visible = Ratio(math.get("BM_Cull_%s/100000/1" % name, {}),
                        math.get("BM_Cull_Glm/100000/1", {}))
        if scattered.ok() and visible.ok():
            add("")
            add("- %s ÷ GLM, 100,000 spheres: %.2f scattered, %.2f all visible." % (
                name, scattered.median(), visible.median()))
    add("")

    # Vector math
    add("## Vector math")
    add("")
    add("Three columns per operation over 1,024 vectors: Quillmar as a game compiles it "
        "(the arithmetic is defined inline in `Vector3D.h`; `RotateAxis` is a call into the "
        "library), *inline*: the library's own arithmetic written out in the benchmark "
        "(double where the library widens, a float rounding where it stores, the scratch "
        "members written), compiled with the library's flags and checked bit-identical to "
        "the library before timing, and GLM. Quillmar ÷ inline is what remains of the call "
        "boundary (below 1 where the benchmark's flags vectorise what the library's flags "
        "keep scalar); inline ÷ GLM is the cost of the designed arithmetic.")
    add("")
    add("| Operation | Quillmar | inline | GLM | Quillmar ÷ GLM | call boundary | arithmetic |")
    add("|---|---|---|---|---|---|---|")
    for op, _, _ in VECTOR_OPS:
        q = math.get("BM_Vec_%s_Quillmar" % op, {})
        d = math.get("BM_Vec_%s_Designed" % op, {})
        g = math.get("BM_Vec_%s_Glm" % op, {})
        each = lambda runs: ("%.2f ns" % per_item_ns({"x": runs}, "x", 1024)) if runs else "n/a"
        add("| %s | %s | %s | %s | %s | %s | %s |" % (
            op, each(q), each(d), each(g), Ratio(q, g).text(), Ratio(q, d).text(),
            Ratio(d, g).text()))
    add("")
    add("Where the time goes:")
    add("")
    add("- Add, subtract, scale, dot, cross and normalise are inline: the game's compiler "
        "keeps them in registers and may vectorise across the loop, under its own flags. "
        "Their results stay those of the library's exported copies bit for bit (the "
        "`exactness` tests compare the two under -O2, -O3 -march=native, "
        "-ffp-contract=fast and forced vectorisation): single float operations round the "
        "same anywhere, products of two floats are exact in double, and each float product "
        "or float rounded from double passes an empty `asm` that keeps the compiler from "
        "fusing it into a following add or dropping its rounding. That barrier is why "
        "scale, dot and cross stay scalar where GLM's may be vectorised.")
    add("- `RotateAxis` stays out of line: its matrix entries multiply a double product by "
        "a third float, which is no longer exact, so a game compiled with "
        "-ffp-contract=fast could fuse it and change the last bit. It takes the sine and "
        "cosine in double (one `sincos` call, about 12 ns of its time), rounds each of the "
        "nine matrix entries to float, and writes the static scratch members `sinAngle` and "
        "`cosAngle`; GLM takes `sinf`/`cosf` of the half angle and applies a quaternion in "
        "float. It dominates the mix, which is why the mix stays above its target.")
    add("")

    # Polling
    add("## Polling")
    add("")
    add("`KeyboardManager::Step` makes its 157 calls of the GLFW 2.x `glfwGetKey`, which maps "
        "the 2.x key code to GLFW 3's through a table and reads the key state the interface "
        "keeps from GLFW 3's key events (as GLFW 3's own `glfwGetKey` reads the state GLFW "
        "keeps from the same events). The reference makes 157 direct GLFW 3 `glfwGetKey` "
        "calls on the same window (found with `glfwGetCurrentContext`) and keeps the same "
        "current and previous state.")
    add("")
    add("| Step (CPU time per call) | median |")
    add("|---|---|")
    for name, label in (("BM_Keyboard_Quillmar", "KeyboardManager::Step"),
                        ("BM_Keyboard_Glfw3", "157 direct glfwGetKey"),
                        ("BM_Step_Timer", "TimeManager::Step"),
                        ("BM_Step_Mouse", "MouseManager::Step"),
                        ("BM_Step_Joystick", "JoystickManager::Step"),
                        ("BM_BeginFrame", "BeginFrame (no clearing)")):
        t = per_item_ns(poll, name, 1)
        add("| %s | %s |" % (label, "%.0f ns" % t if t is not None else "n/a"))
    add("")

    # Frame cycle
    fr = v["frame_runs"]
    add("## Frame cycle")
    add("")
    add("Two programs, run alternately %d times (`bench_frame_quillmar` links the library; "
        "`bench_frame_glfw3` does not, since the two would share one GLFW 3 state): an 800 × "
        "600 window at (100, 50), RGB 8-8-8, 16 depth bits, not resizable, no multisampling, "
        "swap interval 0, and neither clears nor draws (the library's clear flags are off), "
        "so the difference is the library's per-frame work: the clock, 157 keys, the mouse, 8 "
        "joysticks. The bare loop is `glfwSwapBuffers` + `glfwPollEvents`; *GLFW 3 polling* "
        "adds what a GLFW 3 game would call for the same state (157 `glfwGetKey`, "
        "`glfwGetCursorPos`, `glfwGetWindowSize`, 3 `glfwGetMouseButton`, 8 × "
        "`glfwGetJoystickButtons` + `glfwGetJoystickAxes`, `glfwGetTime`)." % reps)
    add("")
    add("| Loop | frames/s (median of %d) | instructions/frame (callgrind, 2 runs) |" % reps)
    add("|---|---|---|")
    labels = [("bare", "bare GLFW 3 loop"), ("polling", "GLFW 3 polling the same state"),
              ("quillmar", "Quillmar BeginFrame + EndFrame")]
    if before:
        labels.append(("before", "Quillmar, library at %s" % args.before_label))
    labels += [("bare_clear", "bare loop clearing colour and depth"),
               ("quillmar_clear", "Quillmar with its default clearing")]
    for tag, label in labels:
        times = [seconds(b, "real_time") for b in fr.get(tag, {}).values()]
        add("| %s | %s | %s |" % (label, "%.0f" % (1 / statistics.median(times)) if times
                                  else "(callgrind only)",
                                  " / ".join("%.0f" % c[0] for c in cg[tag])))
    add("")
    q_funcs = cg["quillmar"][0][1]
    add("Inside Quillmar's frame (callgrind, inclusive instructions per frame):")
    add("")
    add("| Function | instructions/frame |")
    add("|---|---|")
    for fn in ("RenderingManager::BeginFrame()", "TimeManager::Step()", "KeyboardManager::Step()",
               "glfw2::glfwGetKey(int)", "glfwGetKey", "MouseManager::Step()",
               "JoystickManager::Step()", "RenderingManager::EndFrame()"):
        if fn in q_funcs:
            add("| `%s` | %.0f |" % (fn, q_funcs[fn]))
    add("")
    bare_i, poll_i, q_i = cg["bare"][0][0], cg["polling"][0][0], cg["quillmar"][0][0]
    add("On this display the bare frame costs the program only %.0f instructions: llvmpipe "
        "renders nothing, and the swap's copy to the window is done by the X server, not in "
        "this process. Against so small a frame no loop that polls the keyboard key by key "
        "can stay within 5%% in instructions: GLFW 3 polling of the same state adds %.0f "
        "instructions (%+.0f%%), Quillmar adds %.0f (%+.0f%%). In wall-clock time, where the X "
        "server's work counts, Quillmar's frame takes %.2f times the bare loop's and GLFW 3 "
        "polling's %.2f times. As soon as the frame does work of its own the share shrinks: "
        "with both loops clearing their colour and depth buffers (the library's default), "
        "Quillmar's frame costs %.4f times the bare loop's instructions."
        % (bare_i, poll_i - bare_i, (poll_i / bare_i - 1) * 100, q_i - bare_i,
           (q_i / bare_i - 1) * 100,
           Ratio(fr["quillmar"], fr["bare"], "real_time").median(),
           Ratio(fr["polling"], fr["bare"], "real_time").median(),
           cg["quillmar_clear"][0][0] / cg["bare_clear"][0][0]))
    add("")

    if before:
        add("## Before and after")
        add("")
        add("The same benchmark programs, run in this same session against the %s library "
            "(`--before-lib`, through `LD_LIBRARY_PATH`) and against the current one; the "
            "culling and vector rows come from the same benchmark program built against the "
            "%s headers and library (`--before-math`), since what the headers define inline "
            "is compiled into the benchmark." % (args.before_label, args.before_label))
        add("")
        add("| Comparison | %s | now | target |" % args.before_label)
        add("|---|---|---|---|")
        mb = v["math_before"]
        for name in ("FrustumCheck", "SphereInFrustum"):
            for n, layout in ((100000, 0), (1000000, 0), (100000, 1)):
                key = "BM_Cull_%s/%d/%d" % (name, n, layout)
                ref = "BM_Cull_Glm/%d/%d" % (n, layout)
                add("| %s ÷ GLM, %s %s | %s | %s | ≤ 1.00 |" % (
                    name, format(n, ","), "scattered" if layout == 0 else "all visible",
                    Ratio(mb.get(key, {}), mb.get(ref, {})).text(),
                    Ratio(math.get(key, {}), math.get(ref, {})).text()))
        for op, what, target in VECTOR_OPS:
            key, ref = "BM_Vec_%s_Quillmar" % op, "BM_Vec_%s_Glm" % op
            add("| %s ÷ GLM | %s | %s | %s |" % (
                what, Ratio(mb.get(key, {}), mb.get(ref, {})).text(),
                Ratio(math.get(key, {}), math.get(ref, {})).text(),
                "≤ %.2f" % target if target else "–"))
        before_rot = per_item_ns(mb, "BM_Vec_RotateAxis_Quillmar", 1024)
        now_rot = per_item_ns(math, "BM_Vec_RotateAxis_Quillmar", 1024)
        if before_rot and now_rot:
            add("| RotateAxis, ns per vector | %.2f | %.2f | no slower |" % (before_rot, now_rot))
        pb = v["poll_before"]
        add("| KeyboardManager::Step ÷ 157 glfwGetKey | %s | %s | ≤ 1.20 |" % (
            Ratio(pb.get("BM_Keyboard_Quillmar", {}), pb.get("BM_Keyboard_Glfw3", {})).text(),
            Ratio(poll.get("BM_Keyboard_Quillmar", {}), poll.get("BM_Keyboard_Glfw3", {})).text()))
        add("| frame ÷ bare loop, wall clock | %s | %s | ≤ 1.05 |" % (
            Ratio(fr["before"], fr["bare"], "real_time").text(),
            Ratio(fr["quillmar"], fr["bare"], "real_time").text()))
        add("| frame ÷ bare loop, instructions | %.2f | %.2f | ≤ 1.05 |" % (
            cg["before"][0][0] / bare_i, q_i / bare_i))
        add("")

    L.extend(sprite_bench.section(v["sprites"], v["sprite_reps"]))
    L.extend(draw2d_bench.section(v["draw2d"], v["sprite_reps"]))
    add("## Method")
    add("")
    add("- Google Benchmark %s, `--benchmark_enable_random_interleaving`: the repetitions of "
        "all benchmarks of a program run in random order, so a comparison's two sides share "
        "the machine's conditions; ratios pair repetition *i* with repetition *i*. CPU time "
        "for the in-process comparisons, wall-clock time for the frame cycle. Debian's "
        "Google Benchmark library reports itself as a debug build; that concerns its own "
        "bookkeeping, not the timed code." % m["versions"].get("libbenchmark-dev", "?"))
    add("- Callgrind: `valgrind --tool=callgrind --collect-atstart=no "
        "--toggle-collect=qm_measured_frames` around %d frames after %d warm-up frames, with "
        "`LP_NUM_THREADS=0` so llvmpipe runs on the calling thread and the count repeats."
        % (v["cg_frames"], 200))
    add("- The machine is shared with other work; wall-clock ratios carry that noise, which "
        "the spread shows. Instruction counts do not.")
    add("")
    with open(args.out, "w") as f:
        f.write("\n".join(L))
    print("wrote %s" % args.out)


if __name__ == "__main__":
    main()
