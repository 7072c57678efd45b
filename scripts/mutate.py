"""Mutation testing: plants one fault at a time in a scratch copy of the tree, rebuilds only
what it touches, runs the tests that link it and reports the faults no test caught."""
import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from mutate_scan import find_mutants  # noqa: E402

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_PATHS = ["engine", "commands", "ui", "cli"]
SOURCE_SUFFIXES = (".cpp", ".h")
# Slow or unrelated: memcheck, the window, the soak and the GDI counts.
SKIPPED_TESTS = ("reliability_", "gui_")
# Code of its own on Windows: a branch on the platform or on the width of wchar_t, or a
# mend for the MinGW runtime. Sizes that only scale with wchar_t are the same code.
WINDOWS_MARKERS = ("_WIN32", "sizeof(wchar_t) ==", "MinGW")


def parse_args():
    p = argparse.ArgumentParser(prog="scripts/mutate", description=__doc__)
    p.add_argument("paths", nargs="*", help="files or folders (default: engine commands ui cli)")
    p.add_argument("--sample", type=int, default=0, help="test N mutants drawn at random")
    p.add_argument("--seed", type=int, default=1, help="seed of the sample")
    p.add_argument("--windows", action="store_true", help="MinGW-w64 build, tests under Wine")
    p.add_argument("--jobs", type=int, default=1, help="build jobs (default 1)")
    p.add_argument("--rerun", action="store_true", help="only the last run's survivors")
    p.add_argument("--list", action="store_true", help="print the mutants and stop")
    return p.parse_args()


def run(cmd, cwd, timeout=None, env=None):
    """Runs cmd in a session of its own: on a timeout the whole group is stopped, so
    that a program in an endless loop does not outlive the script that started it."""
    p = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         env=env, text=True, errors="replace", start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        p.communicate()
        raise
    return subprocess.CompletedProcess(cmd, p.returncode, out)


def tracked_files():
    out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                         cwd=ROOT, stdout=subprocess.PIPE, check=True).stdout
    return sorted({f for f in out.decode().split("\0") if f and (ROOT / f).is_file()})


def select_sources(paths, files, windows):
    """The mutated files: .cpp and .h under the given paths."""
    wanted = []
    for f in files:
        if not f.endswith(SOURCE_SUFFIXES):
            continue
        if paths:
            if not any(f == p.rstrip("/") or f.startswith(p.rstrip("/") + "/") for p in paths):
                continue
        else:
            if not any(f.startswith(d + "/") for d in DEFAULT_PATHS):
                continue
            # ui/win32 is only tested through the window, which is left out here.
            if f.startswith("ui/win32/"):
                continue
            if windows and not any(m in (ROOT / f).read_text() for m in WINDOWS_MARKERS):
                continue
        wanted.append(f)
    return wanted


def sync_tree(files, src):
    """Mirrors the working files into src; unchanged files keep their times, so that
    the build there stays incremental."""
    src.mkdir(parents=True, exist_ok=True)
    keep = set(files)
    for path in sorted(src.rglob("*"), reverse=True):
        rel = path.relative_to(src).as_posix()
        if path.is_file() and rel not in keep:
            path.unlink()
    for f in files:
        a, b = ROOT / f, src / f
        data = a.read_bytes()
        if not b.exists() or b.read_bytes() != data:
            b.parent.mkdir(parents=True, exist_ok=True)
            b.write_bytes(data)
            shutil.copymode(a, b)


