#!/usr/bin/env python3
"""Compares waitms with coreutils sleep, interleaving the two so that both see the same machine.

    python3 bench/bench.py [--program build/release/waitms] [--runs 400]
    python3 bench/bench.py --program build/windows/waitms.exe   # under Wine, lateness alone

Each figure is a median over many process starts, measured by bench/spawn.c (built here with cc):
wall time from the spawn to the reaped exit, peak memory and CPU time from wait4's rusage. The
longest command lines are started from Python instead, which adds its own spawn cost to them.
The lateness of `waitms 0`, `1`, `5` and `50` is timed from Python as a reader of the pipe sees
it: the min, median and max, over a quarter as many runs (at least 100). A Windows program (.exe)
runs through cmake/wine-run, in the Wine prefix that WAITMS_WINEPREFIX names (else the one beside
it), and only its lateness is measured: the other figures would be Wine's.
Start-up is also measured against bench/nothing.c, a static C program that does nothing: the
least any program takes to start.
"""
import argparse
import locale
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ARG_MAX_ONE = 128 * 1024 - 1  # the longest single argument Linux passes, less its NUL
HERE = os.path.dirname(os.path.abspath(__file__))


def build(folder, name):
    out = os.path.join(folder, name)
    subprocess.run(["cc", "-O2", "-static", "-o", out, os.path.join(HERE, name + ".c")], check=True)
    return out


def in_locale(name):
    """The environment with LC_ALL=name and the other locale variables cleared."""
    env = {k: v for k, v in os.environ.items() if k != "LANG" and not k.startswith("LC_")}
    return dict(env, LC_ALL=name)


def installed(name):
    try:
        locale.setlocale(locale.LC_ALL, name)
        return True
    except locale.Error:
        return False
    finally:
        locale.setlocale(locale.LC_ALL, "C")


def measure(harness, rounds, *commands, env=None):
    """Runs the commands `rounds` times each, interleaved; returns per command a list of
    (wall ms, peak RSS KiB, CPU ms)."""
    argv = [harness, str(rounds)]
    for i, command in enumerate(commands):
        argv += (["--"] if i else []) + command
    lines = subprocess.run(argv, check=True, capture_output=True, text=True,
                           env=env).stdout.split("\n")
    results = [[] for _ in commands]
    for line in filter(None, lines):
        index, wall, rss, cpu = line.split()
        results[int(index)].append((float(wall) / 1000, int(rss), float(cpu) / 1000))
    return results


def spawn_directly(command):
    """Wall ms of one run of `command`, its output to /dev/null."""
    null = [(os.POSIX_SPAWN_OPEN, fd, "/dev/null", os.O_RDWR, 0) for fd in (0, 1, 2)]
    start = time.monotonic()
    pid = os.posix_spawn(command[0], command, os.environ, file_actions=null)
    _, status, _ = os.wait4(pid, 0)
    wall = (time.monotonic() - start) * 1000
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError(f"{command[0]} ended with {status}")
    return wall


def lateness(command, interval, statuses=(0,)):
    """Ms from the arrival of "Waiting" to that of "Ok", less the interval; None when the two
    arrived in one read (the reader was too late to tell) for an interval above 0."""
    read, write = os.pipe()
    process = subprocess.Popen(command + [str(interval)], stdout=write)
    os.close(write)
    arrivals, output = [], b""
    while chunk := os.read(read, 4096):
        arrivals.append(time.perf_counter())
        output += chunk
    os.close(read)
    status = process.wait()
    complete = output == b"Waiting %d ms... Ok\r\n" % interval
    if status not in statuses or len(arrivals) > 2 or not complete:
        raise RuntimeError(f"waitms {interval} wrote {output!r} in {len(arrivals)} pieces, "
                           f"status {status}")
    if len(arrivals) == 1 and interval > 0:
        return None
    return (arrivals[-1] - arrivals[0]) * 1000 - interval


