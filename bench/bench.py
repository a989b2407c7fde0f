#!/usr/bin/python3
"""Measures Tavu.exe under Wine 10 against bench/baseline, or against another Tavu.exe (./run bench
[--runs N] [--against OTHER.exe]): the i686 release, in WoW64 mode, or, where Wine cannot start 32-bit
programs, its x86_64 twin against an x86_64 baseline.

Each program works in a folder of its own under <out>/work, beside the stand-in messenger as ICQ.exe.
Every repetition runs both programs back to back (the order alternates from one repetition to the
next) and gives one ratio per figure; the table shows the median of those ratios with their quartiles.
It is printed and saved to <out>/results.md; docs/performance.md explains the figures.

Everything is seen from the Linux side, where every Windows program is a process of its own.
`tools/wine10 run wine64 start.exe /exec X.exe` runs Wine's 64-bit start.exe, which starts X.exe as a
process of its own, double-forked the Wine way: orphaned at once (Wine does the same by itself for a
32-bit X.exe; a 64-bit one it would run in the first process, a grandchild of the bench's that the
bench could not reap). The bench is the child subreaper, so X.exe's process, and the messenger's that
X.exe starts, become its children: it tells them apart by their command lines, samples /proc/<pid> and
reaps them.
- Latency: from the exec of the program's own process to the exec of the messenger's, both time-stamped
  by the kernel (the process-events connector, CLOCK_MONOTONIC in ns). Wine's start-up before the
  program's process (the namespace of tools/wine10, start.exe) is left out: both programs pay it alike.
  A second row ends instead at the stand-in's write of its log line (standin.log's modification time,
  to a clock tick): the messenger's own start-up, the same for both, thins that ratio out.
- CPU time of the wait: the process's CPU time when reaped, minus its threads' run time (schedstat)
  sampled last before the messenger's start; so it errs high by a sampling interval at most.
- Memory: the peak resident set (VmHWM) of the process, last read before it ended.
"""

import argparse
import ctypes
import datetime
import os
import socket
import statistics
import struct
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
WINE10 = str(ROOT / "tools/wine10")
LOADER = "/usr/lib/wine/wine64"
INI = "[Brindle]\r\nNoInfo=1\r\nMaxNr=5\r\nLastNr=0\r\nStarts=1\r\n"  # silent, 1-second ticks
LAUNCH_CFG = "0 1500"  # side file at once: the launcher ends at its first tick, its messenger after it
WAIT_CFG = "-1 200"  # no side file: the launcher waits all six ticks, alone after 0.2 s
WAIT_PAIRS = 3
RUNS = 60
SAMPLE_S = 0.004
SETTLE_S = 0.2  # what Wine still tidies up after a run falls on neither program's next one
GOAL_LATENCY, GOAL_WAIT_MS, GOAL_MEMORY, GOAL_SIZE_KIB = 1.15, 50.0, 1.25, 128


def fail(message: str):
    raise SystemExit(f"bench: {message}")


def read(path: str) -> str:
    try:
        with open(path, "rb") as file:
            return file.read().replace(b"\0", b" ").decode(errors="replace")
    except OSError:
        return ""


def windows_path(path: Path) -> str:
    """The path as Wine's drive Z: shows it (the repository is bound at its own path in Wine's chroot)."""
    return "Z:" + str(path).replace("/", "\\")


class ProcessEvents:
    """The kernel's process events (netlink connector): when each process exec'd, to the nanosecond.
    Every process of the machine is reported; only the first exec of each is kept."""

    HEADER = 16 + 20  # nlmsghdr, cn_msg
    EXEC = 0x2

    def __init__(self):
        self.socket = socket.socket(socket.AF_NETLINK, socket.SOCK_DGRAM, 11)  # NETLINK_CONNECTOR
        self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 8 << 20)
        self.socket.bind((os.getpid(), 1))  # CN_IDX_PROC
        listen = struct.pack("=IIIIHHI", 1, 1, 0, 0, 4, 0, 1)  # cn_msg for CN_IDX_PROC: PROC_CN_MCAST_LISTEN
        self.socket.send(struct.pack("=IHHII", 16 + len(listen), 3, 0, 0, os.getpid()) + listen)  # NLMSG_DONE
        self.socket.setblocking(False)
        self.exec_ns: dict[int, int] = {}
        self.lost = False

    def drain(self) -> None:
        while True:
            try:
                data = self.socket.recv(65536)
            except BlockingIOError:
                return
            except OSError:  # ENOBUFS: events were dropped while the machine was busy
                self.lost = True
                continue
            offset = 0
            while offset + self.HEADER + 24 <= len(data):
                length = struct.unpack_from("=I", data, offset)[0]
                what, _, stamp = struct.unpack_from("=IIQ", data, offset + self.HEADER)
                if what == self.EXEC:
                    tgid = struct.unpack_from("=II", data, offset + self.HEADER + 16)[1]
                    self.exec_ns.setdefault(tgid, stamp)
                offset += max(length, 1) + (-length % 4)

    def forget(self) -> None:
        self.drain()
        self.exec_ns.clear()
        self.lost = False


