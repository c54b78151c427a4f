#!/usr/bin/env python3
"""Runs the script benchmark and the same cases in Lua 5.4 and in LuaJIT's interpreter side by
side, in turns, and prints the best figure of each case with the ratios, as a Markdown table.

    python3 bench/lua/compare.py [script_bench] [--rounds N] [--baseline other_script_bench]

Best of the rounds, since the machine's other work only ever makes a figure worse. The baseline,
when given, is another build of the benchmark (another branch), run in the same turns.
"""
import argparse
import json
import pathlib
import re
import subprocess

HERE = pathlib.Path(__file__).resolve().parent


def engine(binary):
    out = subprocess.run([binary, "--benchmark_format=json"], capture_output=True, text=True, check=True).stdout
    figures = {}
    for b in json.loads(out)["benchmarks"]:
        name = b["name"].split("/iterations")[0]
        if "ns_per_iteration" in b:
            figures[name] = b["ns_per_iteration"] * 1e9
        if "lines_per_second" in b:
            figures[name] = b["lines_per_second"] / 1e6
    return figures


def lua(interpreter, script):
    out = subprocess.run(interpreter + [str(HERE / script)], capture_output=True, text=True, check=True).stdout
    value = float(re.search(r"([0-9.]+) (ns/iteration|lines/s)", out).group(1))
    return value / 1e6 if "lines/s" in out else value


def keep_best(best, name, value, higher_is_better):
    if name not in best or (value > best[name] if higher_is_better else value < best[name]):
        best[name] = value


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bench", nargs="?", default="build/default/bench/script_bench")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--baseline")
    args = parser.parse_args()

    cases = [
        ("BM_ArithmeticLoop", "arithmetic.lua", True),
        ("BM_CallFunctionLoop", "call.lua", True),
        ("BM_Compile2000Lines", "compile.lua", False),
    ]
    best, base, peers = {}, {}, {}
    for _ in range(args.rounds):
        for name, value in engine(args.bench).items():
            keep_best(best, name, value, "Loop" not in name)
        if args.baseline:
            for name, value in engine(args.baseline).items():
                keep_best(base, name, value, "Loop" not in name)
        for name, script, with_luajit in cases:
            keep_best(peers, ("lua5.4", name), lua(["lua5.4"], script), "Loop" not in name)
            if with_luajit:
                keep_best(peers, ("luajit -joff", name), lua(["luajit", "-joff"], script), "Loop" not in name)

    header = ["case", "this engine"] + (["before"] if args.baseline else []) + ["Lua 5.4", "ratio", "LuaJIT -joff", "ratio"]
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for name, _, with_luajit in cases:
        loop = "Loop" in name
        unit = " ns" if loop else " M lines/s"
        mine = best[name]
        cells = [name, f"{mine:.2f}{unit}"] + ([f"{base[name]:.2f}{unit}"] if args.baseline else [])
        for peer in ("lua5.4", "luajit -joff"):
            if peer == "luajit -joff" and not with_luajit:
                cells += ["", ""]
                continue
            other = peers[(peer, name)]
            # As a cost: above 1 means this engine takes longer.
            ratio = mine / other if loop else other / mine
            cells += [f"{other:.2f}{unit}", f"{ratio:.2f}"]
        print("| " + " | ".join(cells) + " |")
    for name in sorted(best):
        if name.startswith("BM_LoadSceneFile"):
            before = f" (before: {base[name]:.2f})" if args.baseline else ""
            print(f"\n{name}: {best[name]:.2f} M lines/s{before}", end="")
    print()


if __name__ == "__main__":
    main()
