#!/usr/bin/python3
"""Measures Tavu.exe under Wine 10 against bench/baseline, or against another Tavu.exe (./run bench
[--runs N] [--window-runs N] [--against OTHER.exe]): the i686 release, in WoW64 mode, or, where Wine
cannot start 32-bit programs, its x86_64 twin against an x86_64 baseline.

Two paths of a start of Tavu.exe:
- the silent launch (NoInfo=1 in tavu.ini), against the baseline or the other Tavu.exe;
- the window path (NoInfo=0): Tavu.exe shows its information window, which the bench closes as its
  close button would; Tavu.exe then ends with exit status 4, having launched nothing. The baseline has
  no window: without --against, Tavu.exe runs it alone; with it, both Tavu.exe run it.

Each program works in a folder of its own under <out>/work (one more for each Tavu.exe's window path),
beside the stand-in messenger as ICQ.exe. Every repetition runs both programs back to back (the order
alternates from one repetition to the next) and gives one ratio per figure; the table shows the median
of those ratios with their quartiles. It is printed and saved to <out>/results.md;
docs/performance.md explains the figures.

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
- Window shown: from the exec of the program's own process (as above) to the map of its window on the
  X display, read as it comes (time.monotonic_ns(), the same clock). Wine maps its windows unmanaged,
  straight on the root window, whose SubstructureNotify reports each map; the window is the program's
  by its _NET_WM_PID, which Wine sets to the Linux pid of the window's process, and it must bear the
  information window's title.
"""

import argparse
import ctypes
import datetime
import functools
import os
import select
import socket
import statistics
import struct
import subprocess
import time
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable

try:
    from Xlib import X, Xatom, display as xdisplay, error as xerror, protocol as xprotocol
except ImportError:
    raise SystemExit("bench: python3-xlib is missing (./run bench installs it)")

ROOT = Path(__file__).resolve().parents[1]
WINE10 = str(ROOT / "tools/wine10")
LOADER = "/usr/lib/wine/wine64"
INI = "[Brindle]\r\nNoInfo=1\r\nMaxNr=5\r\nLastNr=0\r\nStarts=1\r\n"  # silent, 1-second ticks
WINDOW_INI = INI.replace("NoInfo=1", "NoInfo=0")  # the information window at every start
WINDOW_TITLE = "Brindle v.1.2"
WINDOW_CLOSED = 4  # Tavu.exe's exit status when its window was closed without OK
WINDOW_SHOWN_S = 0.5  # how long the window stays shown: painted, it has what a shown window needs
CLOSE_AGAIN_S = 2.0  # a close that came too early to take is sent again
LAUNCH_CFG = "0 1500"  # side file at once: the launcher ends at its first tick, its messenger after it
WAIT_CFG = "-1 200"  # no side file: the launcher waits all six ticks, alone after 0.2 s
WAIT_PAIRS = 3
RUNS = 60
WINDOW_RUNS = 30
SAMPLE_S = 0.004
SETTLE_S = 0.2  # what Wine still tidies up after a run falls on neither program's next one
GOAL_LATENCY, GOAL_WAIT_MS, GOAL_MEMORY, GOAL_SIZE_KIB = 1.05, 50.0, 1.12, 128
GOAL_WINDOW = 1.02  # against another Tavu.exe only: no slower than the build before


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
class Shown:
    """A window mapped on the display."""

    at_ns: int  # the monotonic clock when its map was read
    window: object  # the Xlib window
    pid: int | None  # its process's, by _NET_WM_PID
    title: str


