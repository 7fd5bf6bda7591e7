#!/usr/bin/env python3
"""The route explorer's benchmark: the bundled demo, and generated games of N choices in a row,
each with two answers that join again (2^N routes, about 2N distinct states). Prints wall time,
distinct states, routes and peak memory for each, beside the explorer's own start-up on a game
of one route (the peer: what every run costs before it explores anything).

usage: routes_suite.py ORVA_ROUTES ORVA_ASM DEMO_DIR WORK_DIR"""
import json, os, re, statistics, subprocess, sys

routes, asm, demo, work = sys.argv[1:5]


def chain(n):
    s = '.script 1 "title"\n*title\nsystem 101\njump 2 *story\n.script 2 "chain"\n*story\n'
    for i in range(1, n + 1):
        s += f'msg "問い{i}"\nchoice "はい,いいえ"\nif W1 == 1\n  msg "はい"\nelse\n  msg "いいえ"\nend\n'
    return s + 'msg "おわり"\njump 1 *title\n'


def game(name, n):
    folder = os.path.join(work, name)
    os.makedirs(folder, exist_ok=True)
    src = os.path.join(work, name + ".txt")
    open(src, "w", encoding="utf-8").write(chain(n))
    subprocess.run([asm, "build", src, "-o", os.path.join(folder, "SCRIPT.DAT")], check=True)
    return folder


def explore(folder):
    """Median wall seconds of three runs, the peak resident memory in MB, and the report."""
    out = os.path.join(work, "r.json")
    walls, peak = [], 0.0
    for _ in range(3):
        t = subprocess.run(["/usr/bin/time", "-f", "%e %M", routes, "--quiet", "--json", out, folder],
                           stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        wall, kb = t.stderr.strip().splitlines()[-1].split()
        walls.append(float(wall))
        peak = max(peak, int(kb) / 1024)
    return statistics.median(walls), peak, json.load(open(out))


base_wall, base_peak, _ = explore(game("one", 0))
print(f"| {'route explorer':<30} | {'wall s':>7} | {'states':>6} | {'routes':>22} | {'peak MB':>7} | start-up peer (run / peer) |")
print(f"|{'-'*32}|{'-'*9}|{'-'*8}|{'-'*24}|{'-'*9}|{'-'*27}|")
cases = [("bundled demo", demo)] + [(f"{n} choices in a row", game(f"chain{n}", n)) for n in (10, 20, 40, 400)]
for name, folder in cases:
    wall, peak, report = explore(folder)
    print(f"| {name:<30} | {wall:>7.2f} | {report['states']:>6} | {report['routes']:>22} | {peak:>7.1f} | "
          f"{base_wall:.2f} s, {base_peak:.1f} MB ({wall / base_wall:.2f}×) |")