class Build:
    def __init__(self, args):
        self.windows = args.windows
        self.jobs = max(1, args.jobs)
        base = ROOT / "build" / "mutate" / ("windows" if args.windows else "native")
        self.base, self.src, self.dir = base, base / "src", base / "build"
        self.env = dict(os.environ)
        # The Wine prefix of the working tree: one prefix per user is enough.
        self.env.setdefault("WINEPREFIX", str(ROOT / "build" / "wineprefix"))

    def configure(self):
        """Configures once; again only when the configure line itself changes."""
        cmd = ["cmake", "-S", str(self.src), "-B", str(self.dir), "-G", "Ninja",
               "-DCMAKE_BUILD_TYPE=Release",
               # Bounds checks in the standard containers and on plain arrays: a fault
               # that reads or writes one past the end stops the test instead of
               # touching whatever lies there.
               "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG -D_GLIBCXX_ASSERTIONS "
               "-fsanitize=bounds -fsanitize-undefined-trap-on-error",
               "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"]
        if self.windows:
            cmd.append("-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake")
        stamp = self.base / "configure.line"
        if (self.dir / "build.ninja").exists() and stamp.exists() and \
                stamp.read_text() == "\n".join(cmd):
            return
        shutil.rmtree(self.dir, ignore_errors=True)
        r = run(cmd, self.base, env=self.env)
        if r.returncode != 0:
            sys.exit("scripts/mutate: configure failed\n" + r.stdout[-3000:])
        stamp.write_text("\n".join(cmd))

    def ninja(self, targets, timeout=None):
        return run(["ninja", "-j", str(self.jobs)] + targets, self.dir, timeout, self.env)

    def tests(self):
        r = run(["ctest", "--show-only=json-v1"], self.dir, env=self.env)
        tests = []
        for t in json.loads(r.stdout)["tests"]:
            if t["name"].startswith(SKIPPED_TESTS):
                continue
            props = {p["name"]: p["value"] for p in t.get("properties", [])}
            cmd = t["command"]
            # Executables the test runs, as ninja targets relative to the build folder.
            targets = [os.path.relpath(c, self.dir) for c in cmd
                       if c.startswith(str(self.dir) + "/")]
            if "--gtest_brief=1" in cmd:
                cmd = cmd + ["--gtest_fail_fast"]
            tests.append({"name": t["name"], "command": cmd, "targets": targets,
                          "cwd": props.get("WORKING_DIRECTORY", str(self.dir)),
                          "env": props.get("ENVIRONMENT", [])})
        return tests

    def compile_db(self):
        """source path -> [(object path, compile command)], objects also by header."""
        db = json.loads((self.dir / "compile_commands.json").read_text())
        by_source = {}
        for e in db:
            if "output" not in e and " -o " not in e["command"]:
                continue  # a resource script (windres): no C++ to mutate
            obj = e["output"] if "output" in e else e["command"].split(" -o ")[1].split()[0]
            source = os.path.realpath(e["file"])
            by_source.setdefault(source, []).append(
                (str(Path(e["directory"]) / obj), e["command"], e["directory"], source))
        by_header = {}
        r = run(["ninja", "-t", "deps"], self.dir)
        current = None
        for line in r.stdout.splitlines():
            if line and not line.startswith(" "):
                current = str(self.dir / line.split(":")[0])
            elif line.strip() and current:
                by_header.setdefault(os.path.realpath(line.strip()), []).append(current)
        return by_source, by_header


def object_sets(build, sources):
    """For each relative source path: the (object, command, cwd, source) it goes into."""
    by_source, by_header = build.compile_db()
    command_of = {e[0]: e for entries in by_source.values() for e in entries}
    sets = {}
    for f in sources:
        real = os.path.realpath(build.src / f)
        entries = list(by_source.get(real, []))
        if not entries:
            entries = [command_of[o] for o in by_header.get(real, []) if o in command_of]
        sets[f] = entries
    return sets


def tests_for(build, tests, entries, rel):
    """The tests whose programs link one of the objects: the file's own area first."""
    area = rel.split("/")[0]
    wanted = []
    for t in tests:
        for target in t["targets"]:
            inputs = build.inputs.setdefault(
                target, set(run(["ninja", "-t", "inputs", target], build.dir).stdout.split()))
            sources = {os.path.realpath(build.dir / i) for i in inputs}
            if any(e[3] in sources for e in entries):
                wanted.append(t)
                break
    wanted.sort(key=lambda t: (t.get("late", False), area not in t["name"], t["time"]))
    return wanted


def test_env(build, test):
    """The build's environment with the test's own ENVIRONMENT property, as ctest sets it."""
    env = dict(build.env)
    env.update(kv.split("=", 1) for kv in test.get("env", []))
    return env


def run_tests(build, tests, timeout_factor=2):
    """'killed', 'timeout' or 'survived' after running the tests in order."""
    for t in tests:
        r = build.ninja(t["targets"])
        if r.returncode != 0:
            return "link error"
        try:
            r = run(t["command"], t["cwd"], timeout=timeout_factor * t["time"] + 2,
                    env=test_env(build, t))
        except subprocess.TimeoutExpired:
            return "timeout"
        if r.returncode != 0:
            return "killed"
    return "survived"