class Display:
    """The X display the programs show their windows on (xvfb-run's DISPLAY). Wine's windows are
    unmanaged: they are mapped straight on the root window, whose SubstructureNotify reports each map."""

    def __init__(self):
        try:
            self.x = xdisplay.Display()
        except Exception as error:  # Xlib raises several kinds
            fail(f"cannot open the X display {os.environ.get('DISPLAY')!r}: {error}")
        self.x.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        names = ("_NET_WM_PID", "_NET_WM_NAME", "UTF8_STRING", "WM_PROTOCOLS", "WM_DELETE_WINDOW")
        self.atoms = {name: self.x.intern_atom(name) for name in names}
        self.x.sync()

    def fileno(self) -> int:
        return self.x.fileno()

    def shown(self) -> list[Shown]:
        """The windows mapped since the last call, each timed as its map is read."""
        mapped = []
        while self.x.pending_events():
            event = self.x.next_event()
            if event.type == X.MapNotify:
                mapped.append((time.monotonic_ns(), event.window))
        return [Shown(at_ns, window, *self.owner(window)) for at_ns, window in mapped]

    def owner(self, window) -> tuple[int | None, str]:
        """The pid Wine gave the window (the Linux pid of its process) and its title."""
        try:
            pid = window.get_full_property(self.atoms["_NET_WM_PID"], Xatom.CARDINAL)
            title = window.get_full_property(self.atoms["_NET_WM_NAME"], self.atoms["UTF8_STRING"])
        except xerror.XError:  # gone already
            return None, ""
        return pid.value[0] if pid else None, title.value.decode(errors="replace") if title else ""

    def close(self, window) -> None:
        """What the window's close button does: Wine turns WM_DELETE_WINDOW into WM_CLOSE."""
        atoms = self.atoms
        message = xprotocol.event.ClientMessage(window=window, client_type=atoms["WM_PROTOCOLS"],
                                                data=(32, [atoms["WM_DELETE_WINDOW"], X.CurrentTime, 0, 0, 0]))
        window.send_event(message, onerror=xerror.CatchError())
        self.x.flush()


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
class WindowRun:
    shown_ms: float  # the program's exec to its window's map
    peak_mib: float


@dataclass
class Program:
    name: str  # of the folder under <out>/work
    exe: Path  # the file laid out there as Tavu.exe, or as baseline.exe when it takes no tavu.ini
    ini: str | None = None

    @property
    def file(self) -> str:
        return "Tavu.exe" if self.ini else "baseline.exe"

    def window_path(self) -> "Program":
        """The same Tavu.exe in a folder of its own where it shows its information window."""
        return Program(f"{self.name}-window", self.exe, WINDOW_INI)


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

    def claim_window(self, shown: Shown) -> bool:
        return False

    def logged(self) -> bool:
        """The messenger has written its log line: its start-up is behind it."""
        return bool(read(str(self.folder / "standin.log")))

    def awaited(self) -> tuple[int | None, ...]:
        """The processes whose end ends the run (None for one not seen yet)."""
        return self.wrapper.pid, self.own and self.own.pid, self.messenger

    def overdue(self) -> str:
        return f"{self.program.name} did not end with its messenger within a minute (a message box?)"

    def ended(self) -> bool:
        if self.own:
            self.own.sample()
        if time.monotonic() > self.deadline:
            fail(self.overdue())
        return all(pid in self.bench.ended for pid in self.awaited())

    def ending(self) -> tuple[int, float]:
        """The program's exit status and CPU seconds."""
        self.wrapper.returncode = self.bench.ended[self.wrapper.pid][0]  # reaped by the bench, not by Popen
        return self.bench.ended[self.own.pid]

    def result(self) -> Run | None:
        """The figures; None when the kernel dropped process events meanwhile (the machine was busy)."""
        name, own, events = self.program.name, self.own, self.bench.events
        status, cpu_s = self.ending()
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


