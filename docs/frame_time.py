#!/usr/bin/python3
"""Where the time of one frame goes: the default lens over a 1920 x 1080
frame through the test host and the full-edition module, one core.

Times come from gw_bench (best of ROUNDS runs on core $CORE, 1 unless
set): the whole render through the module (BM_HostDefaultLens) and the lens
drawn alone into a frame (BM_DefaultLensDrawn, whose profiles are kept from one iteration to
the next). The drawing is split between the elements, and the profiles the
module builds each frame (which the drawing alone keeps) are told apart,
by their shares of the render command's instructions under callgrind; what
is left of the module's time is the copying of frames by the host and the
module. The split is an estimate: an instruction is not the same time
everywhere.

    /usr/bin/python3 docs/frame_time.py build/bench/gw_bench [ROUNDS]

writes docs/frame_time.png (Debian's python3-matplotlib, valgrind).
"""
import os
import re
import subprocess
import sys
import tempfile

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
RENDER = "gw::RenderFrame(gw::EditionTable const&, PF_InData&, PF_OutData&, PF_ParamDef**, PF_LayerDef&)"
HOST = "BM_HostDefaultLens/w:1920/h:1080/samples:0$"
DRAWN = "BM_DefaultLensDrawn/w:1920/h:1080$"


def best_ms(program, name, rounds):
    """The best CPU time of benchmark `name` over `rounds` runs, in ms."""
    best = None
    for _ in range(rounds):
        out = subprocess.run(
            ["taskset", "-c", os.environ.get("CORE", "1"), program, "--benchmark_filter=" + name,
             "--benchmark_min_time=0.3", "--benchmark_format=csv"],
            capture_output=True, text=True, check=True).stdout
        for line in out.splitlines():
            if line.startswith('"BM_'):
                fields = line.split(",")
                scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[fields[4].strip('"')]
                ms = float(fields[3]) * scale
                best = ms if best is None else min(best, ms)
    return best


def inclusive_instructions(program):
    """Inclusive instruction counts of one render command, by function."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "cg.out")
        subprocess.run(
            ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out,
             "--toggle-collect=" + RENDER, "--collect-atstart=no", program,
             "--benchmark_filter=" + HOST, "--benchmark_min_time=0"],
            capture_output=True, check=True)
        text = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--threshold=100", out],
                              capture_output=True, text=True, check=True).stdout
    counts = {}
    for line in text.splitlines():
        m = re.match(r"\s*([\d,]+) \(.*?\)\s+\S*?:(gw::[^(]+)\(", line)
        if m:
            counts.setdefault(m.group(2), int(m.group(1).replace(",", "")))
    return counts


def main():
    program = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    counts = inclusive_instructions(program)
    host_ms = best_ms(program, HOST, rounds)
    drawn_ms = best_ms(program, DRAWN, rounds)

    drawing = counts["gw::DrawLens"]
    profiles = counts.get("gw::ProfileStore::Built", 0)
    elements = {name[len("gw::Render"):]: n for name, n in counts.items()
                if re.fullmatch(r"gw::Render[A-Z]\w*", name) and name != "gw::RenderFrame"}
    ms_per_instruction = drawn_ms / (drawing - profiles)
    # An element's bar holds the profiles its stamps build, which the module
    # builds again in every frame and the drawing alone keeps: they are
    # shown again on their own.
    profile_ms = profiles * ms_per_instruction
    parts = [(f"{name} drawn", n * ms_per_instruction) for name, n in
             sorted(elements.items(), key=lambda item: -item[1])]
    parts.append(("profiles built (in the bars above)", profile_ms))
    parts.append(("frames copied (host and module)", max(0.0, host_ms - drawn_ms - profile_ms)))

    labels = [label for label, _ in parts][::-1]
    values = [ms for _, ms in parts][::-1]
    fig, ax = plt.subplots(figsize=(7.5, 3.4), dpi=100)
    bars = ax.barh(labels, values, color=["#7f7f7f", "#d62728"] + ["#1f77b4"] * len(elements))
    for bar, ms in zip(bars, values):
        ax.text(bar.get_width() + 0.03, bar.get_y() + bar.get_height() / 2, f"{ms:.2f} ms",
                va="center", fontsize=9)
    ax.set_xlabel("ms of one core")
    ax.set_xlim(0, max(values) * 1.25)
    ax.set_title(f"Default lens, 1920 x 1080, one core: {host_ms:.2f} ms through the module,\n"
                 f"{drawn_ms:.2f} ms drawn alone (shares of the drawing by instruction count)",
                 fontsize=10)
    fig.tight_layout()
    target = os.path.join(HERE, "frame_time.png")
    fig.savefig(target)
    for label, ms in parts:
        print(f"{label:36s} {ms:6.2f} ms")
    print(f"through the module {host_ms:.2f} ms, drawn {drawn_ms:.2f} ms -> {target}")


if __name__ == "__main__":
    main()
