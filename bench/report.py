#!/usr/bin/env python3
"""Turns the benchmark's JSON output into the tables of docs/benchmarks.md.

Usage: report.py RESULTS.json [--chart FILE.png] [--compare OTHER.json LABEL]
--compare adds OTHER's scaling figures to the chart as dashed lines, named LABEL
(for example the same benchmark built with a proposed change).
Reads the median rows when the run had repetitions, the plain rows otherwise.
Prints Markdown tables (one-shot and "=" against muparser with ratios, scaling in
ns per character, key commands per key, the correctly rounded functions against
glibc's) and a verdict line per target.
"""
import json
import os
import subprocess
import sys

SIZES = [1000, 10000, 100000, 1000000]
SHAPES = ["sum", "product", "nested", "long_number"]
EXPRESSIONS = [
    ("simple", "`2+3*4`"),
    ("sqrt", "`sqrt(5^2+7^2+11^2+(8-2)^2)`"),
    ("trig_log", "`sin(0.5)*cos(0.25)+ln(10)/lg(2)`"),
    ("nested72", "72-character nested constant expression"),
    ("sum20k", "sum of 19,999 characters"),
]
UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(path):
    with open(path) as f:
        data = json.load(f)
    rows = {}
    has_median = any(b.get("aggregate_name") == "median" for b in data["benchmarks"])
    for b in data["benchmarks"]:
        if has_median and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"]).replace("/manual_time", "")
        rows[name] = b
    return data.get("context", {}), rows


def time_ns(row):
    """CPU time per iteration: other processes on the machine do not inflate it."""
    return row["cpu_time"] * UNIT_NS[row.get("time_unit", "ns")]


def fmt_time(ns):
    if ns >= 1e6:
        return "%.2f ms" % (ns / 1e6)
    if ns >= 1e3:
        return "%.1f µs" % (ns / 1e3)
    return "%.0f ns" % ns


def one_shot_table(rows, out, verdicts):
    out.append('| expression | chars | ours one-shot | muparser | ratio | ours "=" | ratio "=" |')
    out.append("|---|---:|---:|---:|---:|---:|---:|")
    worst = 0.0
    for key, label in EXPRESSIONS:
        ours = rows.get("oneshot/ours/" + key)
        theirs = rows.get("oneshot/muparser/" + key)
        equals = rows.get("equals/ours/" + key)
        if not (ours and theirs and equals):
            continue
        o, t, e = time_ns(ours), time_ns(theirs), time_ns(equals)
        worst = max(worst, o / t)
        out.append("| %s | %d | %s | %s | %.3f | %s | %.3f |" % (
            label, int(ours.get("chars", 0)), fmt_time(o), fmt_time(t), o / t, fmt_time(e), e / t))
    verdicts.append(("one-shot at most 0.1 of muparser on every expression",
                     "worst ratio %.3f" % worst, worst <= 0.1))


def scaling_table(rows, out, verdicts):
    out.append("| shape | " + " | ".join("10^%d" % len(str(s)[1:]) for s in SIZES) +
               ' | max/min | "=" at 10^6 |')
    out.append("|---|" + "---:|" * (len(SIZES) + 2))
    chart = {}
    worst_spread, worst_total = 0.0, 0.0
    for shape in SHAPES:
        per_char = []
        for size in SIZES:
            row = rows.get("scaling/%s/%d" % (shape, size))
            per_char.append(row["per_char"] * 1e9 if row and "per_char" in row else None)
        known = [v for v in per_char if v]
        if not known:
            continue
        chart[shape] = per_char
        spread = max(known) / min(known)
        worst_spread = max(worst_spread, spread)
        total = (per_char[-1] or 0) * SIZES[-1]
        worst_total = max(worst_total, total)
        out.append("| %s | %s | %.2f | %s |" % (
            shape, " | ".join("%.1f ns" % v if v else "–" for v in per_char), spread,
            fmt_time(total)))
    verdicts.append(('"=" on 10^6 characters under 100 ms', "slowest %s" % fmt_time(worst_total),
                     worst_total < 100e6))
    verdicts.append(("ns per character within 1.5x from 10^3 to 10^6",
                     "worst max/min %.2f" % worst_spread, worst_spread <= 1.5))
    return chart


CRMATH = ["sin", "cos", "tan", "asin", "acos", "atan", "sinh", "cosh", "tanh", "asinh",
          "acosh", "atanh", "cbrt", "lg", "ln", "exp", "pow"]


