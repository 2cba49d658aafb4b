#!/usr/bin/env python3
"""Renders the figures section of docs/benchmarks.md from bench/run_all.sh's JSON.

render_benchmarks.py RESULTS_DIR DOC

Replaces everything between the markers "<!-- figures:begin -->" and
"<!-- figures:end -->" in DOC; a file that is missing leaves its table out
with a note, so a partial run still renders.
"""
import json
import os
import sys

BEGIN = "<!-- figures:begin -->"
END = "<!-- figures:end -->"
TARGET_OUTSIDE_COPY = 600  # adaptor + host, outside the pixel copy


def load(directory, name):
    path = os.path.join(directory, name)
    if not os.path.exists(path):
        return None
    try:
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError) as error:
        print(f"{path}: {error}; its table is left out", file=sys.stderr)
        return None


def benchmarks(doc):
    return [b for b in (doc or {}).get("benchmarks", []) if not b.get("error_occurred")]


def us(ns):
    return f"{ns / 1000:,.1f} µs" if ns >= 1000 else f"{ns:,.0f} ns"


def spread(b, name):
    return f"**{b[name]:.3f}** ({b[name + '_q1']:.3f}-{b[name + '_q3']:.3f}; {b[name + '_min']:.2f}-{b[name + '_max']:.2f})"


def case_name(b):
    return b["name"].split("/")[1].replace("_", " ")


def machine_section(m):
    if not m:
        return ["Machine: not recorded (machine.json missing)."]
    virt = f", {m['virtualisation']} guest" if m.get("virtualisation") else ""
    load = f"load average {m['load_before'][0]:.1f} before"
    if "load_after" in m:
        load += f", {m['load_after'][0]:.1f} after"
    return [
        f"Machine: {m['processors']} processors of {m['cpu']}{virt}, {m['memory_gib']} GiB; "
        f"{m['system']}, Linux {m['kernel']}; {m['compiler']}; {m['libc']}; {m['valgrind']}; "
        f"{m['build_type']} build. Taken {m['date']}, {load} (on {m['processors']} processors).",
    ]


def delivery_table(runs):
    lines = [
        "| Case | Run | Adaptor | Fair limit | Single destination | Destinations | Ratio to fair limit | Ratio to single | Flag |",
        "|---|---|---|---|---|---|---|---|---|",
    ]
    by_case = {}
    for number, doc in runs:
        for b in benchmarks(doc):
            by_case.setdefault(case_name(b), []).append((number, b))
    agreement = []
    for case, entries in by_case.items():
        for number, b in entries:
            flag = "spread > ±5 %" if b.get("ratio_fair_unsteady") else ""
            lines.append(
                f"| {case} | {number} | {us(b['adaptor_ns'])} | {us(b['fair_ns'])} | {us(b['single_ns'])} "
                f"| {b['destinations']:.0f} (up to {b['destinations_max']:.0f}) | {spread(b, 'ratio_fair')} "
                f"| {spread(b, 'ratio_single')} | {flag} |"
            )
        if len(entries) == 2:
            (_, a), (_, b) = entries
            overlap = a["ratio_fair_q1"] <= b["ratio_fair_q3"] and b["ratio_fair_q1"] <= a["ratio_fair_q3"]
            agreement.append(f"{case}: {'agree' if overlap else 'DISAGREE'}")
    lines.append("")
    lines.append(
        "Ratios are the adaptor's rate over the baseline's: median of "
        f"{int(runs[0][1]['benchmarks'][0]['pairs']) if runs and benchmarks(runs[0][1]) else '?'} pairs, "
        "(interquartile range; extremes). Times are per frame, medians over the rounds."
    )
    if agreement:
        lines.append("Two runs agree when their interquartile ranges of the fair ratio overlap: " + "; ".join(agreement) + ".")
    return lines


def per_frame(value, frames):
    """A whole count as it is; a fraction as the count over the frames ("1 in 29 frames")."""
    if value == int(value):
        return f"{value:g}"
    return f"{round(value * frames):g} in {frames} frames"


