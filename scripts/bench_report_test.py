#!/usr/bin/env python3
"""Tests of bench_report.py: pairing, medians, goals, the table, the
declaration check, and running a benchmark binary in a folder of its own."""

import json
import os
import stat
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench_report as br  # noqa: E402


def entry(name, real_time, unit="ns", run_type="iteration", **more):
    e = {"name": name, "run_name": name, "run_type": run_type, "real_time": real_time,
         "cpu_time": real_time, "time_unit": unit}
    e.update(more)
    return e


class PairingTest(unittest.TestCase):
    PAIRS = [
        ("BM_Sale", "BM_Anchor_A", ""),
        ("BM_Journal/*/sync:1/*", "BM_Anchor_Sync", "ratio<=1.2"),
        ("BM_Journal/*", "BM_Anchor_Any", ""),
        ("BM_ToHost*", "BM_Anchor_Stat", ""),
        ("BM_Reg/get:0", "BM_Anchor_Get", ""),
    ]

    def test_declaration_for(self):
        rows = [
            ("family name covers itself", "BM_Sale", "BM_Sale"),
            ("family name covers its arguments", "BM_Sale/sync:0/real_time", "BM_Sale"),
            ("family name leaves a longer family alone", "BM_SaleParts/sync:0", None),
            ("prefix with arguments covers the suffix below it", "BM_Reg/get:0/real_time", "BM_Reg/get:0"),
            ("prefix with arguments leaves a longer argument alone", "BM_Reg/get:01", None),
            ("longest pattern wins", "BM_Journal/lines:0/sync:1/real_time", "BM_Journal/*/sync:1/*"),
            ("shorter pattern where the longer misses", "BM_Journal/lines:0/sync:0/real_time",
             "BM_Journal/*"),
            ("glob on the family", "BM_ToHostOtherCase", "BM_ToHost*"),
            ("nothing covers", "BM_Other", None),
            ("case matters", "bm_sale", None),
        ]
        for label, run, want in rows:
            with self.subTest(label):
                got = br.declaration_for(run, self.PAIRS)
                self.assertEqual(got[0] if got else None, want)

    def test_declared_pairs_reads_anchors_and_goals_from_the_context(self):
        context = {"date": "x", "anchor:BM_A": "BM_Anchor_A", "goal:BM_A": "ratio<=1.5",
                   "anchor:BM_B": "", "goal:BM_Orphan": "ratio<=2"}
        self.assertEqual(br.declared_pairs(context),
                         [("BM_A", "BM_Anchor_A", "ratio<=1.5"), ("BM_B", "", "")])