@dataclass
class Process:
    """A Windows program's process, sampled while it runs."""

    pid: int
    threads: dict[str, int] = field(default_factory=dict)  # run time in ns; an ended thread keeps its last
    peak_kib: int = 0
    samples: list[tuple[int, int]] = field(default_factory=list)  # (monotonic clock, run time so far)

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
        self.samples.append((time.monotonic_ns(), sum(self.threads.values())))


@dataclass
class Run:
    latency_ms: float  # the program's exec to the messenger's exec
    log_latency_ms: float  # the program's exec to the stand-in's log line
    wait_cpu_ms: float  # from the messenger's start to the end
    peak_mib: float
    after_first_s: float  # how long the program lived after the messenger's start


@dataclass
class Program:
    name: str  # of the folder under <out>/work, and in the table
    exe: Path  # the file laid out there as Tavu.exe or baseline.exe

    @property
    def file(self) -> str:
        return "baseline.exe" if self.name == "baseline" else "Tavu.exe"


class Launch:
    """One program's launch, from its spawn until it and its messenger have ended."""

    def __init__(self, bench: "Bench", program: Program, cfg: str):
        self.bench, self.program = bench, program
        self.folder = bench.work / program.name
        for old in [*self.folder.glob("*.csassembly"), self.folder / "standin.log"]:
            old.unlink(missing_ok=True)
        (self.folder / "standin.cfg").write_text(cfg)
        quiet = subprocess.DEVNULL
        command = [WINE10, "run", LOADER, "start.exe", "/exec", windows_path(self.folder / program.file)]
        self.wrapper = subprocess.Popen(command, cwd=self.folder, stdin=quiet, stdout=quiet, stderr=quiet)
        bench.known.add(self.wrapper.pid)
        self.own: Process | None = None
        self.messenger: int | None = None
        # Wine shows a Windows program's command line, which starts with its Windows path (quoted or not);
        # start.exe's holds the program's path too, but later.
        self.marks = [windows_path(self.folder / name).lower() for name in (program.file, "ICQ.exe")]
        self.deadline = time.monotonic() + 60

    def claim(self, pid: int, line: str) -> bool:
        line = line.lstrip('"')
        if self.own is None and line.startswith(self.marks[0]):
            self.own = Process(pid)
        elif self.messenger is None and line.startswith(self.marks[1]):
            self.messenger = pid
        else:
            return False
        return True

    def logged(self) -> bool:
        """The messenger has written its log line: its start-up is behind it."""
        return bool(read(str(self.folder / "standin.log")))

    def ended(self) -> bool:
        if self.own:
            self.own.sample()
        if time.monotonic() > self.deadline:
            fail(f"{self.program.name} did not end with its messenger within a minute (a message box?)")
        return all(pid in self.bench.ended for pid in (self.wrapper.pid, self.own and self.own.pid, self.messenger))

    def result(self) -> Run | None:
        """The figures; None when the kernel dropped process events meanwhile (the machine was busy)."""
        name, own, events = self.program.name, self.own, self.bench.events
        self.wrapper.returncode = self.bench.ended[self.wrapper.pid][0]  # reaped by the bench, not by Popen
        status, cpu_s = self.bench.ended[own.pid]
        lines = read(str(self.folder / "standin.log")).splitlines()
        if status != 0 or len(lines) != 1 or not lines[0].split("|")[0][-1].isdigit():
            fail(f"{name} ended with {status}; the messenger logged {lines} where one start of a copy was due")
        if events.lost:
            return None
        start_ns, first_ns = events.exec_ns.get(own.pid), events.exec_ns.get(self.messenger)
        if start_ns is None or first_ns is None:
            fail(f"no exec event of {name}'s process or of its messenger's")
        clock_offset = time.time_ns() - time.monotonic_ns()
        log_ns = (self.folder / "standin.log").stat().st_mtime_ns - clock_offset
        before = [cpu for at, cpu in own.samples if at <= first_ns]
        if not before or own.peak_kib == 0:
            fail(f"{name} was not sampled before its messenger's start")
        return Run(latency_ms=(first_ns - start_ns) / 1e6, log_latency_ms=(log_ns - start_ns) / 1e6,
                   wait_cpu_ms=cpu_s * 1e3 - before[-1] / 1e6, peak_mib=own.peak_kib / 1024,
                   after_first_s=(own.samples[-1][0] - first_ns) / 1e9)


