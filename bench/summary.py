"""The one table that ./nw bench ends with: each benchmark adds its
headline figures, with their goals, to the file named by NW_BENCH_SUMMARY,
and `python3 bench/summary.py FILE` prints them together."""

import json
import os
import sys


def record(benchmark, figure, value, goal, met):
    """Adds one row to the summary, when there is one to add to."""
    path = os.environ.get("NW_BENCH_SUMMARY")
    if not path:
        return
    with open(path, "a") as summary:
        summary.write(json.dumps({"benchmark": benchmark, "figure": figure, "value": value, "goal": goal,
                                  "met": bool(met)}) + "\n")


def main(path):
    with open(path) as summary:
        rows = [json.loads(line) for line in summary if line.strip()]
    if os.environ.get("NW_BENCH_BUILD"):
        print("Measured: %s." % os.environ["NW_BENCH_BUILD"])
    widths = [max([len(row[key]) for row in rows] + [len(title)])
              for key, title in [("benchmark", "benchmark"), ("figure", "figure"), ("value", "measured"),
                                 ("goal", "goal")]]
    print("| " + " | ".join(t.ljust(w) for t, w in zip(["benchmark", "figure", "measured", "goal"], widths)) +
          " | met |")
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|-----|")
    for row in rows:
        cells = [row["benchmark"], row["figure"], row["value"], row["goal"]]
        print("| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " | %s |"
              % ("yes" if row["met"] else "NO"))


if __name__ == "__main__":
    main(sys.argv[1])