def crmath_table(rows, out, verdicts):
    out.append("| function | ours | glibc | ratio | accurate path, slowest |")
    out.append("|---|---:|---:|---:|---:|")
    worst, worst_name = 0.0, ""
    for name in CRMATH:
        ours, glibc = rows.get("crmath/ours/" + name), rows.get("crmath/glibc/" + name)
        accurate = rows.get("crmath/accurate/%s/iterations:2" % name)
        if not (ours and glibc):
            continue
        o, g = time_ns(ours), time_ns(glibc)
        if o / g > worst:
            worst, worst_name = o / g, name
        slowest = "%.1f µs" % accurate["slowest_us"] if accurate and "slowest_us" in accurate else "–"
        out.append("| %s | %.1f ns | %.1f ns | %.2f | %s |" % (name, o, g, o / g, slowest))
    if worst:
        verdicts.append(("each function at most 2x glibc's time", "worst %.2f (%s)" % (worst, worst_name),
                         worst <= 2))


def keys_table(rows, out):
    names = [
        ("random", "random keys (no \"=\", \"AC\", \"mr\", \"Rand\", \"±\"): sequence length"),
        ("random_recorded", "the same keys, each recorded for undo: sequence length"),
        ("random_with_sign", "the same with \"±\": sequence length"),
        ("digit_backspace", "\"5\" then \"⌫\" on a sum of length"),
        ("point_backspace", "\".\" then \"⌫\" on a sum of length"),
        ("point_backspace_one_number", "\".\" then \"⌫\" on one number of length"),
        ("sign_twice", "\"±\" twice on a sum of length"),
        ("memory_add", "\"m+\" on a sum of length"),
    ]
    out.append("| per key | " + " | ".join("10^%d" % len(str(s)[1:]) for s in SIZES) + " |")
    out.append("|---|" + "---:|" * len(SIZES))
    for key, label in names:
        cells = []
        for size in SIZES:
            row = rows.get("keys/%s/%d" % (key, size))
            cells.append("%s" % fmt_time(row["per_key"] * 1e9) if row and "per_key" in row else "–")
        out.append("| %s | %s |" % (label, " | ".join(cells)))
    ratios = []
    for size in SIZES:
        bare, recorded = rows.get("keys/random/%d" % size), rows.get("keys/random_recorded/%d" % size)
        if bare and recorded and "per_key" in bare and "per_key" in recorded:
            ratios.append(recorded["per_key"] / bare["per_key"])
    if ratios:
        out.append("")
        out.append("Recorded for undo against the bare command, per key: " +
                   ", ".join("%.2f" % r for r in ratios) + " (10^3 .. 10^6).")
    out.append("")
    out.append("| what one step keeps on 10^6 characters | bytes |")
    out.append("|---|---:|")
    for key, label in [("digit", "a digit"), ("equals", "\"=\" (old text and history entry)"),
                       ("clear", "\"AC\""), ("sign", "\"±\"")]:
        row = rows.get("undo_cost/%s/1000000/iterations:3" % key)
        out.append("| %s | %s |" % (label, "%d" % row["step_bytes"] if row and "step_bytes" in row else "–"))
    out.append("")
    out.append("| \"=\" on 10^6 characters | bare | recorded | ratio |")
    out.append("|---|---:|---:|---:|")
    for shape in SHAPES:
        bare = rows.get("scaling/%s/1000000" % shape)
        recorded = rows.get("scaling_recorded/%s/1000000" % shape)
        if bare and recorded:
            out.append("| %s | %s | %s | %.2f |" % (shape, fmt_time(bare["real_time"] * 1e3),
                       fmt_time(recorded["real_time"] * 1e3), recorded["real_time"] / bare["real_time"]))


def scaling_series(rows):
    chart = {}
    for shape in SHAPES:
        series = []
        for size in SIZES:
            row = rows.get("scaling/%s/%d" % (shape, size))
            series.append(row["per_char"] * 1e9 if row and "per_char" in row else None)
        if any(series):
            chart[shape] = series
    return chart