def counts_table(first, second):
    lines = [
        "| Case | Pixel copy | Adaptor | Host runtime (in listener + host thread) | Camera library | Outside the copy, adaptor + host | Allocations per frame (malloc / operator new) |",
        "|---|---|---|---|---|---|---|",
    ]
    counted = first["frames"] - 2
    for case in first["cases"]:
        f = case["per_frame"]
        outside = f["outside_copy_adaptor_and_host"]
        spread = case["range_over_frames"]["outside_copy_adaptor_and_host"]
        mark = "" if "region" in case["case"] else (" (target met)" if outside <= TARGET_OUTSIDE_COPY else " (over target)")
        lines.append(
            f"| {case['case']} | {f['copy']:,.0f} | {f['adaptor']:,.0f} | {f['host']:,.0f} "
            f"({f['host_in_listener']:,.0f} + {f['host_elsewhere']:,.0f}) | {f['camera']:,.0f} "
            f"({f['camera_in_listener']:,.0f} + {f['camera_elsewhere']:,.0f}) | {outside:,.0f} "
            f"({spread[0]:,.0f}-{spread[1]:,.0f}){mark} "
            f"| {per_frame(f['heap_allocations'], counted)} / {per_frame(f['operator_new'], counted)} |"
        )
    lines.append("")
    lines.append(
        f"Instructions per delivered frame, {first['size']} at a paced {first['fps']:g} fps, median over "
        f"{first['frames'] - 2} frames of each case (the first, with the stream's start, and the last, "
        "with its stop, left out)."
    )
    if second:
        differing = [a["case"] for a, b in zip(first["cases"], second["cases"]) if a["per_frame"] != b["per_frame"]]
        if differing:
            lines.append("A second run gave other medians for: " + ", ".join(differing) + ".")
        else:
            lines.append(
                "A second run gave the same medians to the instruction. The ranges over the frames (in brackets) "
                "can differ between runs: they show which of the two threads reached a shared lock first."
            )
    return lines


def counts_breakdown(first):
    lines = []
    for case in first["cases"]:
        if case["case"] not in ("Y800", "Y800-region"):
            continue
        calls = ", ".join(f"`{c['function']}` {c['ir']:,.0f}" for c in case["called_by_adaptor"][:8])
        lines.append(f"- {case['case']}, host and camera functions the listener calls (inclusive, per frame): {calls}.")
    return lines


def roi_table(doc):
    lines = ["| Window | Plain camera | Region camera | `region_read_ns` | Ratio to plain |", "|---|---|---|---|---|"]
    for b in benchmarks(doc):
        if "roi_ns" in b:
            lines.append(
                f"| {b.get('label', '')} | {us(b['plain_ns'])} | {us(b['roi_ns'])} | {us(b['region_read_ns'])} "
                f"| **{b['ratio_vs_plain']:.2f}** |"
            )
    reads = [b for b in benchmarks(doc) if b["name"].startswith("BM_RegionRead")]
    for b in reads:
        lines.append("")
        lines.append(f"`BM_RegionRead` ({b.get('label', '')}): {us(b['real_time'] * (1 if b['time_unit'] == 'ns' else 1000))} per read.")
    return lines


def cameras_table(scale):
    c = scale["cameras"]
    lines = [
        "| Cameras | Through the adaptor | Concurrent copies | Ratio | Streams overlapping |",
        "|---|---|---|---|---|",
    ]
    for row in c["cases"]:
        lines.append(
            f"| {row['cameras']} | {row['adaptor_fps']:,.0f} fps | {row['copy_fps']:,.0f} fps "
            f"| **{row['ratio']:.2f}** ({row['ratio_q1']:.2f}-{row['ratio_q3']:.2f}; {row['ratio_min']:.2f}-{row['ratio_max']:.2f}) "
            f"| {row.get('overlap', 1.0) * 100:.0f} % |"
        )
    lines.append("")
    lines.append(
        f"{c['format']}, free-running, {c['frames_per_camera_per_round']} frames per camera per round, "
        f"median of {c['cases'][0]['rounds']} alternating rounds (interquartile range; extremes). "
        "Aggregate frames per second: every stream's frames over the span from the first stream's first "
        "stamp to the last stream's last one. On fewer processors than streams the streams partly take "
        "turns; the last column is the share of the longest stream's time that all of them ran at once."
    )
    return lines


