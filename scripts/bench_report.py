#!/usr/bin/env python3
"""Runs kavrolin_bench and prints each benchmark beside its anchor.

Every benchmark is measured against a bare operation doing the same work (its
anchor) in the same run, so the ratio of the two means something on a busy or
slow machine where the absolute times do not. The bench files declare the pairs
(bench/anchor.h); they reach this script through the benchmark context of the
JSON output.

    bench_report.py [--repetitions N] [--min-time S] [--json-out FILE] BENCH [-- ARGS...]
    bench_report.py --check BENCH

The benchmark binary runs in a fresh temporary folder of its own; its live
progress goes to standard error and the table (markdown) to standard output.
Each figure is the median of the repetitions' real (wall-clock) times.
--check runs one cheap benchmark and fails when a benchmark has no anchor
declared, or a declaration names a benchmark or anchor that does not exist.

Uses the Python 3 standard library only.
"""

import argparse
import fnmatch
import json
import os
import platform
import statistics
import subprocess
import sys
import tempfile
import time

ANCHOR_PREFIX = "BM_Anchor_"
_TO_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


class ReportError(Exception):
    pass


# --- pairing ---------------------------------------------------------------

def declared_pairs(context):
    """(pattern, anchor, goal) for each declaration in the benchmark context."""
    pairs = []
    for key, anchor in context.items():
        if key.startswith("anchor:"):
            pattern = key[len("anchor:"):]
            pairs.append((pattern, anchor, context.get("goal:" + pattern, "")))
    return sorted(pairs)


def covers(pattern, run_name):
    """Whether a declared pattern covers a run: by fnmatch, itself or below it."""
    return fnmatch.fnmatchcase(run_name, pattern) or fnmatch.fnmatchcase(run_name, pattern + "/*")


def declaration_for(run_name, pairs):
    """The most specific (longest) declaration covering the run, or None."""
    matching = [p for p in pairs if covers(p[0], run_name)]
    if not matching:
        return None
    return max(matching, key=lambda p: (len(p[0]), p[0]))


# --- figures ---------------------------------------------------------------

def collect_runs(benchmarks):
    """run name -> {"times": [ns...], "error": str|None}, in the order the
    benchmarks are registered (interleaved repetitions arrive shuffled).

    Uses the repetitions themselves (not Google Benchmark's aggregates), so the
    same code serves one repetition or many."""
    runs, order = {}, {}
    for position, entry in enumerate(benchmarks):
        if entry.get("run_type", "iteration") != "iteration":
            continue
        name = entry.get("run_name", entry["name"])
        order.setdefault(name, (entry.get("family_index", position),
                                entry.get("per_family_instance_index", 0), position))
        run = runs.setdefault(name, {"times": [], "error": None})
        if entry.get("error_occurred"):
            run["error"] = entry.get("error_message", "failed")
            continue
        unit = entry.get("time_unit", "ns")
        if unit not in _TO_NS:
            raise ReportError("unknown time unit %r in %s" % (unit, name))
        run["times"].append(float(entry["real_time"]) * _TO_NS[unit])
    return {name: runs[name] for name in sorted(runs, key=order.get)}


def median(run):
    return statistics.median(run["times"]) if run and run["times"] else None


def spread(run):
    """Half the range of the repetitions, relative to their median."""
    m = median(run)
    if m is None or m == 0 or len(run["times"]) < 2:
        return None
    return (max(run["times"]) - min(run["times"])) / 2 / m


_OWN_UNITS = {"ns": 1.0, "us": 1e3, "ms": 1e6}


def goal_terms(goal):
    """{"ratio": X} or {"ratio": X, "own": ns} for a goal, {} for none.

    A goal is "ratio<=X", optionally followed by ",own<=N<ns|us|ms>": the
    benchmark's time less its anchor's may not pass N either."""
    if not goal:
        return {}
    terms = goal.split(",")
    if not terms[0].startswith("ratio<="):
        raise ReportError("goal %r is not ratio<=X with X a positive number" % goal)
    try:
        ratio = float(terms[0][len("ratio<="):])
    except ValueError:
        ratio = -1.0
    if not (ratio > 0 and ratio != float("inf")):
        raise ReportError("goal %r is not ratio<=X with X a positive number" % goal)
    result = {"ratio": ratio}
    for term in terms[1:]:
        own = None
        if term.startswith("own<=") and term[-2:] in _OWN_UNITS:
            try:
                own = float(term[len("own<="):-2]) * _OWN_UNITS[term[-2:]]
            except ValueError:
                own = None
        if own is None or not (own > 0 and own != float("inf")) or "own" in result:
            raise ReportError("goal %r: %r is not own<=N with N a positive time in ns, us or ms"
                              % (goal, term))
        result["own"] = own
    return result


