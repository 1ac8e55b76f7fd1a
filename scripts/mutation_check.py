#!/usr/bin/env python3
"""Mutation check, run by hand: plants one small fault at a time (scripts/mutations.txt) in a
scratch copy of the tree, builds it and runs the tests, and reports which faults the tests
caught. Comparing the figure before and after a change to the tests shows whether the tests
lost any power to find faults. Run scripts/mutation-check.sh --help for the options."""

import argparse
import datetime
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
DELIMITER = "@@"
# The tests left out unless --exclude-tests says otherwise: none, since the whole suite takes
# about 40 s on two cores. Runs whose figures are compared must use the same set; the report
# names it.
DEFAULT_EXCLUDE = ""


@dataclass
class Mutation:
    name: str
    path: str
    find: str
    replace: str
    line: int  # in the list file


@dataclass
class Outcome:
    result: str  # caught, missed, build-failed, not-applied
    detail: str = ""
    seconds: float = 0.0


@dataclass
class TestRun:
    passed: bool
    timed_out: bool = False
    failed: list = field(default_factory=list)
    total: int = 0
    seconds: float = 0.0
    exit_code: int = 0
    output: str = ""
    unfinished: list = field(default_factory=list)


def read_list(list_file):
    """The mutations of the list file: one a line, NAME @@ PATH @@ FIND @@ REPLACE."""
    mutations, names, errors = [], set(), []
    for number, raw in enumerate(list_file.read_text().splitlines(), 1):
        text = raw.strip()
        if not text or text.startswith("#"):
            continue
        parts = [p.strip() for p in text.split(DELIMITER)]  # an empty REPLACE deletes FIND
        if len(parts) != 4:
            errors.append(f"{list_file.name}:{number}: expected NAME @@ PATH @@ FIND @@ REPLACE")
            continue
        name, path, find, replace = parts
        if not name or not path or not find or find == replace:
            errors.append(f"{list_file.name}:{number}: empty field or a replacement that changes nothing")
        elif name in names:
            errors.append(f"{list_file.name}:{number}: the name {name} is used twice")
        else:
            names.add(name)
            mutations.append(Mutation(name, path, find, replace, number))
    return mutations, errors


def git_files():
    out = subprocess.run(
        ["git", "ls-files", "-z", "-co", "--exclude-standard"],
        cwd=REPO, check=True, capture_output=True,
    ).stdout
    return [f for f in out.decode().split("\0") if f]


def sync_tree(tree):
    """Makes tree a copy of the work tree's files (tracked and untracked, not ignored). Only
    files whose content differs are written, so the scratch build stays incremental; they get
    a fresh time stamp, so the build never takes a changed file for an old one."""
    tree.mkdir(parents=True, exist_ok=True)
    wanted = set()
    written = 0
    for name in git_files():
        source = REPO / name
        if not source.is_file():
            continue  # deleted in the work tree but not yet in the index
        wanted.add(name)
        target = tree / name
        if target.is_file() and target.read_bytes() == source.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
        shutil.copymode(source, target)
        written += 1
    removed = 0
    for path in tree.rglob("*"):
        relative = path.relative_to(tree).as_posix()
        if relative.split("/")[0] == "build" or not path.is_file():
            continue
        if relative not in wanted:
            path.unlink()
            removed += 1
    return written, removed


def run_logged(command, cwd, timeout=None, env=None):
    """Runs a command in a process group of its own; on timeout the whole group is killed
    (tests start viewers, X servers and shells). Returns (exit code or None, output)."""
    process = subprocess.Popen(
        command, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
        start_new_session=True, text=True, errors="replace",
    )
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        return None, output
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        raise


def build(tree, jobs):
    build_dir = tree / "build" / "release"
    if not (build_dir / "build.ninja").is_file():
        code, output = run_logged(["cmake", "--preset", "release"], tree)
        if code != 0:
            return False, output
    code, output = run_logged(["cmake", "--build", str(build_dir), "-j", str(jobs)], tree)
    return code == 0, output


def first_error(output):
    for line in output.splitlines():
        if "error" in line.lower():
            return line.strip()[:200]
    return output.strip().splitlines()[-1][:200] if output.strip() else "no output"


FAILED_LINE = re.compile(r"^\s*\d+ - (\S+) \((.+)\)\s*$")
TOTAL_LINE = re.compile(r"tests passed, (\d+) tests? failed out of (\d+)")
START_LINE = re.compile(r"^\s*Start\s+\d+: (\S+)")
DONE_LINE = re.compile(r"Test\s+#\d+: (\S+) ")


