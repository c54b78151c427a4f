#!/usr/bin/env python3
"""Plants one-line faults in the engine's sources, one at a time, and runs the test suite against
each: a fault the suite still passes is a gap in the tests.

    python3 scripts/mutate.py [--jobs N] [--sample K] [--seed S] [--kinds K1,K2] [--out FILE] PATH...

PATH is a source file or folder (src/world, src/script/tokenizer.cpp). Every candidate fault of
the chosen kinds is listed; --sample K takes K of them at random (per PATH), otherwise all run.
Each worker builds a copy of the tree of its own (under build-mutate/, Ninja, -O1, no debug
information, lld) so that N faults build and run at once. A fault that does not compile is set
aside, not counted; a test that fails or crashes, or a suite that runs past four times its normal
time, kills the fault. The tests run as CTest runs them, each in a process of its own. Results are appended to FILE (JSON lines) as they come, and a run given the same
FILE skips the faults already there, so an interrupted run goes on where it stopped.

    python3 scripts/mutate.py --retry OLDFILE --out NEWFILE

tries again the faults that survived in OLDFILE (after new tests, say); a fault whose line is no
longer in the source is marked gone.

    python3 scripts/mutate.py --report FILE

prints the figures per folder and per kind, and the faults that survived.
"""
import argparse
import concurrent.futures
import json
import os
import random
import re
import shutil
import subprocess
import sys
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build-mutate"
TEST_ENV = {"SDL_VIDEODRIVER": "offscreen", "SDL_AUDIODRIVER": "dummy", "LC_ALL": "C.UTF-8", "LP_NUM_THREADS": "0"}

# ---------------------------------------------------------------------------------------------
# Finding candidate faults. Only code is touched: comments, string and character literals and
# preprocessor lines are masked out first, so an operator inside a message never counts.


