#!/usr/bin/env python3
"""Applies the mutants of a list one at a time, rebuilds the named test programs, runs them and
restores the source byte for byte. Prints caught / survived / did-not-build per mutant and the score.

A list holds blocks separated by blank lines; '#' starts a comment line. Each block:

    file: editor/document/edit_history.cpp
    find: for (auto it = step.edits.rbegin(); it != step.edits.rend(); ++it)
    replace: for (auto it = step.edits.begin(); it != step.edits.end(); ++it)
    tests: edit_history_test
    filter: EditHistoryTest.*          (optional gtest filter)
    note: a group's edits undone first to last    (optional)

`find` is text that occurs exactly once in the file (a line or part of one, so the list survives edits
elsewhere); with `after` (text that occurs exactly once) it is the first occurrence of `find` after
that text. `replace` may be empty to delete it. `tests` names test targets, built alone and run from
build/tests/. A mutant whose text is no longer found is reported as stale and not counted.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEYS = ("file", "after", "find", "replace", "tests", "filter", "note")


def parse_list(path):
    mutants, block, line_no, start = [], {}, 0, 0
    with open(path, encoding="utf-8") as handle:
        lines = handle.read().split("\n")
    for line_no, line in enumerate(lines + [""], 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if block:
                missing = [k for k in ("file", "find", "replace", "tests") if k not in block]
                if missing:
                    sys.exit(f"{path}:{start}: mutant lacks {', '.join(missing)}")
                block["line"] = start
                mutants.append(block)
                block = {}
            continue
        match = re.match(r"([a-z]+):(?: (.*))?$", line)
        if not match or match.group(1) not in KEYS:
            sys.exit(f"{path}:{line_no}: expected one of {', '.join(KEYS)}: '{line}'")
        if not block:
            start = line_no
        block[match.group(1)] = match.group(2) or ""
    return mutants


class Restorer:
    """Keeps the original bytes of the file being mutated, also on disk, and puts them back."""

    def __init__(self, build_dir):
        self.backup_dir = os.path.join(build_dir, "mutate-backup")
        self.current = None

    def recover_leftover(self):
        # A run that was killed outright (SIGKILL, power) left its backup: put it back first.
        if not os.path.isdir(self.backup_dir):
            return
        for name in os.listdir(self.backup_dir):
            with open(os.path.join(self.backup_dir, name), "rb") as handle:
                data = handle.read()
            rel, content = data.split(b"\0", 1)
            target = os.path.join(ROOT, rel.decode())
            with open(target, "wb") as out:
                out.write(content)
            print(f"restored {rel.decode()} left by an interrupted run")
        shutil.rmtree(self.backup_dir)

    def apply(self, rel, original, mutated):
        os.makedirs(self.backup_dir, exist_ok=True)
        with open(os.path.join(self.backup_dir, "current"), "wb") as handle:
            handle.write(rel.encode() + b"\0" + original)
        self.current = (rel, original)
        with open(os.path.join(ROOT, rel), "wb") as handle:
            handle.write(mutated)

    def restore(self):
        if self.current is None:
            return
        rel, original = self.current
        with open(os.path.join(ROOT, rel), "wb") as handle:
            handle.write(original)
        self.current = None
        shutil.rmtree(self.backup_dir, ignore_errors=True)


def run(cmd, timeout, log, env=None):
    """Runs cmd in its own process group; returns its exit code, or None on a timeout."""
    with subprocess.Popen(cmd, cwd=ROOT, stdout=log, stderr=subprocess.STDOUT, env=env,
                          start_new_session=True) as proc:
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            return None
        except BaseException:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            raise


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("lists", nargs="*", default=[os.path.join(ROOT, "scripts", "mutants.txt")])
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build"))
    parser.add_argument("--only", help="run only mutants whose file, find text or note matches this regex")
    parser.add_argument("--tests", help="run only mutants whose test programs match this regex")
    parser.add_argument("--timeout", type=int, default=300, help="seconds for each test program")
    parser.add_argument("--build-timeout", type=int, default=1800)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--log", default=None, help="build and test output (default BUILD/mutate.log)")
    args = parser.parse_args()

    mutants = []
    for path in args.lists:
        mutants += [dict(m, list=os.path.relpath(path, ROOT)) for m in parse_list(path)]
    if args.only:
        pattern = re.compile(args.only)
        mutants = [m for m in mutants if pattern.search(m["file"] + m["find"] + m.get("note", ""))]
    if args.tests:
        pattern = re.compile(args.tests)
        mutants = [m for m in mutants if pattern.search(m["tests"])]

    restorer = Restorer(args.build_dir)
    restorer.recover_leftover()

    def on_signal(signum, _frame):
        restorer.restore()
        print(f"\ninterrupted by signal {signum}; source restored", flush=True)
        sys.exit(130)

    signal.signal(signal.SIGINT, on_signal)
    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGHUP, on_signal)

    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    log_path = args.log or os.path.join(args.build_dir, "mutate.log")
    counts = {"caught": 0, "survived": 0, "did-not-build": 0, "stale": 0}
    survivors, touched_targets = [], set()
    with open(log_path, "w") as log:
        for number, mutant in enumerate(mutants, 1):
            where = f"{mutant['list']}:{mutant['line']}"
            label = f"[{number}/{len(mutants)}] {mutant['file']}: {mutant.get('note') or mutant['find'].strip()}"
            rel = mutant["file"]
            with open(os.path.join(ROOT, rel), "rb") as handle:
                original = handle.read()
            find = mutant["find"].encode()
            anchor = mutant.get("after", "").encode()
            at = -1
            if anchor:
                if original.count(anchor) == 1:
                    at = original.find(find, original.find(anchor) + len(anchor))
                found = "after text not unique" if original.count(anchor) != 1 else f"found {int(at >= 0)} times"
            elif original.count(find) == 1:
                at = original.find(find)
            else:
                found = f"found {original.count(find)} times"
            if at < 0:
                counts["stale"] += 1
                print(f"stale          {label} ({where}: {found})", flush=True)
                continue
            mutated = original[:at] + mutant["replace"].encode() + original[at + len(find):]
            targets = mutant["tests"].split()
            touched_targets.update(targets)
            log.write(f"\n===== {label} ({where})\n")
            log.flush()
            started = time.time()
            try:
                restorer.apply(rel, original, mutated)
                built = run(["cmake", "--build", args.build_dir, "-j", str(args.jobs), "--target"] + targets,
                            args.build_timeout, log)
                if built != 0:
                    outcome = "did-not-build"
                else:
                    outcome = "survived"
                    for target in targets:
                        cmd = [os.path.join(args.build_dir, "tests", target)]
                        if mutant.get("filter"):
                            cmd.append("--gtest_filter=" + mutant["filter"])
                        code = run(cmd, args.timeout, log, env)
                        log.write(f"----- {target}: {'timeout' if code is None else code}\n")
                        if code != 0:
                            outcome = "caught"
                            break
            finally:
                restorer.restore()
            counts[outcome] += 1
            if outcome == "survived":
                survivors.append(f"{label} ({where})")
            print(f"{outcome:<14} {label} ({int(time.time() - started)} s)", flush=True)

        # Leave the test programs built from the restored sources (ccache makes this quick).
        if touched_targets:
            run(["cmake", "--build", args.build_dir, "-j", str(args.jobs), "--target"] + sorted(touched_targets),
                args.build_timeout, log)

    scored = counts["caught"] + counts["survived"]
    print()
    print(", ".join(f"{value} {key}" for key, value in counts.items()))
    if scored:
        print(f"score: {counts['caught']} of {scored} caught ({100 * counts['caught'] // scored}%)")
    for line in survivors:
        print("survivor: " + line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