def chart_png(chart, path, other=None, other_label=""):
    """Draws the scaling figure as ImageMagick vector commands and renders a PNG."""
    width, height, left, right, top, bottom = 680, 380, 70, 190, 36, 50
    every = list(chart.values()) + list((other or {}).values())
    top_value = max(v for series in every for v in series if v) * 1.15
    colours = {"sum": "#1f77b4", "product": "#ff7f0e", "nested": "#2ca02c",
               "long_number": "#d62728"}

    def x_of(i):
        return left + i * (width - left - right) / (len(SIZES) - 1)

    def y_of(v):
        return height - bottom - v / top_value * (height - top - bottom)

    mvg = ["viewbox 0 0 %d %d" % (width, height),
           "fill white rectangle 0,0 %d,%d" % (width, height),
           "font DejaVu-Sans", "font-size 13", "stroke none", "fill black",
           "text %d,20 '\"=\" time per character, by length of the expression'" % left,
           "font-size 11"]
    step = 10 if top_value > 40 else 5
    v = 0
    while v <= top_value:
        y = y_of(v)
        mvg.append("stroke #dddddd line %d,%.1f %d,%.1f" % (left, y, width - right, y))
        mvg.append("stroke none fill black text %d,%.1f '%3d ns'" % (left - 44, y + 4, v))
        v += step
    for i, size in enumerate(SIZES):
        mvg.append("stroke none fill black text %.1f,%d '10^%d chars'" %
                   (x_of(i) - 26, height - bottom + 20, len(str(size)) - 1))
    mvg.append("stroke black line %d,%d %d,%d" % (left, height - bottom, width - right,
                                                  height - bottom))
    mvg.append("stroke black line %d,%d %d,%d" % (left, top, left, height - bottom))
    for n, (shape, series) in enumerate(chart.items()):
        colour = colours.get(shape, "black")
        points = [(x_of(i), y_of(v)) for i, v in enumerate(series) if v]
        mvg.append("fill none stroke %s stroke-width 2 polyline %s" %
                   (colour, " ".join("%.1f,%.1f" % p for p in points)))
        for x, y in points:
            mvg.append("stroke none fill %s circle %.1f,%.1f %.1f,%.1f" % (colour, x, y, x + 3, y))
        ly = top + 20 + 20 * n
        mvg.append("stroke %s stroke-width 2 line %d,%d %d,%d" %
                   (colour, width - right + 15, ly, width - right + 35, ly))
        mvg.append("stroke none fill black text %d,%d '%s'" % (width - right + 40, ly + 4, shape))
        mvg.append("stroke-width 1")
    for n, (shape, series) in enumerate((other or {}).items()):
        colour = colours.get(shape, "black")
        points = [(x_of(i), y_of(v)) for i, v in enumerate(series) if v]
        mvg.append("push graphic-context stroke-dasharray 6 4")
        mvg.append("fill none stroke %s stroke-width 2 polyline %s" %
                   (colour, " ".join("%.1f,%.1f" % p for p in points)))
        mvg.append("pop graphic-context")
    if other:
        ly = top + 20 + 20 * len(chart) + 10
        mvg.append("push graphic-context stroke-dasharray 6 4")
        mvg.append("stroke black stroke-width 2 line %d,%d %d,%d" %
                   (width - right + 15, ly, width - right + 35, ly))
        mvg.append("pop graphic-context")
        mvg.append("stroke none fill black text %d,%d '%s'" % (width - right + 40, ly + 4,
                                                              other_label))
    mvg_path = path + ".mvg"
    with open(mvg_path, "w") as f:
        f.write("\n".join(mvg) + "\n")
    convert = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
    try:
        subprocess.run([convert, "mvg:" + mvg_path, "png:" + path], check=True)
    except (OSError, subprocess.CalledProcessError):
        print("(no chart: ImageMagick's convert could not draw %s)" % mvg_path, file=sys.stderr)


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    context, rows = load(argv[1])
    out, verdicts = [], []
    out.append("One-shot (tokenize + to_postfix + evaluate_postfix + format_result) and the whole")
    out.append('"=" command, against muparser (SetExpr + Eval + %.12g); ratio = ours / muparser:')
    out.append("")
    one_shot_table(rows, out, verdicts)
    out.append("")
    out.append('"=" on long expressions, ns per character (max/min: the spread over the sizes):')
    out.append("")
    chart = scaling_table(rows, out, verdicts)
    out.append("")
    out.append("Key commands, time per key:")
    out.append("")
    keys_table(rows, out)
    out.append("")
    out.append("Correctly rounded functions against glibc's, time per call on random arguments of")
    out.append("the main domain; the accurate path's slowest call on 64 of them and a hard place:")
    out.append("")
    crmath_table(rows, out, verdicts)
    out.append("")
    for what, figure, met in verdicts:
        out.append("- %s: %s, %s" % (what, figure, "met" if met else "MISSED"))
    print("\n".join(out))
    if "--chart" in argv and chart:
        other, label = None, ""
        if "--compare" in argv:
            at = argv.index("--compare")
            other = scaling_series(load(argv[at + 1])[1])
            label = argv[at + 2] if len(argv) > at + 2 else "compared"
        chart_png(chart, argv[argv.index("--chart") + 1], other, label)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