class Bench:
    def __init__(self, work: Path):
        self.work = work
        if ctypes.CDLL(None).prctl(36, 1, 0, 0, 0) != 0:  # PR_SET_CHILD_SUBREAPER
            fail("cannot become the child subreaper")
        try:
            self.events = ProcessEvents()
        except OSError as error:
            fail(f"cannot listen to the kernel's process events ({error}): run it as root")
        self.ended: dict[int, tuple[int, float]] = {}  # pid -> exit status, CPU seconds
        self.known: set[int] = set()

    def reap(self) -> None:
        while True:
            try:
                pid, status, usage = os.wait4(-1, os.WNOHANG)
            except ChildProcessError:
                return
            if pid == 0:
                return
            self.ended[pid] = (os.waitstatus_to_exitcode(status), usage.ru_utime + usage.ru_stime)

    def poll(self, launches: list[Launch]) -> None:
        self.events.drain()
        for pid in set(self.children()) - self.known:
            # Until its exec a new process shows its parent's command line.
            line = read(f"/proc/{pid}/cmdline").lower()
            if any(launch.claim(pid, line) for launch in launches):
                self.known.add(pid)
        self.reap()
        time.sleep(SAMPLE_S)

    def pair(self, programs: list[Program], cfg: str, flip: bool, overlap: bool) -> list[Run]:
        """Both programs, the order flipped every other time; again if a run was disturbed. With overlap the
        second starts as soon as the first one's messenger has written its log line, while the first one
        only waits for its timer: the two are measured a moment apart, so both meet the same moods of a
        shared machine."""
        for _ in range(5):
            self.events.forget()
            launches: list[Launch] = []
            for program in programs[::-1] if flip else programs:
                if overlap:
                    while launches and not launches[-1].logged():
                        launches[-1].ended()
                        self.poll(launches)
                else:
                    while launches and not all([launch.ended() for launch in launches]):
                        self.poll(launches)
                launches.append(Launch(self, program, cfg))
            while not all([launch.ended() for launch in launches]):
                self.poll(launches)
            self.events.drain()
            time.sleep(SETTLE_S)
            runs = {launch.program.name: launch.result() for launch in launches}
            if all(runs.values()):
                return [runs[program.name] for program in programs]
        fail("the kernel kept dropping process events: the machine is too busy to measure")

    @staticmethod
    def children() -> list[int]:
        return [int(pid) for pid in read(f"/proc/self/task/{os.getpid()}/children").split()]


def architecture(exe: Path) -> str:
    """The architecture a Windows executable is built for, from its PE header."""
    data = exe.read_bytes()
    machine = struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0]
    return {0x14C: "i686", 0x8664: "x86_64"}.get(machine, hex(machine))


def lay_out(work: Path, build: Path, programs: list[Program]) -> None:
    for path in [*(program.exe for program in programs), build / "standin.exe"]:
        if not path.is_file():
            fail(f"{path} is missing: build its preset first")
    for program in programs:
        folder = work / program.name
        folder.mkdir(parents=True, exist_ok=True)
        for old in folder.iterdir():
            old.unlink()
        (folder / program.file).write_bytes(program.exe.read_bytes())
        (folder / "ICQ.exe").write_bytes((build / "standin.exe").read_bytes())
        if program.file == "Tavu.exe":
            (folder / "tavu.ini").write_bytes(INI.encode())


def repetitions(bench: Bench, programs: list[Program], count: int, cfg: str, what: str,
                overlap: bool) -> list[list[Run]]:
    print(f"bench: {what}, {count} repetitions ", end="", flush=True)
    runs = []
    for index in range(count):
        runs.append(bench.pair(programs, cfg, flip=index % 2 == 1, overlap=overlap))
        print(".", end="", flush=True)
    print(flush=True)
    return runs


def quartiles(values: list[float]) -> tuple[float, float, float]:
    low, middle, high = statistics.quantiles(values, n=4) if len(values) > 1 else values * 3
    return low, middle, high