def mask_non_code(text):
    """The text with every comment, literal and preprocessor line replaced by blanks of the same
    length (newlines kept), so that offsets into it are offsets into the text."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and text[i:].lstrip(" \t").startswith("#"):
            j = text.find("\n", i)
            j = n if j < 0 else j
            while 0 < j < n and text[j - 1] == "\\":  # a directive continued on the next line
                k = text.find("\n", j + 1)
                j = n if k < 0 else k
            for k in range(i, j):
                if out[k] != "\n":
                    out[k] = " "
            i = j
            continue
        line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            for k in range(i, j):
                out[k] = " "
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            for k in range(i, j):
                if out[k] != "\n":
                    out[k] = " "
            i = j
        elif text.startswith('R"', i):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            for k in range(i, j):
                if out[k] != "\n":
                    out[k] = " "
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            for k in range(i, j):
                out[k] = " "
            i = j
        else:
            if c == "\n":
                line_start = True
            i += 1
    return "".join(out)


# Each kind: a pattern over masked code and what each match may become. Binary operators are
# taken only with a blank on each side, as this code base writes them; that keeps template
# brackets, pointers and references out.
SWAPS = {
    "relational": {" < ": [" <= "], " <= ": [" < "], " > ": [" >= "], " >= ": [" > "], " == ": [" != "], " != ": [" == "]},
    "arithmetic": {" + ": [" - "], " - ": [" + "], " * ": [" / "], " / ": [" * "], " += ": [" -= "], " -= ": [" += "],
                   " % ": [" / "], " << ": [" >> "], " >> ": [" << "], " & ": [" | "], " | ": [" & "]},
    "logical": {" && ": [" || "], " || ": [" && "]},
}
STATEMENT = re.compile(r"^(\s*)([A-Za-z_][\w:.>\-\[\]]*(?:\([^;]*\))?\s*(?:[+\-*/|&]?=[^=;][^;]*|\([^;]*\)|\+\+|--));\s*$")
NUMBER = re.compile(r"(?<![\w.])(\d+(?:\.\d*)?(?:[eE][+-]?\d+)?)([fFuUlL]*)(?![\w.])")
BOOLEAN = re.compile(r"\b(true|false)\b")
NEGATION = re.compile(r"(?<![!=<>])!(?!=)")


def candidates(path, kinds):
    text = path.read_text(encoding="utf-8")
    masked = mask_non_code(text)
    lines = text.split("\n")
    mlines = masked.split("\n")
    found = []
    for no, (line, mline) in enumerate(zip(lines, mlines), start=1):
        if not mline.strip():
            continue

        def add(kind, start, end, repl):
            new = line[:start] + repl + line[end:]
            if new != line:
                found.append({"file": str(path.relative_to(ROOT)), "line": no, "kind": kind, "old": line, "new": new})

        for kind in ("relational", "arithmetic", "logical"):
            if kind not in kinds:
                continue
            for op, repls in SWAPS[kind].items():
                start = mline.find(op)
                while start >= 0:
                    for r in repls:
                        add(kind, start, start + len(op), r)
                    start = mline.find(op, start + 1)
        if "constant" in kinds:
            for m in NUMBER.finditer(mline):
                literal = m.group(1)
                if "." in literal or "e" in literal.lower():
                    value = float(literal)
                    repl = repr(value + 1.0) if value != 0 else "1.0"
                else:
                    value = int(literal)
                    repl = str(value + 1) if value != 1 else "0"
                add("constant", m.start(1), m.end(1), repl)
        if "boolean" in kinds:
            for m in BOOLEAN.finditer(mline):
                add("boolean", m.start(), m.end(), "false" if m.group(1) == "true" else "true")
            for m in NEGATION.finditer(mline):
                add("boolean", m.start(), m.end(), "")
        if "delete" in kinds:
            m = STATEMENT.match(mline)
            if m and not re.match(r"\s*(return|break|continue|case|default|goto|static_assert)\b", mline):
                found.append({"file": str(path.relative_to(ROOT)), "line": no, "kind": "delete", "old": line,
                              "new": m.group(1) + ";"})
    return found


def source_files(arg):
    p = (ROOT / arg).resolve() if not Path(arg).is_absolute() else Path(arg)
    if p.is_file():
        return [p]
    return sorted(f for f in p.rglob("*") if f.suffix in (".cpp", ".h", ".c"))


# ---------------------------------------------------------------------------------------------
# Workers: a copy of the tree each, built once, then one fault at a time.


def run(cmd, cwd, timeout=None, env=None):
    return subprocess.run(cmd, cwd=cwd, timeout=timeout, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                          text=True, errors="replace")


def copy_if_changed(src, dst):
    """An unchanged file keeps its time, so it is not rebuilt; a changed one takes the time of
    the copy, so it is, even where the source is older than what the last fault built."""
    if os.path.exists(dst) and Path(src).read_bytes() == Path(dst).read_bytes():
        return dst
    return shutil.copyfile(src, dst)


class Worker:
    def __init__(self, index):
        self.tree = WORK / f"w{index}"
        self.build = self.tree / "build"
        self.seconds = 0.0  # the whole suite, before any fault

    def prepare(self):
        self.tree.mkdir(parents=True, exist_ok=True)
        for part in ("CMakeLists.txt", "src", "tests", "data", "fuzz", "bench"):
            src = ROOT / part
            if src.is_dir():
                shutil.copytree(src, self.tree / part, dirs_exist_ok=True, copy_function=copy_if_changed)
            else:
                shutil.copy2(src, self.tree / part)
        if not (self.build / "build.ninja").exists():
            out = run(["cmake", "-G", "Ninja", "-S", str(self.tree), "-B", str(self.build), "-DCMAKE_BUILD_TYPE=None",
                       "-DCMAKE_CXX_FLAGS=-O1 -g0", "-DCMAKE_C_FLAGS=-O1 -g0", "-DENGINE_BUILD_BENCH=OFF",
                       "-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"], self.tree)
            if out.returncode:
                raise RuntimeError(out.stdout)
        out = run(["ninja", "-C", str(self.build)], self.tree)
        if out.returncode:
            raise RuntimeError(out.stdout[-4000:])
        start = time.monotonic()
        if self.run_suite(1800) is not None:
            raise RuntimeError("the suite fails before any fault is planted")
        self.seconds = time.monotonic() - start

    def run_suite(self, timeout):
        """None when every test passes, else the name of a failing test (or "timeout"). The tests
        run as CTest runs them, one process each: some share state within a process."""
        cmd = ["ctest", "--test-dir", str(self.build), "-j4", "--stop-on-failure", "--output-on-failure"]
        proc = subprocess.Popen(cmd, cwd=self.build, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                errors="replace", start_new_session=True)
        try:
            out, _ = proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, 9)
            proc.communicate()
            return "timeout"
        if proc.returncode == 0:
            return None
        failed = re.findall(r"\d+ - (\S+) \(", out)
        return failed[0] if failed else "failed"

    def try_fault(self, fault):
        target = self.tree / fault["file"]
        original = target.read_text(encoding="utf-8")
        lines = original.split("\n")
        # The source may have moved since the fault was listed: take the nearest line that still
        # reads the same.
        at = [i for i, line in enumerate(lines) if line == fault["old"]]
        if not at:
            return {"status": "gone"}
        index = min(at, key=lambda i: abs(i - (fault["line"] - 1)))
        lines[index] = fault["new"]
        target.write_text("\n".join(lines), encoding="utf-8")
        try:
            built = run(["ninja", "-C", str(self.build)], self.tree, timeout=900)
            if built.returncode:
                return {"status": "uncompilable"}
            failed = self.run_suite(max(60.0, 4 * self.seconds))
            if failed:
                return {"status": "killed", "by": failed}
            return {"status": "survived"}
        finally:
            target.write_text(original, encoding="utf-8")


def key(f):
    return (f["file"], f["line"], f["kind"], f["new"])


def main_run(args):
    kinds = set(args.kinds.split(","))
    rng = random.Random(args.seed)
    faults = []
    if args.retry:
        # The faults that survived an earlier run, tried again against today's tests.
        faults = [json.loads(line) for line in Path(args.retry).read_text().splitlines()]
        faults = [{k: f[k] for k in ("file", "line", "kind", "old", "new")} for f in faults if f["status"] == "survived"]
    for path in args.paths:
        found = [f for src in source_files(path) for f in candidates(src, kinds)]
        if args.sample and len(found) > args.sample:
            found = rng.sample(found, args.sample)
        faults += found
    out = Path(args.out)
    done = set()
    if out.exists():
        for line in out.read_text().splitlines():
            done.add(key(json.loads(line)))
    faults = [f for f in faults if key(f) not in done]
    # Faults of one file go to one worker in turn, so each file is rebuilt as little as possible.
    faults.sort(key=lambda f: (f["file"], f["line"]))
    print(f"{len(faults)} faults to try with {args.jobs} workers", flush=True)
    if not faults:
        return
    workers = [Worker(i) for i in range(args.jobs)]
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        list(pool.map(lambda w: w.prepare(), workers))
    lock = threading.Lock()
    queue = list(faults)
    counts = {}

    def work(worker):
        while True:
            with lock:
                if not queue:
                    return
                fault = queue.pop(0)
            started = time.monotonic()
            result = dict(fault, **worker.try_fault(fault), seconds=round(time.monotonic() - started, 1))
            with lock:
                with out.open("a") as f:
                    f.write(json.dumps(result, ensure_ascii=False) + "\n")
                counts[result["status"]] = counts.get(result["status"], 0) + 1
                total = sum(counts.values())
                if result["status"] == "survived" or total % 20 == 0:
                    print(f"[{total}/{len(faults)}] {counts}  {result['status']}: {fault['file']}:{fault['line']}"
                          f"  {fault['new'].strip()}", flush=True)

    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        list(pool.map(work, workers))


def main_report(args):
    rows = [json.loads(line) for line in Path(args.report).read_text().splitlines()]
    by_folder = {}
    for r in rows:
        folder = "/".join(r["file"].split("/")[:2])
        by_folder.setdefault(folder, []).append(r)
    print(f"{'folder':<18}{'tried':>7}{'killed':>8}{'survived':>10}{'set aside':>11}{'uncompilable':>14}{'caught':>8}")
    for folder, rs in sorted(by_folder.items()):
        c = {s: sum(1 for r in rs if r["status"] == s) for s in ("killed", "survived", "equivalent", "uncompilable")}
        counted = c["killed"] + c["survived"]
        share = f"{100 * c['killed'] / counted:.0f}%" if counted else "-"
        print(f"{folder:<18}{len(rs):>7}{c['killed']:>8}{c['survived']:>10}{c['equivalent']:>11}{c['uncompilable']:>14}{share:>8}")
    kinds = sorted({r["kind"] for r in rows})
    print()
    for k in kinds:
        rs = [r for r in rows if r["kind"] == k]
        killed = sum(1 for r in rs if r["status"] == "killed")
        counted = sum(1 for r in rs if r["status"] in ("killed", "survived"))
        print(f"{k:<12} {killed}/{counted} caught")
    if args.survivors:
        print()
        for r in rows:
            if r["status"] == "survived":
                print(f"{r['file']}:{r['line']} [{r['kind']}]\n  - {r['old'].strip()}\n  + {r['new'].strip()}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("paths", nargs="*")
    parser.add_argument("--jobs", type=int, default=max(1, (os.cpu_count() or 2) // 2))
    parser.add_argument("--sample", type=int, default=0)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--kinds", default="relational,arithmetic,logical,constant,boolean,delete")
    parser.add_argument("--out", default=str(WORK / "results.jsonl"))
    parser.add_argument("--retry", help="try again the faults that survived in this results file")
    parser.add_argument("--report")
    parser.add_argument("--survivors", action="store_true", help="with --report: list the faults that survived")
    parser.add_argument("--list", action="store_true", help="only count the candidate faults")
    args = parser.parse_args()
    if args.report:
        main_report(args)
    elif args.list:
        kinds = set(args.kinds.split(","))
        for path in args.paths:
            found = [f for src in source_files(path) for f in candidates(src, kinds)]
            by = {}
            for f in found:
                by[f["kind"]] = by.get(f["kind"], 0) + 1
            print(path, len(found), by)
    else:
        WORK.mkdir(exist_ok=True)
        main_run(args)


if __name__ == "__main__":
    sys.exit(main())