def run_tests(tree, args, run_timeout, only=None):
    """One ctest run over the chosen set, or over the tests named in only. The tests get a
    temporary directory of their own, so that runs of other trees on the machine cannot
    collide with them over fixed file names."""
    command = ["ctest", "--test-dir", str(tree / "build" / "release"), "-j", str(args.jobs),
               "--timeout", str(args.test_timeout)]
    if only:
        command += ["-R", "^(" + "|".join(re.escape(name) for name in only) + ")$"]
    elif args.exclude_tests:
        command += ["-E", args.exclude_tests]
    temp = args.work.resolve() / "tmp"
    shutil.rmtree(temp, ignore_errors=True)
    temp.mkdir(parents=True)
    env = dict(os.environ, TMPDIR=str(temp), TEST_TMPDIR=str(temp))
    start = time.monotonic()
    code, output = run_logged(command, tree, run_timeout, env)
    run = TestRun(passed=code == 0, timed_out=code is None,
                  exit_code=-1 if code is None else code,
                  seconds=time.monotonic() - start, output=output)
    total = TOTAL_LINE.search(output)
    if total:
        run.total = int(total.group(2))
    in_failed = False
    started, done = [], set()
    for line in output.splitlines():
        if line.startswith("The following tests FAILED"):
            in_failed = True
            continue
        match = FAILED_LINE.match(line) if in_failed else None
        if match:
            run.failed.append((match.group(1), match.group(2)))
        elif START_LINE.match(line):
            started.append(START_LINE.match(line).group(1))
        elif DONE_LINE.search(line):
            done.add(DONE_LINE.search(line).group(1))
    run.unfinished = [name for name in started if name not in done]
    if run.total == 0 and code == 0:
        run.passed = False  # no tests ran: nothing was checked
    return run


def listed(names, limit=3):
    shown = ", ".join(names[:limit])
    return shown + (f" and {len(names) - limit} more" if len(names) > limit else "")


def judge(tree, args, run_timeout, log):
    """Runs the tests on a mutated tree and tells whether they caught it. A run that passes its
    time limit gets a second run with twice the limit (a busy machine is not a hang), and
    failures are confirmed by running the failed tests again (a test that fails once by chance
    has not caught anything)."""
    run = run_tests(tree, args, run_timeout)
    log.append(run.output)
    if run.timed_out:
        run = run_tests(tree, args, 2 * run_timeout)
        log.append(run.output)
        if run.timed_out:
            return Outcome("caught", "the test run passed its time limit twice; unfinished: "
                           + (listed(run.unfinished) or "none"))
    if run.passed:
        return Outcome("missed", f"all {run.total} tests passed")
    names = [name for name, _ in run.failed]
    if not names:
        return Outcome("caught", f"ctest ended with {run.exit_code}")
    again = run_tests(tree, args, run_timeout, only=names)
    log.append(again.output)
    if again.timed_out:
        return Outcome("caught", f"{listed(names)} failed, then passed the time limit")
    repeated = [f"{name} ({status})" for name, status in again.failed]
    if not repeated:
        return Outcome("missed", f"failures did not repeat: {listed(names)}")
    return Outcome("caught", f"{len(repeated)} failed: {listed(repeated)}")


def apply_count(text, mutation):
    return text.count(mutation.find)


def check_only(mutations, list_file):
    """Tells which mutations still apply to the work tree, without building anything."""
    missing = 0
    for m in mutations:
        source = REPO / m.path
        count = apply_count(source.read_text(), m) if source.is_file() else 0
        state = "applies" if count == 1 else ("not found" if count == 0 else f"found {count} times")
        if count != 1:
            missing += 1
        where = f"  ({list_file.name} line {m.line})" if count != 1 else ""
        print(f"{state:14} {m.name:40} {m.path}{where}")
    print(f"{len(mutations) - missing} of {len(mutations)} apply")
    return 0 if missing == 0 else 1


def repo_state():
    head = subprocess.run(["git", "rev-parse", "--short", "HEAD"], cwd=REPO,
                          capture_output=True, text=True).stdout.strip()
    branch = subprocess.run(["git", "rev-parse", "--abbrev-ref", "HEAD"], cwd=REPO,
                            capture_output=True, text=True).stdout.strip()
    dirty = subprocess.run(["git", "status", "--porcelain", "--untracked-files=no"], cwd=REPO,
                           capture_output=True, text=True).stdout.strip()
    return f"{branch} at {head}" + (" with uncommitted changes" if dirty else "")