class WindowStart(Launch):
    """One program's start that shows the information window, from its spawn until it has ended. The
    window is closed as its close button would once it has been shown a moment; the program must then
    end with WINDOW_CLOSED, having launched nothing."""

    def __init__(self, bench: "Bench", program: Program):
        super().__init__(bench, program, LAUNCH_CFG)
        self.shown: Shown | None = None
        self.close_at = 0.0

    def claim(self, pid: int, line: str) -> bool:
        claimed = super().claim(pid, line)
        if self.messenger is not None:
            fail(f"{self.program.name} started its messenger on the window path")
        return claimed

    def claim_window(self, shown: Shown) -> bool:
        if self.own is None or shown.pid != self.own.pid:
            return False
        if shown.title != WINDOW_TITLE:
            fail(f"{self.program.name} showed a window titled {shown.title!r}, not its information window")
        if self.shown is None:
            self.shown, self.close_at = shown, time.monotonic() + WINDOW_SHOWN_S
        return True

    def awaited(self) -> tuple[int | None, ...]:
        return self.wrapper.pid, self.own and self.own.pid

    def overdue(self) -> str:
        what = "end after its window was closed" if self.shown else "show its information window"
        return f"{self.program.name} did not {what} within a minute"

    def ended(self) -> bool:
        if self.shown and self.own.pid not in self.bench.ended and time.monotonic() >= self.close_at:
            self.bench.display.close(self.shown.window)
            self.close_at = time.monotonic() + CLOSE_AGAIN_S
        return super().ended()

    def result(self) -> WindowRun | None:
        """The figures; None when the kernel dropped process events meanwhile (the machine was busy)."""
        name, own, events = self.program.name, self.own, self.bench.events
        status, _ = self.ending()
        if self.shown is None:
            fail(f"{name} ended with {status} without showing its information window")
        if status != WINDOW_CLOSED or self.logged():
            fail(f"{name} ended with {status} after its window was closed (due: {WINDOW_CLOSED}, nothing launched)")
        if events.lost:
            return None
        start_ns = events.exec_ns.get(own.pid)
        if start_ns is None:
            fail(f"no exec event of {name}'s process")
        if own.peak_kib == 0:
            fail(f"{name} was not sampled while it ran")
        return WindowRun(shown_ms=(self.shown.at_ns - start_ns) / 1e6, peak_mib=own.peak_kib / 1024)


class Bench:
    def __init__(self, work: Path):
        self.work = work
        if ctypes.CDLL(None).prctl(36, 1, 0, 0, 0) != 0:  # PR_SET_CHILD_SUBREAPER
            fail("cannot become the child subreaper")
        try:
            self.events = ProcessEvents()
        except OSError as error:
            fail(f"cannot listen to the kernel's process events ({error}): run it as root")
        self.display = Display()
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
        """A moment's wait, cut short by a window's map, then whatever happened meanwhile."""
        select.select([self.display], [], [], SAMPLE_S)
        shown = self.display.shown()
        self.events.drain()
        for pid in set(self.children()) - self.known:
            # Until its exec a new process shows its parent's command line.
            line = read(f"/proc/{pid}/cmdline").lower()
            if any(launch.claim(pid, line) for launch in launches):
                self.known.add(pid)
        for window in shown:  # a window's process has been claimed above at the latest
            any(launch.claim_window(window) for launch in launches)
        self.reap()

    def pair(self, programs: list[Program], start: Callable[["Bench", Program], Launch], flip: bool,
             overlap: bool) -> list[Run | WindowRun]:
        """The programs (both, or Tavu.exe alone on the window path), the order flipped every other time;
        again if a run was disturbed. With overlap the second starts as soon as the first one's messenger
        has written its log line, while the first one only waits for its timer: the two are measured a
        moment apart, so both meet the same moods of a shared machine. Without, each starts once the one
        before has ended."""
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
                launches.append(start(self, program))
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
        if program.ini:
            (folder / "tavu.ini").write_bytes(program.ini.encode())


def repetitions(bench: Bench, programs: list[Program], count: int, start: Callable[[Bench, Program], Launch],
                what: str, overlap: bool) -> list[list[Run | WindowRun]]:
    print(f"bench: {what}, {count} repetitions ", end="", flush=True)
    runs = []
    for index in range(count):
        runs.append(bench.pair(programs, start, flip=index % 2 == 1, overlap=overlap))
        print(".", end="", flush=True)
    print(flush=True)
    return runs