class FiguresTest(unittest.TestCase):
    def test_collect_runs(self):
        rows = [
            ("one repetition", [entry("BM_A", 5)], 5.0),
            ("median of an odd count", [entry("BM_A", 9), entry("BM_A", 1), entry("BM_A", 4)], 4.0),
            ("median of an even count", [entry("BM_A", 2), entry("BM_A", 4)], 3.0),
            ("microseconds", [entry("BM_A", 1.5, "us")], 1500.0),
            ("milliseconds", [entry("BM_A", 2, "ms")], 2e6),
            ("seconds", [entry("BM_A", 1, "s")], 1e9),
            ("aggregates are not repetitions",
             [entry("BM_A", 7), entry("BM_A_median", 100, run_type="aggregate", run_name="BM_A")],
             7.0),
        ]
        for label, benchmarks, want in rows:
            with self.subTest(label):
                self.assertEqual(br.median(br.collect_runs(benchmarks)["BM_A"]), want)

    def test_a_failed_run_keeps_its_message_and_no_time(self):
        runs = br.collect_runs([entry("BM_A", 0, error_occurred=True, error_message="no socket")])
        self.assertEqual(runs["BM_A"]["error"], "no socket")
        self.assertIsNone(br.median(runs["BM_A"]))

    def test_an_unknown_unit_is_an_error(self):
        with self.assertRaises(br.ReportError):
            br.collect_runs([entry("BM_A", 1, "fortnights")])

    def test_spread(self):
        rows = [
            ("one repetition has none", [10], None),
            ("equal repetitions", [10, 10, 10], 0.0),
            ("half the range over the median", [8, 10, 14], 0.3),
        ]
        for label, times, want in rows:
            with self.subTest(label):
                got = br.spread({"times": [float(t) for t in times], "error": None})
                if want is None:
                    self.assertIsNone(got)
                else:
                    self.assertAlmostEqual(got, want)

    def test_parse_goal(self):
        rows = [("empty", "", None), ("a ratio", "ratio<=1.2", 1.2), ("a small ratio", "ratio<=0.01", 0.01)]
        for label, goal, want in rows:
            with self.subTest(label):
                self.assertEqual(br.parse_goal(goal), want)
        for bad in ("ratio<=", "ratio<=0", "ratio<=-1", "ratio<1.2", "ratio<=x", "ratio<=inf",
                    "added<=20us"):
            with self.subTest(bad), self.assertRaises(br.ReportError):
                br.parse_goal(bad)

    def test_goal_with_a_bound_on_its_own_time(self):
        self.assertEqual(br.goal_terms("ratio<=1.2,own<=10us"), {"ratio": 1.2, "own": 10_000})
        self.assertEqual(br.goal_terms("ratio<=2,own<=500ns"), {"ratio": 2, "own": 500})
        for bad in ("ratio<=1.2,own<=10", "ratio<=1.2,own<=0us", "ratio<=1.2,own<=xus",
                    "ratio<=1.2,added<=10us", "own<=10us", "ratio<=1.2,own<=1us,own<=2us"):
            with self.subTest(bad), self.assertRaises(br.ReportError):
                br.goal_terms(bad)
        # (time, anchor) -> met: both the ratio and the own time must hold.
        rows = [("both hold", 11_000, 10_000, True), ("ratio over", 13_000, 10_000, False),
                ("own time over", 112_000, 100_000, False), ("own time at the bound", 110_000, 100_000, True),
                ("slow anchor, ratio and own time hold", 21_000, 20_000, True)]
        for label, time_ns, anchor_ns, want in rows:
            with self.subTest(label):
                self.assertEqual(br.goal_met("ratio<=1.2,own<=10us", time_ns, anchor_ns), want)
        self.assertEqual(br.format_goal("ratio<=1.2,own<=10us"), "≤ 1.2, own ≤ 10.0 µs")


class FormattingTest(unittest.TestCase):
    def test_format_time(self):
        rows = [
            ("under ten nanoseconds", 3.14159, "3.14 ns"),
            ("just under a microsecond", 999.4, "999 ns"),
            ("one microsecond", 1000, "1.00 µs"),
            ("tens of microseconds", 29_600, "29.6 µs"),
            ("one millisecond", 1e6, "1.00 ms"),
            ("hundreds of milliseconds", 436e6, "436 ms"),
            ("seconds", 2.5e9, "2.50 s"),
        ]
        for label, ns, want in rows:
            with self.subTest(label):
                self.assertEqual(br.format_time(ns), want)

    def test_format_ratio(self):
        rows = [("boundary stays a decimal", 0.1, "0.10"), ("below it a fraction", 0.0999, "1/10"),
                ("hundredfold", 1 / 143, "1/143"), ("above one", 9.554, "9.55")]
        for label, ratio, want in rows:
            with self.subTest(label):
                self.assertEqual(br.format_ratio(ratio), want)

    def test_markdown_table_escapes_bars(self):
        table = br.markdown_table([("BM_A", "1 ns", "a|b", "", "", "")])
        self.assertEqual(table.splitlines()[2], "| BM_A | 1 ns | a\\|b |  |  |  |")


