#!/usr/bin/env python3
"""The built waitms, run as a process: exact bytes, exit status and when each write arrives.

    waitms_test.py GROUP PROGRAM FAILING_PROGRAM [LAUNCHER]

GROUP is table, names, surroundings or startup. FAILING_PROGRAM is waitms over a support library
that fails the call named in WAITMS_FAIL, says it runs in the development environment when
WAITMS_IN_IDE=1, and appends each call's name to the file WAITMS_CALL_LOG. A LAUNCHER
(cmake/wine-run) runs the Windows build under Wine.
"""
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

GROUP, PROGRAM, FAILING = sys.argv[1:4]
LAUNCHER = sys.argv[4:]
WINDOWS = bool(LAUNCHER)
START_MS = 120000 if WINDOWS else 2000  # the longest a start may take; Wine's can be slow

INF = b"INFINITE value not supported!\r\n"
USAGE = "usage"
COPYRIGHT = "(c) Корване, 2010. Посвящается всем, кто умеет ждать."
USAGE_TEXT = (b"Korvane - WaitMs 1.00.0004\r\n%b\r\n\r\nUsage: %b[.EXE] Interval\r\n\r\n"
              b"  Interval - Number of miliseconds to wait.\r\n"
              b"             Must be greather or equal zero.\r\n"
              b"             Can't be INFINITE.\r\n")

# Locale, arguments, outcome (the milliseconds waited, INF or USAGE) and, where Windows answers
# otherwise, its outcome: Wine quotes an argument with blanks, its C locale groups with commas as
# English does, and Windows' Russian groups with U+00A0 where glibc's has U+202F.
TABLE = [
    ("C", ["250"], 250),
    ("C", ["0"], 0),
    ("C", [" \t+42 "], 42, USAGE),
    ("C", ["-1"], INF),
    ("C", ["-0.6"], INF),
    ("C", ["-0.4"], 0),
    ("C", ["2.5"], 2),
    ("C", ["3.5"], 4),
    ("C", ["-2"], USAGE),
    ("C", ["-2147483648"], USAGE),
    ("C", [], USAGE),
    ("C", ["2147483648"], USAGE),
    ("C", ["2147483647.5"], USAGE),
    ("C", ["1", "2"], USAGE),
    ("C", ["12abc"], USAGE),
    ("C", ['"250"'], USAGE),
    ("C", ["- 1"], USAGE),
    ("C", ["1,500"], USAGE, 1500),
    ("en_US.UTF-8", ["1,234.5"], 1234),
    ("en_US.UTF-8", ["1,,500"], USAGE),
    ("en_US.UTF-8", [",500"], USAGE),
    ("en_US.UTF-8", ["1,500,"], USAGE),
    ("en_US.UTF-8", ["1.5,0"], USAGE),
    ("de_DE.UTF-8", ["1.500"], 1500),
    ("de_DE.UTF-8", ["2,5"], 2),
    ("de_DE.UTF-8", ["2.5"], 25),
    ("de_DE.UTF-8", ["1,5.0"], USAGE),
    ("ru_RU.UTF-8", ["1\u202f005"], 1005, USAGE),
    ("ru_RU.UTF-8", ["1\u00a0005"], USAGE, 1005),
    ("ru_RU.UTF-8", ["1 005"], USAGE),
    ("ru_RU.UTF-8", ["3,5"], 4),
    ("ru_RU.UTF-8", ["3.5"], USAGE),
    ("ru_RU.CP1251", [b"1\xa0005"], 1005),
    ("ru_RU.CP1251", [], USAGE),
    ("C.UTF-8", [b"25\xff"], USAGE),
    ("ru_RU.UTF-8", [b"7\xe2\x80"], USAGE),  # cut short
]

FAILURES = []


def expect(got, want, what):
    if got != want:
        FAILURES.append(what)
        print(f"FAIL {what}:\n  got      {got!r}\n  expected {want!r}")


def charset(locale):
    if WINDOWS:  # the console's OEM code page
        return "cp866" if locale.startswith("ru_RU") else "ascii"
    return {"C": "ascii", "ru_RU.CP1251": "cp1251"}.get(locale, "utf-8")


def usage(locale, name=b"waitms"):
    return USAGE_TEXT % (COPYRIGHT.encode(charset(locale), "replace"), name)


class Run:
    """One run. `chunks` are (ms since the start, bytes) as the reads returned them; `out` is
    pipe, closed, full (/dev/full) or broken (a pipe without reader). `on_output(pid)` is called
    once the first bytes have arrived."""

    def __init__(self, args, locale="C", program=PROGRAM, out="pipe", env=None, on_output=None):
        environ = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LANG"))}
        environ.update(env or {}, LC_ALL=locale)
        argv = LAUNCHER + [program] + [a if isinstance(a, bytes) else a.encode() for a in args]
        read = write = None
        if out in ("pipe", "broken"):
            read, write = os.pipe()
        if out == "broken":
            os.close(read)
            read = None
        if out == "full":
            write = os.open("/dev/full", os.O_WRONLY)
        start = time.monotonic()
        process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=write,
                                   stderr=subprocess.PIPE, env=environ,
                                   preexec_fn=(lambda: os.close(1)) if out == "closed" else None)
        if write is not None:
            os.close(write)
        self.chunks = []
        while read is not None:
            if not select.select([read], [], [], START_MS / 1000 + 60)[0]:
                process.kill()
                raise SystemExit(f"FAIL {argv}: no end in sight")
            data = os.read(read, 65536)
            if not data:
                break
            self.chunks.append(((time.monotonic() - start) * 1000, data))
            if on_output and len(self.chunks) == 1:
                on_output(process.pid)
        self.status = process.wait(START_MS / 1000 + 60)
        # Read once the program has ended: a service process that Wine starts for it can keep
        # standard error open for seconds after.
        os.set_blocking(process.stderr.fileno(), False)
        self.errors = process.stderr.read() or b""
        self.ms = (time.monotonic() - start) * 1000
        self.output = b"".join(data for _, data in self.chunks)
        if read is not None:
            os.close(read)