def main():
    parser = argparse.ArgumentParser(
        description="Plant each fault of the mutation list in a scratch copy of the tree, build, "
        "run the tests, and report which faults the tests caught.")
    parser.add_argument("--list", type=Path, default=REPO / "scripts" / "mutations.txt",
                        help="the mutation list (default: scripts/mutations.txt)")
    parser.add_argument("--filter", metavar="REGEX",
                        help="only the mutations whose name or file path this matches")
    parser.add_argument("--work", type=Path,
                        default=Path(os.environ.get("TMPDIR", "/tmp")) / "qvl-mutation-check",
                        help="scratch directory, kept between runs so that builds are incremental "
                        "(default: $TMPDIR/qvl-mutation-check)")
    parser.add_argument("--exclude-tests", metavar="REGEX", default=DEFAULT_EXCLUDE,
                        help="tests to leave out, as ctest -E takes it (default: none)")
    parser.add_argument("--test-timeout", type=int, default=60, metavar="SECONDS",
                        help="ctest --timeout, for tests without a limit of their own (default 60)")
    parser.add_argument("--run-timeout", type=int, metavar="SECONDS",
                        help="limit of one whole test run; a mutation that passes it counts as "
                        "caught (default: three times the unmutated run, at least 120)")
    parser.add_argument("--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--report", type=Path, help="also write the report to this file")
    parser.add_argument("--check", action="store_true",
                        help="only tell which mutations apply to the work tree; build nothing")
    args = parser.parse_args()

    mutations, errors = read_list(args.list)
    for error in errors:
        print(error, file=sys.stderr)
    if errors:
        return 2
    if args.filter:
        pattern = re.compile(args.filter)
        mutations = [m for m in mutations if pattern.search(m.name) or pattern.search(m.path)]
    if not mutations:
        print("no mutation selected", file=sys.stderr)
        return 2
    if args.check:
        return check_only(mutations, args.list)

    started = time.monotonic()
    tree = args.work.resolve() / "tree"
    if REPO in tree.parents or tree == REPO:
        print("the scratch directory must lie outside the repository", file=sys.stderr)
        return 2
    lines = []

    def say(text=""):
        print(text, flush=True)
        lines.append(text)

    say(f"mutation check of branch {repo_state()}, {datetime.datetime.now():%Y-%m-%d %H:%M}")
    written, removed = sync_tree(tree)
    print(f"scratch tree {tree}: {written} files written, {removed} removed", flush=True)
    ok, output = build(tree, args.jobs)
    if not ok:
        print(output[-4000:], file=sys.stderr)
        print("the unmutated tree does not build", file=sys.stderr)
        return 1
    baseline = run_tests(tree, args, None)
    if not baseline.passed:
        baseline = run_tests(tree, args, None)  # a second chance for a test that failed by chance
    if not baseline.passed:
        print(baseline.output[-4000:], file=sys.stderr)
        failed = [f"{name} ({status})" for name, status in baseline.failed]
        print(f"the unmutated tree fails its tests ({listed(failed) or 'time limit'}); "
              "a mutation check needs a passing suite", file=sys.stderr)
        return 1
    run_timeout = args.run_timeout or max(120, int(3 * baseline.seconds))
    excluded = f"ctest -E '{args.exclude_tests}'" if args.exclude_tests else "every test"
    say(f"tests: {excluded}, {baseline.total} tests, unmutated run {baseline.seconds:.0f} s; "
        f"per-test limit {args.test_timeout} s (tests' own limits kept), run limit {run_timeout} s")
    say(f"mutations: {len(mutations)} from {args.list.name}"
        + (f" matching '{args.filter}'" if args.filter else "")
        + f"; build and test output of each in {args.work.resolve() / 'logs'}")
    say()

    logs = args.work.resolve() / "logs"
    logs.mkdir(parents=True, exist_ok=True)
    outcomes = {}
    for index, m in enumerate(mutations, 1):
        source = tree / m.path
        began = time.monotonic()
        original = source.read_text() if source.is_file() else None
        count = apply_count(original, m) if original is not None else 0
        if count != 1:
            why = "file not found" if original is None else (
                "text not found" if count == 0 else f"text found {count} times")
            outcome = Outcome("not-applied", why)
        else:
            log = []
            try:
                source.write_text(original.replace(m.find, m.replace, 1))
                ok, output = build(tree, args.jobs)
                log.append(output)
                if not ok:
                    outcome = Outcome("build-failed", first_error(output))
                else:
                    outcome = judge(tree, args, run_timeout, log)
            finally:
                source.write_text(original)  # a fresh time stamp: the next build recompiles it
                (logs / f"{m.name}.log").write_text("\n".join(log))
        outcome.seconds = time.monotonic() - began
        outcomes[m.name] = outcome
        say(f"[{index:2}/{len(mutations)}] {outcome.result:12} {m.name:40} {m.path} "
            f"({outcome.seconds:.0f} s) {outcome.detail}")

    def named(result):
        return [m.name for m in mutations if outcomes[m.name].result == result]

    caught, missed = named("caught"), named("missed")
    failed_builds, not_applied = named("build-failed"), named("not-applied")
    applied = len(caught) + len(missed)
    say()
    say(f"caught {len(caught)} of {applied} applied (missed: {', '.join(missed) or 'none'})")
    say(f"not applied {len(not_applied)}" + (f": {', '.join(not_applied)}" if not_applied else ""))
    say(f"build failed {len(failed_builds)}"
        + (f": {', '.join(failed_builds)} (fix these in the list)" if failed_builds else ""))
    say(f"whole run {(time.monotonic() - started) / 60:.1f} min")
    if args.report:
        args.report.parent.mkdir(parents=True, exist_ok=True)
        args.report.write_text("\n".join(lines) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