class TableTest(unittest.TestCase):
    def rows(self, benchmarks, pairs):
        return {r[0]: r for r in br.table_rows(br.collect_runs(benchmarks), pairs)}

    def test_rows(self):
        benchmarks = [
            entry("BM_Journal", 120), entry("BM_Journal", 100), entry("BM_Journal", 130),
            entry("BM_Anchor_Write", 100), entry("BM_Anchor_Write", 90), entry("BM_Anchor_Write", 200),
            entry("BM_Over", 121),
            entry("BM_Alone", 5), entry("BM_Unpaired", 5), entry("BM_Lost", 5),
            entry("BM_Ping", 7), entry("BM_Anchor_Echo", 0, error_occurred=True, error_message="no socket"),
        ]
        pairs = [("BM_Journal", "BM_Anchor_Write", "ratio<=1.2"), ("BM_Over", "BM_Anchor_Write", "ratio<=1.2"),
                 ("BM_Alone", "", ""),
                 ("BM_Lost", "BM_Anchor_Gone", ""), ("BM_Ping", "BM_Anchor_Echo", "")]
        rows = self.rows(benchmarks, pairs)
        self.assertNotIn("BM_Anchor_Write", rows, "anchors are not rows of their own")
        cases = [
            ("medians on both sides, ratio exactly at the goal", "BM_Journal",
             ("BM_Journal", "120 ns ±12%", "BM_Anchor_Write", "100 ns ±55%", "1.20", "≤ 1.2: met")),
            ("ratio just over the goal", "BM_Over",
             ("BM_Over", "121 ns", "BM_Anchor_Write", "100 ns ±55%", "1.21", "≤ 1.2: NOT met")),
            ("declared without an anchor", "BM_Alone", ("BM_Alone", "5.00 ns", "—", "", "", "")),
            ("no declaration", "BM_Unpaired", ("BM_Unpaired", "5.00 ns", "(none declared)", "", "", "")),
            ("anchor not in this run", "BM_Lost", ("BM_Lost", "5.00 ns", "BM_Anchor_Gone", "not run", "", "")),
            ("anchor skipped", "BM_Ping",
             ("BM_Ping", "7.00 ns", "BM_Anchor_Echo", "skipped: no socket", "", "")),
        ]
        for label, name, want in cases:
            with self.subTest(label):
                self.assertEqual(rows[name], want)

    def test_a_skipped_benchmark_shows_why_and_its_goal_unjudged(self):
        rows = self.rows([entry("BM_A", 0, error_occurred=True, error_message="no ICMP"),
                          entry("BM_Anchor_A", 10)], [("BM_A", "BM_Anchor_A", "ratio<=2")])
        self.assertEqual(rows["BM_A"], ("BM_A", "skipped: no ICMP", "BM_Anchor_A", "10.0 ns", "", "≤ 2"))

    def test_rows_follow_the_order_of_registration(self):
        rows = [
            ("without indexes, the order of the output",
             [entry("BM_Z", 1), entry("BM_Anchor_Y", 1), entry("BM_A", 1), entry("BM_M", 1)],
             ["BM_Z", "BM_A", "BM_M"]),
            ("interleaved repetitions by family, then instance",
             [entry("BM_F/1", 1, family_index=1, per_family_instance_index=1),
              entry("BM_G", 1, family_index=2, per_family_instance_index=0),
              entry("BM_F/0", 1, family_index=1, per_family_instance_index=0),
              entry("BM_E", 1, family_index=0, per_family_instance_index=0),
              entry("BM_F/1", 2, family_index=1, per_family_instance_index=1)],
             ["BM_E", "BM_F/0", "BM_F/1", "BM_G"]),
        ]
        for label, benchmarks, want in rows:
            with self.subTest(label):
                self.assertEqual([r[0] for r in br.table_rows(br.collect_runs(benchmarks), [])], want)


