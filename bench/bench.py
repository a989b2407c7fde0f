#!/usr/bin/python3
"""Measures the release Tavu.exe under Wine 10 (WoW64) against bench/baseline (./run bench).

Each program works in a folder of its own under <out>/work, beside the stand-in messenger as ICQ.exe,
and the two take turns (Tavu.exe, baseline, Tavu.exe, ...). A Markdown table of the ratios Tavu.exe /
baseline is printed and saved to <out>/results.md; docs/performance.md explains the figures.

Everything is seen from the Linux side. `tools/wine10 run wine64 X.exe` runs Wine's 64-bit start.exe,
which starts the 32-bit X.exe as a process of its own, double-forked the Wine way: orphaned at once.
The bench is the child subreaper, so X.exe's process, and the messenger's that X.exe starts, become
its children: it tells them apart by their command lines, samples /proc/<pid> and reaps them.
- Latency: from just before the spawn (or from when X.exe's process is first seen, which leaves out
  the namespace of tools/wine10 and start.exe) to the stand-in's write of its log line: the
  modification time of standin.log, the kernel's CLOCK_REALTIME to a clock tick, as time.time_ns().
- CPU time of the wait: the process's CPU time when reaped, minus its threads' run time (schedstat)
  sampled last before the messenger's first moment; so it errs high by a sampling interval at most.
- Memory: the peak resident set (VmHWM) of the process, last read before it ended.
"""

import argparse
import ctypes
import datetime
import os
import statistics
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
WINE10 = str(ROOT / "tools/wine10")
LOADER = "/usr/lib/wine/wine64"
INI = "[Brindle]\r\nNoInfo=1\r\nMaxNr=5\r\nLastNr=0\r\nStarts=1\r\n"  # silent, 1-second ticks
LAUNCH_CFG = "0 200"  # side file at once: the launcher ends at its first tick
WAIT_CFG = "-1 200"  # no side file: the launcher waits all six ticks, alone after 0.2 s
WAIT_PAIRS = 3
SAMPLE_S = 0.004
SETTLE_S = 0.2  # what Wine still tidies up after a run falls on neither program's next one
GOAL_LATENCY, GOAL_WAIT_MS, GOAL_MEMORY, GOAL_SIZE_KIB = 1.15, 50.0, 1.5, 128


def fail(message: str):
    raise SystemExit(f"bench: {message}")


def read(path: str) -> str:
    try:
        with open(path, "rb") as file:
            return file.read().replace(b"\0", b" ").decode(errors="replace")
    except OSError:
        return ""


@dataclass
class Process:
    """A Windows program's process, sampled while it runs."""

    pid: int
    seen_ns: int  # when first seen as a child of the bench
    threads: dict[str, int] = field(default_factory=dict)  # run time in ns; an ended thread keeps its last
    peak_kib: int = 0
    samples: list[tuple[int, int]] = field(default_factory=list)  # (wall clock, run time so far)

    def sample(self) -> None:
        try:
            tids = os.listdir(f"/proc/{self.pid}/task")
        except OSError:
            return
        for tid in tids:
            stat = read(f"/proc/{self.pid}/task/{tid}/schedstat").split()
            if stat:
                self.threads[tid] = int(stat[0])
        for line in read(f"/proc/{self.pid}/status").splitlines():
            if line.startswith("VmHWM:"):  # the last reading: an exec would start it afresh
                self.peak_kib = int(line.split()[1])
        self.samples.append((time.time_ns(), sum(self.threads.values())))


@dataclass
class Run:
    latency_ms: float
    own_latency_ms: float  # from when the program's own process was first seen
    wait_cpu_ms: float  # from the messenger's first moment to the end
    peak_mib: float
    after_first_s: float  # how long the program lived after the messenger's first moment