def compile_object(build, command, cwd, out):
    parts = command.split(" -o ")
    rest = parts[1].split(" ", 1)
    cmd = parts[0] + " -o " + str(out) + " " + rest[1]
    return subprocess.run(cmd, shell=True, cwd=cwd, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, env=build.env).returncode == 0


def try_mutant(build, mutant, entries, tests):
    path = build.src / mutant.path
    original = path.read_bytes()
    stat = path.stat()
    scratch = build.base / "mutant.o"
    path.write_text(mutant.apply(original.decode()))
    changed = []
    try:
        for obj, command, cwd, _ in entries:
            if not compile_object(build, command, cwd, scratch):
                return "compile error"
            if scratch.read_bytes() != Path(obj).read_bytes():
                changed.append((obj, scratch.read_bytes()))
        if not changed:
            return "equivalent"
        saved = []
        for obj, data in changed:
            o = Path(obj)
            saved.append((o, o.read_bytes(), o.stat().st_mtime_ns))
            o.write_bytes(data)
            # The recorded time keeps ninja's dependency log valid: no recompilation.
            os.utime(o, ns=(saved[-1][2], saved[-1][2]))
        forget_links(build)
        try:
            return run_tests(build, tests)
        finally:
            for o, data, mtime in saved:
                o.write_bytes(data)
                os.utime(o, ns=(mtime, mtime))
            forget_links(build)
    finally:
        path.write_bytes(original)
        os.utime(path, ns=(stat.st_atime_ns, stat.st_mtime_ns))


def forget_links(build):
    """Objects keep their recorded times (so that ninja's dependency log stays valid),
    hence ninja cannot see that an archive or program is out of date: they are removed
    and linked again from whatever objects are in place when a test needs them."""
    if build.linked is None:
        build.linked = [p for p in build.dir.rglob("*")
                        if p.is_file() and "CMakeFiles" not in p.parts and p.suffix != ".sh"
                        and (p.suffix in (".a", ".exe") or os.access(p, os.X_OK))]
    for p in build.linked:
        p.unlink(missing_ok=True)


def baseline(build, tests):
    """Times each test on the unchanged tree and splits the GoogleTest programs into
    their quick cases and their slow ones (20 ms or more), so that a mutant meets every
    quick case first. Kept for as long as the sources stay the same."""
    digest = hashlib.sha256()
    for p in sorted(build.src.rglob("*")):
        if p.is_file():
            digest.update(p.as_posix().encode() + p.read_bytes())
    cache = build.base / "baseline.json"
    if cache.exists():
        saved = json.loads(cache.read_text())
        if saved.get("digest") == digest.hexdigest():
            return saved["tests"]
    quick, slow = [], []
    for t in tests:
        gtest = "--gtest_fail_fast" in t["command"]
        command = t["command"] + (["--gtest_print_time=1", "--gtest_brief=0"] if gtest else [])
        r = run(command, t["cwd"], env=test_env(build, t))
        if r.returncode != 0:
            sys.exit(f"scripts/mutate: {t['name']} fails without a mutant\n{r.stdout[-3000:]}")
        cases = re.findall(r"^\[\s+OK \] (\S+) \((\d+) ms\)", r.stdout, re.M)
        slow_cases = [name for name, ms in cases if int(ms) >= 20]
        if not gtest or not slow_cases:
            quick.append(dict(t, time=timed(t, build)))
            continue
        pattern = ":".join(slow_cases)
        fast = dict(t, name=t["name"] + " (quick)", command=t["command"] + ["--gtest_filter=-" + pattern])
        quick.append(dict(fast, time=timed(fast, build)))
        late = dict(t, name=t["name"] + " (slow)", command=t["command"] + ["--gtest_filter=" + pattern])
        slow.append(dict(late, time=timed(late, build)))
    for t in slow:
        t["late"] = True
    cache.write_text(json.dumps({"digest": digest.hexdigest(), "tests": quick + slow}))
    return quick + slow


def timed(t, build):
    start = time.time()
    r = run(t["command"], t["cwd"], env=test_env(build, t))
    if r.returncode != 0:
        sys.exit(f"scripts/mutate: {t['name']} fails without a mutant\n{r.stdout[-3000:]}")
    return time.time() - start


def last_results(path):
    """mutant key -> status of its latest run; results accumulate over the runs."""
    last = {}
    if path.exists():
        for line in path.read_text().splitlines():
            r = json.loads(line)
            last[r["key"]] = r["status"]
    return last