class CheckTest(unittest.TestCase):
    NAMES = ["BM_A/0", "BM_A/1", "BM_B", "BM_Anchor_X", "BM_Anchor_Y"]

    def test_problems(self):
        rows = [
            ("all consistent", [("BM_A", "BM_Anchor_X", ""), ("BM_B", "BM_Anchor_Y", "ratio<=2")], []),
            ("a benchmark without a declaration", [("BM_A", "BM_Anchor_X", ""), ("BM_Zed", "BM_Anchor_Y", "")],
             ["BM_B: no anchor declared", "BM_Zed: the pattern covers no benchmark"]),
            ("a declared anchor that does not exist",
             [("BM_A", "BM_Anchor_X", ""), ("BM_B", "BM_Anchor_Gone", "")],
             ["BM_B: its anchor BM_Anchor_Gone is not a benchmark", "BM_Anchor_Y: anchors nothing"]),
            ("an anchor may not stand for a benchmark",
             [("BM_A", "BM_Anchor_X", ""), ("BM_B", "BM_Anchor_Y", ""), ("BM_Anchor_X", "BM_Anchor_Y", "")],
             ["BM_Anchor_X: the pattern covers no benchmark"]),
            ("a bad goal", [("BM_A", "BM_Anchor_X", "ratio<=0"), ("BM_B", "BM_Anchor_Y", "")],
             ["BM_A: goal 'ratio<=0' is not ratio<=X with X a positive number"]),
            ("a goal without an anchor", [("BM_A", "BM_Anchor_X", ""), ("BM_B", "", "ratio<=2"),
                                          ("BM_A/1", "BM_Anchor_Y", "")],
             ["BM_B: a goal without an anchor"]),
        ]
        for label, pairs, want in rows:
            with self.subTest(label):
                self.assertEqual(br.check_declarations(self.NAMES, pairs), want)


FAKE_BINARY = """#!/bin/sh
# Records the folder it runs in and whether that folder started empty.
out=""
for a in "$@"; do
  case "$a" in --benchmark_out=*) out="${a#--benchmark_out=}";; esac
done
if [ -n "$(ls -A)" ]; then empty=false; else empty=true; fi
echo "anchor:BM_A: BM_Anchor_A"
echo "BM_A 1 ns"
[ -n "$out" ] && printf '{"context":{"cwd":"%s","empty":"%s"},"benchmarks":[]}' "$(pwd)" "$empty" > "$out"
exit ${FAKE_EXIT:-0}
"""


class RunBenchTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        # The runs' folders go into this test's own folder: other tests running
        # at the same time make folders of that name in the system's.
        self.saved_tempdir = tempfile.tempdir
        tempfile.tempdir = self.folder.name
        self.binary = os.path.join(self.folder.name, "fake_bench")
        with open(self.binary, "w", encoding="utf-8") as f:
            f.write(FAKE_BINARY)
        os.chmod(self.binary, stat.S_IRWXU)

    def tearDown(self):
        os.environ.pop("FAKE_EXIT", None)
        tempfile.tempdir = self.saved_tempdir
        self.folder.cleanup()

    def test_runs_in_a_fresh_empty_folder_that_is_removed_afterwards(self):
        output, figures = br.run_bench(self.binary, [], show_progress=False)
        cwd = figures["context"]["cwd"]
        self.assertEqual(figures["context"]["empty"], "true")
        self.assertNotEqual(os.path.realpath(cwd), os.path.realpath(os.getcwd()))
        self.assertFalse(os.path.exists(cwd))
        self.assertIn("BM_A 1 ns", output)

    def test_a_failing_binary_is_an_error_and_leaves_no_folder(self):
        os.environ["FAKE_EXIT"] = "3"
        before = set(os.listdir(tempfile.gettempdir()))
        with self.assertRaisesRegex(br.ReportError, "exited with 3"):
            br.run_bench(self.binary, [], show_progress=False)
        left = [n for n in set(os.listdir(tempfile.gettempdir())) - before
                if n.startswith("kavrolin-bench-run-")]
        self.assertEqual(left, [])

    def test_listed_names_keeps_only_benchmark_lines(self):
        self.assertEqual(br.listed_names(self.binary), ["BM_A 1 ns"])


if __name__ == "__main__":
    unittest.main()