def quartiles(values: list[float]) -> tuple[float, float, float]:
    low, middle, high = statistics.quantiles(values, n=4) if len(values) > 1 else values * 3
    return low, middle, high


def table(names: list[str], launch: list[list[Run]], wait: list[list[Run]], window: list[list[WindowRun]],
          sizes: list[int]) -> list[str]:
    """The figures of both programs side by side; the window path's of Tavu.exe alone where the other
    program is the baseline, which has no window."""
    against = names[1] != "baseline"
    lines = [f"| Figure | {names[0]} median | {names[1]} median | Ratio: median of the repetitions' "
             "(quartiles) | Goal | Met |", "|---|---:|---:|---|---|---|"]

    def row(what: str, runs: list[tuple[float, ...]], goal: str = "", met=lambda ratio, runs: "") -> None:
        if len(runs[0]) == 1:
            low, middle, high = quartiles([mine for mine, in runs])
            lines.append(f"| {what} | {middle:.1f} | (no window) | {names[0]} alone: quartiles {low:.1f} to "
                         f"{high:.1f} |  |  |")
            return
        ratio = quartiles([a / b for a, b in runs])
        mine, theirs = (statistics.median(value[i] for value in runs) for i in (0, 1))
        verdict = met(ratio[1], runs)
        lines.append(f"| {what} | {mine:.1f} | {theirs:.1f} | **{ratio[1]:.3f}x** ({ratio[0]:.3f}x to "
                     f"{ratio[2]:.3f}x) | {goal if verdict != '-' else ''} | {verdict} |")

    def within(goal: float, applies: bool):  # "-": the goal is not for this comparison
        return lambda ratio, _: ("yes" if ratio <= goal else "**no**") if applies else "-"

    def figure(runs: list[list[Run | WindowRun]], key: str) -> list[tuple[float, ...]]:
        return [tuple(getattr(run, key) for run in pair) for pair in runs]

    row("Launch latency, the program's start to the messenger's (ms)", figure(launch, "latency_ms"),
        f"<= {GOAL_LATENCY:.2f}x", within(GOAL_LATENCY, not against))
    row("Launch latency, the program's start to the stand-in's log line (ms)", figure(launch, "log_latency_ms"))
    row("CPU time of the six-tick wait, messenger's start to the end (ms)", figure(wait, "wait_cpu_ms"),
        f"every run < {GOAL_WAIT_MS:.0f} ms", lambda _, runs: "yes" if max(a for a, _ in runs) < GOAL_WAIT_MS
        else "**no**")
    row("Peak working set (VmHWM) during a launch (MiB)", figure(launch, "peak_mib"), f"<= {GOAL_MEMORY:.2f}x",
        within(GOAL_MEMORY, not against))
    row("Size of the executable (KiB)", [(sizes[0] / 1024, sizes[1] / 1024)], f"Tavu.exe <= {GOAL_SIZE_KIB} KiB",
        lambda _, __: "yes" if sizes[0] <= GOAL_SIZE_KIB * 1024 else "**no**")
    row("Window path, the program's start to its information window shown (ms)", figure(window, "shown_ms"),
        f"<= {GOAL_WINDOW:.2f}x", within(GOAL_WINDOW, against))
    row("Peak working set (VmHWM) on the window path (MiB)", figure(window, "peak_mib"))
    return lines


def positive(text: str) -> int:
    if int(text) < 1:
        raise argparse.ArgumentTypeError("must be at least 1")
    return int(text)