def expect_outcome(run, want, locale, what):
    expect((run.status, run.errors), (0, b""), what + ": status and standard error")
    if isinstance(want, int):
        waiting = b"Waiting %d ms... " % want
        expect(run.output, waiting + b"Ok\r\n", what)
        if want >= 100:  # long enough apart to arrive in two reads
            expect([data for _, data in run.chunks], [waiting, b"Ok\r\n"], what + ": writes")
        ok_at = run.chunks[-1][0] if run.chunks else 0
        expect(want <= ok_at < want + START_MS, True, f"{what}: Ok after {ok_at:.0f} ms")
    else:
        expect(run.output, usage(locale) if want == USAGE else want, what)
        expect(len(run.chunks), 1, what + ": one write")
        expect(run.ms < START_MS, True, f"{what}: took {run.ms:.0f} ms")


def table():
    for locale, args, want, *on_windows in TABLE:
        if WINDOWS and on_windows:
            want = on_windows[0]
        expect_outcome(Run(args, locale), want, locale, f"{locale} {args}")


def names():
    folder = tempfile.mkdtemp()
    copy = os.path.join(folder, "pause.exe")
    shutil.copy(PROGRAM, copy)
    started = [(copy, b"pause", "C")]
    if WINDOWS:  # the copy finds its support library beside it
        shutil.copy(os.path.join(os.path.dirname(PROGRAM), "KORVANESUPPORT0100.DLL"), folder)
    else:  # a character beyond U+FFFF takes two UTF-16 units on its way out
        link = os.path.join(folder, "hold-on-\U0001f600")
        os.symlink(copy, link)
        started.append((link, os.fsencode(os.path.basename(link)), "C.UTF-8"))
    for program, name, locale in started:
        expect(Run([], locale, program).output, usage(locale, name), f"started as {program}")
    shutil.rmtree(folder)


def surroundings():
    for out in ("closed", "full", "broken"):
        run = Run(["300"], out=out)
        expect((run.status, run.errors, 300 <= run.ms < 300 + START_MS), (0, b"", True),
               f"standard output {out}: status, standard error, waited")
    if WINDOWS:  # signals are POSIX's
        return

    def jostle(pid):
        for _ in range(50):
            os.kill(pid, signal.SIGWINCH)
            os.kill(pid, signal.SIGCHLD)
            time.sleep(0.001)
        os.kill(pid, signal.SIGSTOP)
        time.sleep(0.1)
        os.kill(pid, signal.SIGCONT)

    run = Run(["500"], on_output=jostle)
    expect_outcome(run, 500, "C", "SIGWINCH, SIGCHLD, SIGSTOP and SIGCONT")
    run = Run(["5000"], on_output=lambda pid: os.kill(pid, signal.SIGINT))
    expect((run.output, run.status, run.ms < 2000), (b"Waiting 5000 ms... ", -signal.SIGINT, True),
           "SIGINT ends the wait")
    run = Run(["2147483647"], on_output=lambda pid: (time.sleep(1), os.kill(pid, signal.SIGKILL)))
    expect((run.output, run.status), (b"Waiting 2147483647 ms... ", -signal.SIGKILL), "longest")


def startup():
    log = os.path.join(tempfile.mkdtemp(), "calls")
    logged = "Z:" + log.replace("/", "\\") if WINDOWS else log

    def run(args, **env):
        result = Run(args, program=FAILING, env={"WAITMS_CALL_LOG": logged, **env})
        with open(log) as calls:
            result.calls = calls.read().split()
        os.remove(log)
        return result

    calls = ["ksRegisterAppPath", "ksIsInIDE", "ksGetThunderMainHandle", "ksSetWindowResIconAll"]
    report = b"waitms: run-time error -2147467259 (0x80004005)" + (b"\r\n" if WINDOWS else b"\n")
    for i, call in enumerate(calls):
        r = run(["0"], WAITMS_FAIL=call)
        expect((r.output, r.errors, r.status, r.calls), (b"", report, 1, calls[:i + 1]), call)
    for call in ("ksAnsiToOem", "ksFormatVersion"):
        r = run(["x"], WAITMS_FAIL=call)
        expect((r.output, r.errors, r.status, r.calls[-1]), (b"", b"", 0, call), call)
    r = run(["0"], WAITMS_IN_IDE="1")
    expect((r.output, r.calls), (b"Waiting 0 ms... Ok\r\n", calls[:2]), "no icons inside the IDE")


{"table": table, "names": names, "surroundings": surroundings, "startup": startup}[GROUP]()
print(f"{GROUP}: {len(FAILURES)} failed")
sys.exit(1 if FAILURES else 0)