def properties_table(scale):
    p = scale["properties"]
    if "error" in p:
        return [f"Property figures missing: {p['error']}."]
    lines = ["| Items | Read | Write |", "|---|---|---|"]
    for row in p["cases"]:
        lines.append(
            f"| {row['items']:,} | {us(row['read_ns'])} ({us(row['read_q1'])}-{us(row['read_q3'])}) "
            f"| {us(row['write_ns'])} ({us(row['write_q1'])}-{us(row['write_q3'])}) |"
        )
    lines.append("")
    for kind in ("read", "write"):
        fit = p[kind + "_fit"]
        lines.append(
            f"- {kind.capitalize()}: {fit['intercept_ns'] / 1000:.1f} µs + {fit['slope_ns_per_item']:.0f} ns per item "
            f"(least squares, R² = {fit['r2']:.4f})."
        )
    lines.append(f"- Through `VideoInput::get` and `set` while the camera streams {p['stream']}; "
                 f"median of {p['rounds']} rounds (interquartile range).")
    return lines


def latency_table(scale):
    l = scale["latency"]
    if "error" in l:
        return [f"Latency figures missing: {l['error']}."]
    a, b = l["fill_to_adaptor_stamp"], l["fill_to_consumer"]
    return [
        "| From the camera's buffer fill to | p50 | p99 | max |",
        "|---|---|---|---|",
        f"| the adaptor's stamp (after the copy) | {a['p50_ms']:.2f} ms | {a['p99_ms']:.2f} ms | {a['max_ms']:.2f} ms |",
        f"| the host's consumer | {b['p50_ms']:.2f} ms | {b['p99_ms']:.2f} ms | {b['max_ms']:.2f} ms |",
        "",
        f"{l['format']}, paced at {l['fps']} fps (measured {l['measured_fps']:.1f}), {l['frames']} frames"
        + ("" if l.get("paired") else "; some frames were skipped or refused, so the pairs may be shifted") + ".",
    ]


def render(directory):
    machine = load(directory, "machine.json")
    runs = [(n, load(directory, f"frame_delivery_{n}.json")) for n in (1, 2)]
    runs = [(n, d) for n, d in runs if d]
    counts = [load(directory, f"counts_{n}.json") for n in (1, 2)]
    roi = load(directory, "roi_delivery.json")
    scale = load(directory, "scale.json")
    out = [BEGIN, "", "Generated by `bench/run_all.sh` from the JSON in its results folder; do not edit by hand.", ""]
    out += machine_section(machine) + [""]
    sections = [
        ("Whole frames, adaptor against the fair limit and the single-destination copy",
         delivery_table(runs) if runs else None),
        ("Per-frame counts under callgrind", (counts_table(counts[0], counts[1]) + [""] + counts_breakdown(counts[0]))
         if counts[0] else None),
        ("Region of interest, with and without the region read", roi_table(roi) if roi else None),
        ("Several cameras at once", cameras_table(scale) if scale else None),
        ("Property cost against the number of items", properties_table(scale) if scale else None),
        ("Latency at 60 frames per second", latency_table(scale) if scale else None),
    ]
    for title, body in sections:
        out += [f"### {title}", ""]
        out += body if body else ["Not measured in this run (its JSON is missing)."]
        out += [""]
    out.append(END)
    return "\n".join(out)


def main(argv):
    # render_benchmarks.py RESULTS PAGE [WRITTEN]: PAGE with its figures
    # section rendered from RESULTS, written to WRITTEN (default: PAGE itself).
    directory, doc = argv[1], argv[2]
    written = argv[3] if len(argv) > 3 else doc
    with open(doc, encoding="utf-8") as f:
        text = f.read()
    figures = render(directory)
    if BEGIN in text and END in text:
        head, rest = text.split(BEGIN, 1)
        tail = rest.split(END, 1)[1]
        text = head + figures + tail
    else:
        text = text.rstrip("\n") + "\n\n" + figures + "\n"
    with open(written, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main(sys.argv)
