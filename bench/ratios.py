#!/usr/bin/env python3
"""Prints the end-to-end benchmarks against their baselines, from the medians of one run.

Usage: ratios.py [bench-open.json]
"""
import json
import sys

# (what, baseline, most it may take as a multiple of the baseline)
TARGETS = [
    ("BM_OpenToShown/jpeg_48mp", "BM_BareDecode/jpeg_48mp", 1.3),
    ("BM_OpenToShown/png_48mp", "BM_BareDecode/png_48mp", 1.2),
    ("BM_ClickToPainted/48mp", "BM_CopySource/48mp", 3.0),
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


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "build/bench-open.json"
    with open(path, encoding="utf-8") as file:
        benchmarks = json.load(file)["benchmarks"]
    times = medians(benchmarks)
    missing = False
    for what, baseline, limit in TARGETS:
        if what not in times or baseline not in times:
            print(f"{what}: missing from {path}")
            missing = True
            continue
        ratio = times[what] / times[baseline]
        verdict = "within" if ratio <= limit else "OVER"
        print(f"{what} / {baseline}: {times[what]:.1f} / {times[baseline]:.1f} ms = "
              f"{ratio:.2f} ({verdict} {limit:g})")
    for run in benchmarks:
        if "peak_bytes_per_pixel" in run and run.get("run_type") != "aggregate":
            print(f"{run['run_name']}: peak {run['peak_bytes_per_pixel']:.2f} bytes per pixel")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