def print_lateness(command, runs, statuses=(0,)):
    # As a reader of standard output sees it: from the announcement's arrival on a pipe to the
    # arrival of "Ok", less the interval.
    for interval in (0, 1, 5, 50):
        late = [lateness(command, interval, statuses) for _ in range(max(runs // 4, 100))]
        merged = late.count(None)
        late = sorted(x for x in late if x is not None)
        left_out = f" ({merged} read in one piece left out)" if merged else ""
        print(f"lateness   waitms {interval}: min {late[0]:.3f} ms, median {median(late):.3f} ms, "
              f"max {late[-1]:.3f} ms{left_out}")


def median(values):
    return statistics.median(values)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", default="build/release/waitms")
    parser.add_argument("--runs", type=int, default=400)
    args = parser.parse_args()
    waitms = os.path.abspath(args.program)
    if waitms.endswith(".exe"):
        launcher = os.path.join(HERE, os.pardir, "cmake", "wine-run")
        prefix = os.environ.get("WAITMS_WINEPREFIX", "beside it")
        print(f"waitms: {waitms} under Wine, prefix {prefix}; lateness only, "
              f"LC_ALL={os.environ.get('LC_ALL', '')}")
        subprocess.run([launcher, waitms, "0"], check=True, capture_output=True)  # a session up
        # Under qemu-i386 the wineserver may kill a process that takes over a second to finish
        # exiting (SIGKILL, status -9), after its "Ok": its lateness stands.
        print_lateness([launcher, waitms], args.runs, statuses=(0, -9))
        return 0
    sleep = shutil.which("sleep")
    folder = tempfile.mkdtemp(prefix="waitms-bench-")
    harness, nothing = build(folder, "spawn"), build(folder, "nothing")
    print(f"waitms: {waitms}; sleep: {sleep}; {args.runs} starts each; start-up with LC_ALL as "
          f"shown, the rest with LC_ALL={os.environ.get('LC_ALL', '')} "
          f"LANG={os.environ.get('LANG', '')}")

    # Start-up in Debian's default locale, whose categories are files of their own, and in one
    # from the locale archive.
    for name in ("C.UTF-8", "en_US.UTF-8"):
        if not installed(name):
            print(f"start-up   {name} is not installed: skipped")
            continue
        commands = [waitms, "0"], [sleep, "0"], [nothing]
        measure(harness, 20, *commands, env=in_locale(name))  # warm the caches
        w, s, n = measure(harness, args.runs, *commands, env=in_locale(name))
        walls = [median([r[0] for r in runs]) for runs in (w, s, n)]
        print(f"start-up   {name}: waitms 0 {walls[0]:.3f} ms, sleep 0 {walls[1]:.3f} ms, "
              f"nothing {walls[2]:.3f} ms; medians of pairwise ratios:")
        for what, a, b in (("waitms/sleep", w, s), ("waitms/nothing", w, n)):
            print(f"           {what} {median([x[0] / y[0] for x, y in zip(a, b)]):.3f}")
        rss = [median([r[1] for r in runs]) for runs in (w, s, n)]
        print(f"memory     {name}: peak RSS waitms 0 {rss[0]:.0f} KiB, sleep 0 {rss[1]:.0f} KiB, "
              f"nothing {rss[2]:.0f} KiB")

    print_lateness([waitms], args.runs)

    (w1000,) = measure(harness, 5, [waitms, "1000"])
    cpu = [r[2] for r in w1000]
    print(f"cpu        waitms 1000: median {median(cpu):.2f} ms CPU, max {max(cpu):.2f} ms")

    # Refused tails of digits ending in a letter: every byte is decoded and scanned before the
    # refusal. The cost over a 1-byte tail, per byte, stays flat if the work is linear.
    sizes = (1024, 64 * 1024, 1024 * 1024)
    commands = [[waitms, "x"]]
    for size in sizes:
        chunks, left = [], size
        while left > 0:
            n = min(left, ARG_MAX_ONE)
            chunks.append("9" * (n - 1) + "x")
            left -= n + 1
        commands.append([waitms] + chunks)
    results = measure(harness, 30, *commands)
    base = median([r[0] for r in results[0]])
    print(f"scaling    refused 1-byte tail {base:.3f} ms")
    per_byte = []
    for size, result in zip(sizes, results[1:]):
        wall = median([r[0] for r in result])
        per_byte.append((wall - base) / size * 1e6)
        print(f"           refused {size // 1024:>5} KiB tail {wall:.3f} ms: "
              f"{wall - base:.3f} ms more, {per_byte[-1]:.1f} ns per byte")
    print(f"           cost per byte, 1 MiB over 64 KiB: {per_byte[2] / per_byte[1]:.2f} "
          f"(linear: about 1)")

    # The longest command lines exec takes: one argument of 128 KiB, and as many of them as fit in
    # ARG_MAX (a quarter of the stack limit, 2 MiB by default) beside the environment.
    room = min(os.sysconf("SC_ARG_MAX"), 2 * 1024 * 1024) - 16 * 1024
    room -= sum(len(k) + len(v) + 2 + 8 for k, v in os.environ.items())
    count = room // (ARG_MAX_ONE + 1 + 8)
    # Started from here rather than through the harness, whose own command line can't hold them.
    longest = "9" * ARG_MAX_ONE
    for what, command in (("one 128 KiB argument", [waitms, longest]),
                          (f"{count} of them, {count * (ARG_MAX_ONE + 1) / 1e6:.1f} MB",
                           [waitms] + [longest] * count)):
        wall = median([spawn_directly(command) for _ in range(30)])
        print(f"limits     refused {what}: {wall:.3f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