class Bench:
    def __init__(self, work: Path):
        self.work = work
        if ctypes.CDLL(None).prctl(36, 1, 0, 0, 0) != 0:  # PR_SET_CHILD_SUBREAPER
            fail("cannot become the child subreaper")
        self.ended: dict[int, tuple[int, float]] = {}  # pid -> exit status, CPU seconds

    def reap(self) -> None:
        while True:
            try:
                pid, status, usage = os.wait4(-1, os.WNOHANG)
            except ChildProcessError:
                return
            if pid == 0:
                return
            self.ended[pid] = (os.waitstatus_to_exitcode(status), usage.ru_utime + usage.ru_stime)

    def run(self, exe: str, cfg: str) -> Run:
        folder = self.work / Path(exe).stem.lower()
        for old in [*folder.glob("*.csassembly"), folder / "standin.log"]:
            old.unlink(missing_ok=True)
        (folder / "standin.cfg").write_text(cfg)
        known = set(self.ended) | set(self.children())
        spawn_ns = time.time_ns()
        quiet = subprocess.DEVNULL
        wrapper = subprocess.Popen([WINE10, "run", LOADER, str(folder / exe)], cwd=folder, stdin=quiet,
                                   stdout=quiet, stderr=quiet)
        known.add(wrapper.pid)
        program: Process | None = None
        messenger = None
        deadline = time.monotonic() + 60
        while not all(pid in self.ended for pid in (wrapper.pid, program and program.pid, messenger)):
            for pid in set(self.children()) - known:
                # Wine shows a Windows process's command line; until its exec a new one shows its parent's.
                line = read(f"/proc/{pid}/cmdline").lower()
                if program is None and exe.lower() in line:
                    program = Process(pid, seen_ns=time.time_ns())
                    known.add(pid)
                elif messenger is None and "icq.exe" in line:
                    messenger = pid
                    known.add(pid)
            if program:
                program.sample()
            self.reap()
            if time.monotonic() > deadline:
                fail(f"{exe} did not end with its messenger within a minute (a message box?)")
            time.sleep(SAMPLE_S)
        wrapper.returncode = self.ended[wrapper.pid][0]  # reaped here, not by Popen
        status, cpu_s = self.ended[program.pid]
        lines = read(str(folder / "standin.log")).splitlines()
        if status != 0 or len(lines) != 1 or not lines[0].split("|")[0][-1].isdigit():
            fail(f"{exe} ended with {status}; the messenger logged {lines} where one start of a copy was due")
        first_ns = (folder / "standin.log").stat().st_mtime_ns
        before = [cpu for at, cpu in program.samples if at <= first_ns]
        if not before or program.peak_kib == 0:
            fail(f"{exe} was not sampled before its messenger's start")
        time.sleep(SETTLE_S)
        return Run(latency_ms=(first_ns - spawn_ns) / 1e6, own_latency_ms=(first_ns - program.seen_ns) / 1e6,
                   wait_cpu_ms=cpu_s * 1e3 - before[-1] / 1e6, peak_mib=program.peak_kib / 1024,
                   after_first_s=(program.samples[-1][0] - first_ns) / 1e9)

    @staticmethod
    def children() -> list[int]:
        return [int(pid) for pid in read(f"/proc/self/task/{os.getpid()}/children").split()]


def lay_out(work: Path, build: Path) -> dict[str, Path]:
    exes = {"Tavu.exe": build / "Tavu.exe", "baseline.exe": build / "bench/baseline.exe"}
    for path in [*exes.values(), build / "standin.exe"]:
        if not path.is_file():
            fail(f"{path} is missing: build the win32 preset first")
    for name, path in exes.items():
        folder = work / path.stem.lower()
        folder.mkdir(parents=True, exist_ok=True)
        for old in folder.iterdir():
            old.unlink()
        (folder / name).write_bytes(path.read_bytes())
        (folder / "ICQ.exe").write_bytes((build / "standin.exe").read_bytes())
        if name == "Tavu.exe":
            (folder / "tavu.ini").write_bytes(INI.encode())
    return exes


def pairs(bench: Bench, count: int, cfg: str, what: str) -> dict[str, list[Run]]:
    """ABAB...: both programs meet the same moods of a shared machine."""
    print(f"bench: {what}, {count} pairs ", end="", flush=True)
    runs: dict[str, list[Run]] = {"Tavu.exe": [], "baseline.exe": []}
    for _ in range(count):
        for exe, results in runs.items():
            results.append(bench.run(exe, cfg))
        print(".", end="", flush=True)
    print(flush=True)
    return runs