def parse_goal(goal):
    """The largest ratio the goal allows, or None for no goal."""
    return goal_terms(goal).get("ratio")


def goal_met(goal, time_ns, anchor_ns):
    terms = goal_terms(goal)
    return time_ns / anchor_ns <= terms["ratio"] and time_ns - anchor_ns <= terms.get("own", time_ns)


# --- formatting ------------------------------------------------------------

def format_time(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return "%s %s" % (_three_digits(ns / scale), unit)
    return "%s ns" % _three_digits(ns)


def _three_digits(value):
    if value >= 100:
        return "%.0f" % value
    if value >= 10:
        return "%.1f" % value
    return "%.2f" % value


def format_ratio(ratio):
    if ratio >= 0.1:
        return "%.2f" % ratio
    return "1/%.0f" % (1 / ratio)


def format_goal(goal):
    terms = goal_terms(goal)
    value = terms["ratio"]
    text = "≤ " + (format_ratio(value) if value < 0.1 else "%g" % value)
    if "own" in terms:
        text += ", own ≤ " + format_time(terms["own"])
    return text


def with_spread(ns, run):
    s = spread(run)
    return format_time(ns) + ("" if s is None else " ±%.0f%%" % (s * 100))


def table_rows(runs, pairs):
    """One row per benchmark that is not an anchor, in the order of the run."""
    rows = []
    for name, run in runs.items():
        if name.startswith(ANCHOR_PREFIX):
            continue
        declaration = declaration_for(name, pairs)
        time_ns = median(run)
        time_cell = "skipped: " + run["error"] if run["error"] else with_spread(time_ns, run)
        anchor_cell, anchor_time, ratio, goal_cell = "(none declared)", "", "", ""
        if declaration is not None:
            _, anchor, goal = declaration
            anchor_cell = anchor or "—"
            anchor_run = runs.get(anchor)
            anchor_ns = median(anchor_run)
            if anchor and anchor_run is None:
                anchor_time = "not run"
            elif anchor_run is not None and anchor_run["error"]:
                anchor_time = "skipped: " + anchor_run["error"]
            elif anchor_ns is not None:
                anchor_time = with_spread(anchor_ns, anchor_run)
            if time_ns is not None and anchor_ns:
                ratio = format_ratio(time_ns / anchor_ns)
                if goal:
                    met = goal_met(goal, time_ns, anchor_ns)
                    goal_cell = "%s: %s" % (format_goal(goal), "met" if met else "NOT met")
            elif goal:
                goal_cell = format_goal(goal)
        rows.append((name, time_cell, anchor_cell, anchor_time, ratio, goal_cell))
    return rows


def markdown_table(rows):
    header = ("benchmark", "time", "anchor", "anchor time", "ratio", "goal")
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    for row in rows:
        lines.append("| " + " | ".join(c.replace("|", "\\|") for c in row) + " |")
    return "\n".join(lines)


# --- consistency -----------------------------------------------------------

def check_declarations(names, pairs):
    """Problems with the declarations against the benchmarks the binary lists."""
    problems = []
    for name in names:
        if not name.startswith(ANCHOR_PREFIX) and declaration_for(name, pairs) is None:
            problems.append("%s: no anchor declared" % name)
    used = set()
    for pattern, anchor, goal in pairs:
        if not any(covers(pattern, n) for n in names if not n.startswith(ANCHOR_PREFIX)):
            problems.append("%s: the pattern covers no benchmark" % pattern)
        if anchor:
            if anchor not in names:
                problems.append("%s: its anchor %s is not a benchmark" % (pattern, anchor))
            used.add(anchor)
        try:
            parse_goal(goal)
        except ReportError as e:
            problems.append("%s: %s" % (pattern, e))
        if goal and not anchor:
            problems.append("%s: a goal without an anchor" % pattern)
    for name in names:
        if name.startswith(ANCHOR_PREFIX) and name not in used:
            problems.append("%s: anchors nothing" % name)
    return problems


# --- machine ---------------------------------------------------------------

def cpu_model():
    try:
        with open("/proc/cpuinfo", encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def file_system_of(path):
    """The type of the file system that holds `path`, from /proc/mounts."""
    best, kind = "", "unknown"
    real = os.path.realpath(path)
    try:
        with open("/proc/mounts", encoding="utf-8", errors="replace") as f:
            for line in f:
                fields = line.split()
                if len(fields) < 3:
                    continue
                mount = fields[1]
                inside = real == mount or real.startswith(mount.rstrip("/") + "/")
                if inside and len(mount) >= len(best):
                    best, kind = mount, fields[2]
    except OSError:
        pass
    return kind


def machine_lines(context, repetitions):
    temp = tempfile.gettempdir()
    return [
        "- Machine: %s, %s logical cores (%s MHz), Linux %s" % (
            cpu_model(), os.cpu_count(), context.get("mhz_per_cpu", "?"), platform.release()),
        "- Benchmark files in %s (%s)" % (temp, file_system_of(temp)),
        "- Google Benchmark library built as: %s; run at %s" % (
            context.get("library_build_type", "?"), context.get("date", time.strftime("%F %T"))),
        "- Each time is the median of %d repetition%s of real (wall-clock) time, the "
        "repetitions of all benchmarks interleaved in random order so that a benchmark and "
        "its anchor meet the same load; ± is half the range of the repetitions" % (
            repetitions, "" if repetitions == 1 else "s"),
    ]


# --- running ---------------------------------------------------------------

def run_bench(binary, arguments, show_progress, want_figures=True):
    """Runs the binary in a fresh temporary folder; answers (output, figures),
    figures being the parsed JSON output when asked for. With show_progress the
    console lines go on to standard error as they come, less the anchor
    declarations the console repeats from the context; otherwise they are kept
    and shown only when the run fails."""
    binary = os.path.abspath(binary)
    folder = tempfile.mkdtemp(prefix="kavrolin-bench-run-")
    out_file = os.path.join(folder, "figures.json")
    try:
        command = [binary] + arguments
        if want_figures:
            command += ["--benchmark_out=" + out_file, "--benchmark_out_format=json"]
        kept = []
        with subprocess.Popen(command, cwd=folder, text=True, errors="replace",
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT) as child:
            for line in child.stdout:
                kept.append(line)
                if show_progress and not line.startswith(("anchor:", "goal:")):
                    sys.stderr.write(line)
                    sys.stderr.flush()
        if child.returncode != 0:
            if not show_progress:
                sys.stderr.write("".join(kept))
            raise ReportError("%s exited with %d" % (binary, child.returncode))
        figures = None
        if want_figures:
            with open(out_file, encoding="utf-8") as f:
                figures = json.load(f)
        return "".join(kept), figures
    finally:
        if os.path.exists(out_file):
            os.unlink(out_file)
        try:
            os.rmdir(folder)  # only when empty: the benchmarks clean up after themselves
        except OSError:
            print("note: %s was left behind non-empty" % folder, file=sys.stderr)


def listed_names(binary):
    output, _ = run_bench(binary, ["--benchmark_list_tests=true"], show_progress=False,
                          want_figures=False)
    return [line.strip() for line in output.splitlines() if line.startswith("BM_")]


def check(binary):
    names = listed_names(binary)
    cheap = next((n for n in names if n.startswith(ANCHOR_PREFIX + "Strtod")), names[0])
    _, figures = run_bench(binary, ["--benchmark_filter=^%s$" % cheap,
                                    "--benchmark_min_time=0.001"], show_progress=False)
    problems = check_declarations(names, declared_pairs(figures["context"]))
    for problem in problems:
        print(problem, file=sys.stderr)
    print("%d benchmarks, %d problems" % (len(names), len(problems)))
    return 1 if problems else 0


def report(binary, repetitions, min_time, json_out, extra):
    # Interleaving spreads each benchmark's repetitions over the whole run: on
    # a machine whose disk and cores are shared, the cost of a sync changes
    # from one minute to the next, and a benchmark measured minutes away from
    # its anchor would compare two different machines.
    arguments = ["--benchmark_repetitions=%d" % repetitions,
                 "--benchmark_enable_random_interleaving=true"]
    if min_time is not None:
        arguments.append("--benchmark_min_time=%g" % min_time)
    _, figures = run_bench(binary, arguments + extra, show_progress=True)
    if figures is None:
        raise ReportError("the benchmarks wrote no figures")
    if json_out:
        with open(json_out, "w", encoding="utf-8") as f:
            json.dump(figures, f, indent=1)
    context = figures.get("context", {})
    rows = table_rows(collect_runs(figures.get("benchmarks", [])), declared_pairs(context))
    print("\n".join(machine_lines(context, repetitions)))
    print()
    print(markdown_table(rows))
    return 0


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("binary", help="the kavrolin_bench executable")
    parser.add_argument("extra", nargs="*", help="more arguments for the binary (after --)")
    parser.add_argument("--repetitions", type=int, default=3)
    parser.add_argument("--min-time", type=float, default=None,
                        help="seconds each repetition runs at least")
    parser.add_argument("--json-out", help="also keep the raw JSON figures in this file")
    parser.add_argument("--check", action="store_true",
                        help="check the anchor declarations instead of measuring")
    options = parser.parse_args(argv)
    if options.repetitions < 1:
        parser.error("--repetitions must be at least 1")
    try:
        if options.check:
            return check(options.binary)
        return report(options.binary, options.repetitions, options.min_time, options.json_out,
                      options.extra)
    except (ReportError, OSError, json.JSONDecodeError) as e:
        print("bench_report: %s" % e, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