def arguments() -> argparse.Namespace:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", type=Path, default=ROOT / "build/win32",
                        help="the build folder: win32, or win64 for the twin")
    parser.add_argument("--out", type=Path, default=ROOT / "build/bench", help="results and work folders")
    parser.add_argument("--runs", type=positive, default=RUNS, help=f"launch repetitions ({RUNS})")
    parser.add_argument("--window-runs", type=positive, default=WINDOW_RUNS,
                        help=f"window-path repetitions ({WINDOW_RUNS})")
    parser.add_argument("--against", type=Path, help="another Tavu.exe to compare with, instead of the baseline")
    return parser.parse_args()


def measure(bench: Bench, programs: list[Program], windows: list[Program], options: argparse.Namespace):
    """The launches, the window path's starts and the waits: each a list of repetitions."""
    launch_start, wait_start = (functools.partial(Launch, cfg=cfg) for cfg in (LAUNCH_CFG, WAIT_CFG))
    repetitions(bench, programs, 1, launch_start, "warm-up", True)  # file cache, Wine's own files
    repetitions(bench, windows, 1, WindowStart, "warm-up of the window path", False)
    launch = repetitions(bench, programs, options.runs, launch_start, "launch latency and memory", True)
    window = repetitions(bench, windows, options.window_runs, WindowStart, "window path, start to window shown",
                         False)
    wait = repetitions(bench, programs, WAIT_PAIRS, wait_start, "CPU time of the six-tick wait (13 s each)", False)
    if min(run.after_first_s for runs in wait for run in runs) < 5:
        fail("a program ended within 5 s of its messenger's start: that was no six-tick wait")
    return launch, window, wait


def report(options: argparse.Namespace, build: Path, programs: list[Program], names: list[str], wine: str,
           started: datetime.datetime, load: tuple[float, float, float], table_lines: list[str]) -> str:
    """The results page: how the run went, then the table."""
    arches = [architecture(program.exe) for program in programs]
    mode = "in WoW64 mode" if arches[0] == "i686" else "running 64-bit programs (the x86_64 twin)"
    window_what = ("each running both Tavu.exe back to back" if options.against
                   else "Tavu.exe alone (the baseline has no window)")
    return "\n".join([
        f"# Brindle bench, {started:%Y-%m-%d %H:%M} UTC", "",
        f"{build / 'Tavu.exe'} ({arches[0]}) against {names[1]} ({arches[1]}), {wine} {mode} on Xvfb, "
        f"{os.cpu_count()} CPUs shared, load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} at the start, "
        f"{os.getloadavg()[0]:.2f} at the end. {options.runs} launch repetitions and {WAIT_PAIRS} six-tick "
        f"waits, each running both programs back to back; {options.window_runs} repetitions of the window path, "
        f"{window_what}. Ratios: Tavu.exe / {names[1]}.", "", *table_lines, ""])


def main() -> None:
    options = arguments()
    out, build = options.out.resolve(), options.build.resolve()
    other = (Program("other", options.against.resolve(), INI) if options.against
             else Program("baseline", build / "bench/baseline.exe"))
    programs = [Program("tavu", build / "Tavu.exe", INI), other]
    windows = [program.window_path() for program in programs if program.ini]
    lay_out(out / "work", build, programs + windows)
    wine = subprocess.run([WINE10, "run", LOADER, "--version"], capture_output=True, text=True).stdout.strip()
    started, load = datetime.datetime.now(datetime.timezone.utc), os.getloadavg()
    print(f"bench: {wine}, {os.cpu_count()} CPUs, load average {load[0]:.2f}", flush=True)

    launch, window, wait = measure(Bench(out / "work"), programs, windows, options)
    names = ["Tavu.exe", str(options.against) if options.against else "baseline"]
    sizes = [program.exe.stat().st_size for program in programs]
    text = report(options, build, programs, names, wine, started, load, table(names, launch, wait, window, sizes))
    print(text, end="")
    (out / "results.md").write_text(text)
    print(f"bench: saved to {out / 'results.md'}")


if __name__ == "__main__":
    main()