def table(names: list[str], launch: list[list[Run]], wait: list[list[Run]], sizes: list[int]) -> list[str]:
    lines = [f"| Figure | {names[0]} median | {names[1]} median | Ratio: median of the repetitions' "
             "(quartiles) | Goal | Met |", "|---|---:|---:|---|---|---|"]

    def row(what: str, pairs: list[tuple[float, float]], goal: str, met) -> None:
        ratio = quartiles([a / b for a, b in pairs])
        mine, theirs = (statistics.median(value[i] for value in pairs) for i in (0, 1))
        verdict = met(ratio[1], pairs)
        lines.append(f"| {what} | {mine:.1f} | {theirs:.1f} | **{ratio[1]:.3f}x** ({ratio[0]:.3f}x to "
                     f"{ratio[2]:.3f}x) | {goal if verdict != '-' else ''} | {verdict} |")

    def within(goal: float):  # the ratio goals are against the baseline only
        return lambda ratio, _: ("yes" if ratio <= goal else "**no**") if names[1] == "baseline" else "-"

    def figure(runs: list[list[Run]], key: str) -> list[tuple[float, float]]:
        return [(getattr(a, key), getattr(b, key)) for a, b in runs]

    row("Launch latency, the program's start to the messenger's (ms)", figure(launch, "latency_ms"),
        f"<= {GOAL_LATENCY:.2f}x", within(GOAL_LATENCY))
    row("Launch latency, the program's start to the stand-in's log line (ms)", figure(launch, "log_latency_ms"),
        "", lambda ratio, _: "")
    row("CPU time of the six-tick wait, messenger's start to the end (ms)", figure(wait, "wait_cpu_ms"),
        f"every run < {GOAL_WAIT_MS:.0f} ms", lambda _, pairs: "yes" if max(a for a, _ in pairs) < GOAL_WAIT_MS
        else "**no**")
    row("Peak working set (VmHWM) during a launch (MiB)", figure(launch, "peak_mib"), f"<= {GOAL_MEMORY:.2f}x",
        within(GOAL_MEMORY))
    row("Size of the executable (KiB)", [(sizes[0] / 1024, sizes[1] / 1024)], f"Tavu.exe <= {GOAL_SIZE_KIB} KiB",
        lambda _, __: "yes" if sizes[0] <= GOAL_SIZE_KIB * 1024 else "**no**")
    return lines


def positive(text: str) -> int:
    if int(text) < 1:
        raise argparse.ArgumentTypeError("must be at least 1")
    return int(text)


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", type=Path, default=ROOT / "build/win32", help="the build folder: win32, or win64 for the twin")
    parser.add_argument("--out", type=Path, default=ROOT / "build/bench", help="results and work folders")
    parser.add_argument("--runs", type=positive, default=RUNS, help=f"launch repetitions ({RUNS})")
    parser.add_argument("--against", type=Path, help="another Tavu.exe to compare with, instead of the baseline")
    options = parser.parse_args()
    out, build = options.out.resolve(), options.build.resolve()
    other = (Program("other", options.against.resolve()) if options.against
             else Program("baseline", build / "bench/baseline.exe"))
    programs = [Program("tavu", build / "Tavu.exe"), other]
    lay_out(out / "work", build, programs)
    wine = subprocess.run([WINE10, "run", LOADER, "--version"], capture_output=True, text=True).stdout.strip()
    started, load = datetime.datetime.now(datetime.timezone.utc), os.getloadavg()
    print(f"bench: {wine}, {os.cpu_count()} CPUs, load average {load[0]:.2f}", flush=True)

    bench = Bench(out / "work")
    repetitions(bench, programs, 1, LAUNCH_CFG, "warm-up", True)  # file cache, Wine's own files
    launch = repetitions(bench, programs, options.runs, LAUNCH_CFG, "launch latency and memory", True)
    wait = repetitions(bench, programs, WAIT_PAIRS, WAIT_CFG, "CPU time of the six-tick wait (13 s each)", False)
    if min(run.after_first_s for runs in wait for run in runs) < 5:
        fail("a program ended within 5 s of its messenger's start: that was no six-tick wait")

    names = ["Tavu.exe", "baseline" if other.name == "baseline" else str(options.against)]
    arches = [architecture(program.exe) for program in programs]
    mode = "in WoW64 mode" if arches[0] == "i686" else "running 64-bit programs (the x86_64 twin)"
    text = "\n".join([
        f"# Brindle bench, {started:%Y-%m-%d %H:%M} UTC", "",
        f"{build / 'Tavu.exe'} ({arches[0]}) against {names[1]} ({arches[1]}), {wine} {mode} on Xvfb, "
        f"{os.cpu_count()} CPUs shared, load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} at the start, "
        f"{os.getloadavg()[0]:.2f} at the end. {options.runs} launch repetitions and {WAIT_PAIRS} six-tick "
        f"waits, each running both programs back to back. Ratios: Tavu.exe / {names[1]}.", "",
        *table(names, launch, wait, [program.exe.stat().st_size for program in programs]), ""])
    print(text, end="")
    (out / "results.md").write_text(text)
    print(f"bench: saved to {out / 'results.md'}")


if __name__ == "__main__":
    main()