def line_text(mutant, text):
    start = text.rfind("\n", 0, mutant.start) + 1
    end = text.find("\n", mutant.start)
    return text[start:end if end >= 0 else len(text)].strip()


def shorten(s, width=60):
    s = " ".join(s.split())
    return s if len(s) <= width else s[:width - 3] + "..."


def main():
    args = parse_args()
    build = Build(args)
    build.inputs, build.linked = {}, None
    files = tracked_files()
    sources = select_sources(args.paths, files, args.windows)
    mutants = []
    for f in sources:
        mutants += find_mutants(f, (ROOT / f).read_text())
    results_path = build.base / "results.jsonl"
    if args.rerun:
        last = last_results(results_path)
        mutants = [m for m in mutants if last.get(m.key()) == "survived"]
    elif args.windows:
        # The Windows suite is the same suite: what it killed natively stays killed.
        # Left are the mutants in code only the Windows build compiles (the same
        # object natively) and those that survived there.
        native = last_results(ROOT / "build" / "mutate" / "native" / "results.jsonl")
        mutants = [m for m in mutants if native.get(m.key(), "survived") in
                   ("survived", "equivalent", "not built")]
    if args.sample and args.sample < len(mutants):
        mutants = sorted(random.Random(args.seed).sample(mutants, args.sample),
                         key=lambda m: (m.path, m.start))
    if args.list:
        for m in mutants:
            print(f"{m.path}:{m.line}: {shorten(m.original)} -> {shorten(m.replacement)}")
        print(f"{len(mutants)} mutants")
        return 0

    sync_tree(files, build.src)
    build.configure()
    print(f"== baseline build and tests in {build.dir}", flush=True)
    r = build.ninja([])
    if r.returncode != 0:
        sys.exit("scripts/mutate: the unchanged tree does not build\n" + r.stdout[-3000:])
    tests = baseline(build, build.tests())
    sets = object_sets(build, sources)
    texts = {f: (ROOT / f).read_text() for f in sources}
    counts, survivors = {}, []
    started = time.time()
    results_path.parent.mkdir(parents=True, exist_ok=True)
    with results_path.open("a") as log:
        for n, m in enumerate(mutants, 1):
            entries = sets.get(m.path, [])
            t0 = time.time()
            chosen = tests_for(build, tests, entries, m.path) if entries else []
            if not entries:
                status = "not built"
            elif not chosen:
                status = "no test"
            else:
                status = try_mutant(build, m, entries, chosen)
            c = counts.setdefault(m.path, {})
            c[status] = c.get(status, 0) + 1
            where = f"{m.path}:{m.line}: {shorten(m.original)} -> {shorten(m.replacement)}"
            if status == "survived":
                survivors.append(f"{where}    | {line_text(m, texts[m.path])}")
            print(f"[{n}/{len(mutants)}] {status:13} {time.time() - t0:5.1f}s  {where}", flush=True)
            log.write(json.dumps({"key": m.key(), "status": status, "where": where}) + "\n")
            log.flush()
    report(counts, survivors, len(mutants), time.time() - started)
    return 1 if survivors else 0


def report(counts, survivors, total, seconds):
    print("\n== summary per file (killed counts timeouts; equivalent: same object code)")
    head = f"{'file':32} {'mutants':>7} {'killed':>6} {'survived':>8} {'equiv':>5} {'no build':>8} {'score':>6}"
    print(head)
    sums = {}
    for f in sorted(counts):
        c = counts[f]
        for k, v in c.items():
            sums[k] = sums.get(k, 0) + v
        print(line_for(f, c))
    print(line_for("all", sums))
    print(f"\n{total} mutants in {seconds:.0f} s ({seconds / max(total, 1):.2f} s each)")
    print(f"\n== {len(survivors)} survivors")
    for s in survivors:
        print(s)


def line_for(name, c):
    killed = c.get("killed", 0) + c.get("timeout", 0) + c.get("link error", 0)
    survived = c.get("survived", 0)
    tested = killed + survived
    score = f"{100 * killed / tested:.1f}%" if tested else "-"
    errors = c.get("compile error", 0)
    total = sum(c.values())
    return (f"{name:32} {total:7} {killed:6} {survived:8} {c.get('equivalent', 0):5} "
            f"{c.get('not built', 0):8} {score:>6}" + (f"  ({errors} compile errors)" if errors else ""))


if __name__ == "__main__":
    sys.exit(main())
