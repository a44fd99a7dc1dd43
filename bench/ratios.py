#!/usr/bin/env python3
"""Prints the benchmarks against their baselines and limits, from the medians of one run.

Usage: ratios.py [bench-open.json [more.json ...]]
"""
import json
import sys

# (what, baseline, most it may take as a multiple of the baseline)
TARGETS = [
    ("BM_OpenToShown/jpeg_48mp", "BM_BareDecode/jpeg_48mp", 1.1),
    ("BM_OpenToShown/png_48mp", "BM_BareDecode/png_48mp", 1.2),
    ("BM_OpenToShown/jpeg_48mp_adobergb", "BM_BareDecode/jpeg_48mp_adobergb", 1.3),
    ("BM_OpenToShown/heic_12mp", "BM_BareDecode/heic_12mp", 1.2),
    ("BM_OpenToShown/avif_12mp", "BM_BareDecode/avif_12mp", 1.2),
    ("BM_OpenToShown/jxl_12mp", "BM_BareDecode/jxl_12mp", 1.2),
    ("BM_OpenToShown/dng_24mp", "BM_BareDecode/dng_24mp", 1.2),
    ("BM_SaveAllChannels/48mp", "BM_BareDecode/png_48mp", 3.0),
    ("BM_OpenToFirstSight/dng_24mp", "BM_BareDecode/dng_24mp", 0.3),
    ("BM_OpenToFirstSight/heic_12mp", "BM_BareDecode/heic_12mp", 0.3),
    ("BM_ClickToPainted/48mp", "BM_CopySource/48mp", 3.0),
    ("BM_Separate/width:8000/height:6000/real_time", "BM_Copy/width:8000/height:6000/real_time",
     None),
    ("BM_SeparateCounting/width:8000/height:6000/real_time",
     "BM_Copy/width:8000/height:6000/real_time", 1.3),
    ("BM_SeparateModel/cmy", "BM_CopySource/48mp", 1.0),
    ("BM_SeparateModel/ycbcr", "BM_CopySource/48mp", 1.2),
    ("BM_SeparateModel/hsv", "BM_CopySource/48mp", 2.5),
    ("BM_SeparateModel/hsl", "BM_CopySource/48mp", 2.5),
    ("BM_SeparateModel/lab", "BM_CopySource/48mp", 4.0),
    ("BM_SeparateModel/lab_adobergb", "BM_SeparateModel/lab", 1.5),
    ("BM_SeparateModel/cmyk", "BM_CopySource/48mp", 10.0),
]

# A frame of all four views, at every zoom level, must stay under this many ms.
FRAME_LIMIT_MS = 8.0

# (what, most it may take in ms)
ABSOLUTE = [
    ("BM_ModelSwitchToPainted/48mp", 500.0),
    ("BM_ModelSwitchToPainted/48mp_cmyk", 1000.0),
]

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def real_ms(run):
    return run["real_time"] * TO_MS[run["time_unit"]]


def medians(benchmarks):
    """Real time in ms by run name: the median of repetitions, or the one run there is."""
    found = {}
    for run in benchmarks:
        if run.get("run_type") == "aggregate":
            if run.get("aggregate_name") == "median":
                found[run["run_name"]] = real_ms(run)
        elif run.get("repetitions", 1) <= 1:
            found.setdefault(run["run_name"], real_ms(run))
    return found


def frames(times):
    """The frame medians by zoom level, and their median and worst."""
    levels = {name: ms for name, ms in times.items() if name.startswith("BM_FrameAllFourViews/")}
    if not levels:
        return
    ordered = sorted(levels.values())
    middle = ordered[len(ordered) // 2]
    worst_name = max(levels, key=levels.get)
    verdict = "within" if levels[worst_name] <= FRAME_LIMIT_MS else "OVER"
    print(f"one frame of all four views over {len(levels)} zoom levels: median {middle:.2f} ms, "
          f"worst {levels[worst_name]:.2f} ms at {worst_name} ({verdict} {FRAME_LIMIT_MS:g} ms)")


def main():
    paths = sys.argv[1:] or ["build/bench-open.json"]
    benchmarks = []
    # Each file's own medians: a baseline that several runs measure (the copy of the
    # source) is taken from the run that measured its target, under the same load.
    runs = []
    for path in paths:
        with open(path, encoding="utf-8") as file:
            run = json.load(file)["benchmarks"]
        benchmarks += run
        runs.append(medians(run))
    times = medians(benchmarks)
    missing = False
    for what, baseline, limit in TARGETS:
        same_run = next((run for run in runs if what in run and baseline in run), times)
        if what not in same_run or baseline not in same_run:
            print(f"{what}: missing from {', '.join(paths)}")
            missing = True
            continue
        ratio = same_run[what] / same_run[baseline]
        verdict = "" if limit is None else (" (within" if ratio <= limit else " (OVER") + f" {limit:g})"
        print(f"{what} / {baseline}: {same_run[what]:.1f} / {same_run[baseline]:.1f} ms = "
              f"{ratio:.2f}{verdict}")
    for what, limit in ABSOLUTE:
        if what not in times:
            print(f"{what}: missing from {', '.join(paths)}")
            missing = True
            continue
        verdict = "within" if times[what] <= limit else "OVER"
        print(f"{what}: {times[what]:.1f} ms ({verdict} {limit:g} ms)")
    frames(times)
    for run in benchmarks:
        if "peak_bytes_per_pixel" in run and run.get("run_type") != "aggregate":
            print(f"{run['run_name']}: peak {run['peak_bytes_per_pixel']:.2f} bytes per pixel")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