def table(launch: dict[str, list[Run]], wait: dict[str, list[Run]], sizes: dict[str, int]) -> list[str]:
    lines = ["| Figure | Tavu.exe min | Tavu.exe median | Baseline min | Baseline median | Ratio of minima "
             "| Ratio of medians | Goal | Met |", "|---|---:|---:|---:|---:|---:|---:|---|---|"]

    def row(name: str, tavu: list[float], base: list[float], goal: str, met: bool) -> None:
        figures = [min(tavu), statistics.median(tavu), min(base), statistics.median(base)]
        lines.append(f"| {name} | " + " | ".join(f"{value:.1f}" for value in figures) +
                     f" | {figures[0] / figures[2]:.2f}x | {figures[1] / figures[3]:.2f}x | {goal} "
                     f"| {'yes' if met else '**no**'} |")

    def ratios_met(tavu: list[float], base: list[float], goal: float) -> bool:
        return max(min(tavu) / min(base), statistics.median(tavu) / statistics.median(base)) <= goal

    latency = [[run.latency_ms for run in launch[exe]] for exe in ("Tavu.exe", "baseline.exe")]
    row("Launch latency, spawn to the messenger's first moment (ms)", *latency,
        f"<= {GOAL_LATENCY:.2f}x", ratios_met(*latency, GOAL_LATENCY))
    own = [[run.own_latency_ms for run in launch[exe]] for exe in ("Tavu.exe", "baseline.exe")]
    row("Launch latency, the program's own process to the messenger's first moment (ms)", *own,
        f"<= {GOAL_LATENCY:.2f}x", ratios_met(*own, GOAL_LATENCY))
    cpu = [[run.wait_cpu_ms for run in wait[exe]] for exe in ("Tavu.exe", "baseline.exe")]
    row("CPU time of the six-tick wait, messenger's first moment to the end (ms)", *cpu,
        f"every run < {GOAL_WAIT_MS:.0f} ms", max(cpu[0]) < GOAL_WAIT_MS)
    memory = [[run.peak_mib for run in launch[exe]] for exe in ("Tavu.exe", "baseline.exe")]
    row("Peak memory (VmHWM) during a launch (MiB)", *memory, f"<= {GOAL_MEMORY:.1f}x",
        ratios_met(*memory, GOAL_MEMORY))
    size = [sizes["Tavu.exe"] / 1024, sizes["baseline.exe"] / 1024]
    row("Size of the executable (KiB)", [size[0]], [size[1]], f"Tavu.exe <= {GOAL_SIZE_KIB} KiB",
        sizes["Tavu.exe"] <= GOAL_SIZE_KIB * 1024)
    return lines


def positive(text: str) -> int:
    if int(text) < 1:
        raise argparse.ArgumentTypeError("must be at least 1")
    return int(text)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", type=Path, default=ROOT / "build/win32", help="the win32 build folder")
    parser.add_argument("--out", type=Path, default=ROOT / "build/bench", help="results and work folders")
    parser.add_argument("--runs", type=positive, default=20, help="launches of each program (20)")
    options = parser.parse_args()
    out = options.out.resolve()
    exes = lay_out(out / "work", options.build.resolve())
    wine = subprocess.run([WINE10, "run", LOADER, "--version"], capture_output=True, text=True).stdout.strip()
    started, load = datetime.datetime.now(datetime.timezone.utc), os.getloadavg()
    print(f"bench: {wine}, {os.cpu_count()} CPUs, load average {load[0]:.2f}", flush=True)

    bench = Bench(out / "work")
    pairs(bench, 1, LAUNCH_CFG, "warm-up")  # file cache, Wine's own files
    launch = pairs(bench, options.runs, LAUNCH_CFG, "launch latency and memory")
    wait = pairs(bench, WAIT_PAIRS, WAIT_CFG, "CPU time of the six-tick wait (13 s a pair)")
    if min(run.after_first_s for runs in wait.values() for run in runs) < 5:
        fail("a program ended within 5 s of its messenger's start: that was no six-tick wait")

    text = "\n".join([
        f"# Brindle bench, {started:%Y-%m-%d %H:%M} UTC", "",
        f"Release Tavu.exe (i686) against bench/baseline (i686), {wine} in WoW64 mode on Xvfb, "
        f"{os.cpu_count()} CPUs shared, load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} at the start, "
        f"{os.getloadavg()[0]:.2f} at the end. Runs alternate (ABAB...): {options.runs} launches and "
        f"{WAIT_PAIRS} six-tick waits of each. Ratios: Tavu.exe / baseline.", "",
        *table(launch, wait, {name: path.stat().st_size for name, path in exes.items()}), ""])
    print(text, end="")
    (out / "results.md").write_text(text)
    print(f"bench: saved to {out / 'results.md'}")


if __name__ == "__main__":
    main()
