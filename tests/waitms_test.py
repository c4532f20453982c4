#!/usr/bin/env python3
"""The built waitms run as a process: exact bytes, exit status, when each write arrives.
    waitms_test.py table|names|surroundings|startup PROGRAM FAILING [LAUNCHER]
FAILING: the program over failing_support.cc (on Windows, that DLL); LAUNCHER: wine-run, qemu"""
import ctypes, os, pathlib, re, select, shutil, signal, struct, subprocess, sys, tempfile, time
from types import SimpleNamespace

GROUP, PROGRAM, FAILING = sys.argv[1:4]
LAUNCHER = sys.argv[4:]
WINDOWS = PROGRAM.endswith(".exe")
# No dynamic loader or sanitizer run-time starts without /proc, a spare descriptor or 2 MiB to map,
# nor qemu-user, which answers /proc/self/exe itself: those rows take a static build, run alone.
ALONE = not LAUNCHER and b"INTERP" not in subprocess.check_output(["readelf", "-lW", PROGRAM])
ROOT = not WINDOWS and subprocess.call(["unshare", "-m", "true"], stderr=subprocess.DEVNULL) == 0
START_MS = 120000 if WINDOWS else 2000  # the longest a start may take; Wine's can be slow
INF, USAGE = b"INFINITE value not supported!\r\n", "usage"
COPYRIGHT = "(c) Корване, 2010. Посвящается всем, кто умеет ждать."
USAGE_TEXT = (b"Korvane - WaitMs 1.00.0004\r\n%b\r\n\r\nUsage: %b[.EXE] Interval\r\n\r\n"
              b"  Interval - Number of miliseconds to wait.\r\n"
              b"             Must be greather or equal zero.\r\n"
              b"             Can't be INFINITE.\r\n")

# Locale, arguments, outcome (ms waited, INF or USAGE) and, where Windows differs, its outcome:
# Wine quotes empty arguments and those with blanks, groups with commas in C, Russian with U+00A0.
TABLE = [
    ("C", ["250"], 250), ("C", [" \t+42 "], 42, USAGE), ("C", ["-1"], INF), ("C", ["-0.4"], 0),
    ("C", [".6"], 1), ("C", ["", "5"], 5, USAGE), ("C", ["1", "2"], USAGE), ("C", ['"250"'], USAGE),
    ("C", ["1,500"], USAGE, 1500), ("en_US.UTF-8", ["1,234.5"], 1234),
    ("de_DE.UTF-8", ["1.500"], 1500), ("de_DE.UTF-8", ["2.5"], 25),
    ("ru_RU.UTF-8", ["1\u202f005"], 1005, USAGE), ("ru_RU.UTF-8", ["1\u00a0005"], USAGE, 1005),
    ("ru_RU.UTF-8", ["3,5"], 4), ("ru_RU.CP1251", [b"1\xa0005"], 1005),
    ("ru_RU.CP1251", ["-2"], USAGE), ("C.UTF-8", [b"25\xff"], USAGE),
    ("ru_RU.UTF-8", [b"7\xe2\x80"], USAGE),  # cut short
    ("xx_XX.UTF-8", ["1.5"], 2),  # a locale that no system has: C's separators
]
FAILURES = []


def expect(got, want, what):
    if got != want:
        FAILURES.append(what)
        print(f"FAIL {what}:\n  got      {got!r}\n  expected {want!r}")


def usage(locale):  # under Wine in the console's OEM code page
    charset = (("cp866" if locale.startswith("ru_RU") else "ascii") if WINDOWS else
               {"C": "ascii", "ru_RU.CP1251": "cp1251"}.get(locale, "utf-8"))
    return USAGE_TEXT % (COPYRIGHT.encode(charset, "replace"), b"waitms")


def refuse(calls):  # a seccomp filter: these system calls fail with EPERM, as strict sandboxes do
    load, allow, deny = [(0x20, 0, 0, 0)], [(6, 0, 0, 0x7FFF0000)], [(6, 0, 0, 0x50001)]  # EPERM
    code = load + [(0x15, len(calls) - i, 0, n) for i, n in enumerate(calls)] + allow + deny
    ops = ctypes.create_string_buffer(b"".join(struct.pack("=HBBI", *op) for op in code))
    prctl, zero = ctypes.CDLL(None).prctl, ctypes.c_ulong(0)  # no new privileges, then the filter
    if prctl(38, ctypes.c_ulong(1), zero, zero, zero) or prctl(
            22, ctypes.c_ulong(2), struct.pack("@HP", len(code), ctypes.addressof(ops))):
        os._exit(77)


def run(args, locale="C", program=PROGRAM, out="pipe", env={}, on_output=None, err="pipe",
        wrap=[], refused=()):
    # out: pipe, closed, full or broken (no reader); err: pipe or broken; refused: system calls
    environ = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LANG"))} | env
    argv = wrap + LAUNCHER + [program, *args]
    read, write = os.pipe() if out in ("pipe", "broken") else (None, None)
    if out == "broken":
        read = os.close(read)
    if out == "full":
        write = os.open("/dev/full", os.O_WRONLY)
    start, chunks = time.monotonic(), []

    def prepare():
        if out == "closed":
            os.close(1)
        if err == "broken":
            gone, error = os.pipe()
            os.dup2(error, 2)
            os.close(gone)
        if refused:
            refuse(refused)

    process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=write, stderr=subprocess.PIPE,
                               env=environ | {"LC_ALL": locale}, preexec_fn=prepare)
    if write is not None:
        os.close(write)
    while read is not None and select.select([read], [], [], START_MS / 1000 + 60)[0] and (
            data := os.read(read, 65536)):
        chunks.append(((time.monotonic() - start) * 1000, data))
        if on_output and len(chunks) == 1:
            on_output(process.pid)
    try:
        status = process.wait(START_MS / 1000 + 60)
    finally:
        process.kill()  # if it hangs; nothing once it has ended
    # Read once the program has ended: a service process that Wine starts for it can keep standard
    # error open for seconds after.
    os.set_blocking(process.stderr.fileno(), False)
    return SimpleNamespace(chunks=chunks, output=b"".join(data for _, data in chunks),
                           errors=process.stderr.read() or b"", status=status,
                           ms=(time.monotonic() - start) * 1000)


def expect_outcome(r, want, locale, what):
    if isinstance(want, int):
        waiting, ok_at = b"Waiting %d ms... " % want, r.chunks[-1][0] if r.chunks else 0
        expect((r.status, r.errors, r.output), (0, b"", waiting + b"Ok\r\n"), what)
        if want >= 100:  # long enough apart to arrive in two reads
            expect([data for _, data in r.chunks], [waiting, b"Ok\r\n"], what + ": writes")
        expect(want <= ok_at < want + START_MS, True, f"{what}: Ok after {ok_at:.0f} ms")
    else:  # in one write
        want = (0, b"", usage(locale) if want == USAGE else want, 1, True)
        expect((r.status, r.errors, r.output, len(r.chunks), r.ms < START_MS), want, what)


def table():
    for locale, args, want, *on_windows in TABLE:
        want = on_windows[0] if WINDOWS and on_windows else want
        expect_outcome(run(args, locale), want, locale, f"{locale} {args}")


def names():
    # Line 4 of the usage text: on Windows the name less .exe, in the console's code page; elsewhere
    # the file name's bytes as the locale reads them. Windows splits a command line at the blank.
    os.chdir(folder := tempfile.mkdtemp(prefix="waitms "))
    shown = lambda r: r.output.split(b"\r\n")[3:4]
    line4 = lambda name: [b"Usage: %b[.EXE] Interval" % name]

    def place(name):  # on Windows with its support library beside it
        if WINDOWS:
            shutil.copy(os.path.join(os.path.dirname(PROGRAM), "KORVANESUPPORT0100.DLL"), ".")
        return os.path.abspath(shutil.copy(PROGRAM, name))

    rows = [(b"pause.exe", "C"), ("ждать.exe".encode(), "ru_RU.UTF-8"), (b".exe", "C", b".exe")]
    if not WINDOWS:  # beyond U+FFFF; TSCII 82 gives several characters; BIG5-HKSCS 88 62 two,
        # the last held back (before x, at the end); CP1255 holds back E0; Latin-1; a line break
        rows += [("a\U00010000\U0010ffff".encode(), "C.UTF-8"), (b"\x82" * 20, "ta_IN.TSCII"),
                 (b"w\x88\x62x\x88\x62", "zh_HK.BIG5-HKSCS"), (b"w\xe0", "yi_US.CP1255"),
                 (b"wart\xe4", "C.UTF-8", b"wart\xef\xbf\xbd"), (b"a\nb", "C", b"a?b")]
    for name, locale, *shown_as in rows:
        want = (shown_as + [name.decode()[:-4].encode("cp866") if WINDOWS else name])[0]
        expect(shown(run([], locale, place(name))), line4(want), f"started as {name}")
    if WINDOWS:  # by its path, and as cmd starts it: by its bare name from the current folder
        expect_outcome(run(["250"], program=place("waitms.exe")), 250, "C", "folder with a blank")
        r = run(["/c", "waitms", "250"], program=r"C:\windows\syswow64\cmd.exe")  # not by start.exe
        expect_outcome(r, 250, "C", "started by cmd")
    elif ALONE and ROOT:
        hide = ["unshare", "-m", "sh", "-c", 'mount -t tmpfs none /proc && exec "$@"', "sh"]
        expect(shown(run([], wrap=hide)), line4(b"waitms"), "/proc hidden")
    else:
        print("skipped: /proc hidden (it takes unshare -m as root, a static build, no emulator)")
    # From a folder whose path is longer than MAX_PATH or PATH_MAX, whose exec takes no longer one.
    for _ in range(2 if WINDOWS else 24):  # a step at a time, as no call takes a path this long
        os.mkdir("d" * 200)
        os.chdir("d" * 200)
    place(exe := "waitms.exe" if WINDOWS else "waitms")
    expect(shown(run([], program="./" + exe)), line4(b"waitms"), f"{len(os.getcwd())}-byte folder")
    shutil.rmtree(folder)


def surroundings():
    for out in ("closed", "full", "broken"):
        r = run(["300"], out=out)
        expect((r.status, r.errors, 300 <= r.ms < 300 + START_MS), (0, b"", True), "stdout " + out)
    if WINDOWS:  # signals are POSIX's. Wine's Sleep is exact: a trace of the timer calls tells
        run(["add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/f", "/d", "kernel32.Query"
             "PerformanceCounter;kernel32.LoadLibraryW;kernel32.LoadLibraryExW;winmm.timeBegin"
             "Period;winmm.timeEndPeriod;kernel32.Sleep"], program="reg")  # the session untraced
        folder = tempfile.mkdtemp()  # a copy beside its library and a winmm.dll without timer calls
        for name in ("KORVANESUPPORT0100.DLL", "winmm.dll"):  # that Wine is told to prefer
            shutil.copy(os.path.dirname(PROGRAM) + "/KORVANESUPPORT0100.DLL", f"{folder}/{name}")

        def calls(args):  # Q counter read, W winmm loaded (L: another), B E period set, S Sleep
            env = {"WAITMS_WINEDEBUG": "+relay", "WAITMS_WINEDLLOVERRIDES": "winmm=n,b"}
            trace = run(args, program=shutil.copy(PROGRAM, folder), env=env).errors.decode("ascii")
            return " ".join("W" if w else n + str(int(a, 16)) * (n != "Q") for n, a, w in
                            re.findall(r'Call \w+\.(?:time)?(\w)\w*\((\w*)( L"[^"]*winmm)?', trace)
                            if w or n != "L")

        five = calls(["5"])  # the interval from the first counter reading, the load within it
        expect((bool(re.fullmatch(r"Q W B1 Q( S[1-5] Q)* E1", five)), calls(["0"]), calls([])),
               (True, "S0", ""), f"timer period: waitms 5 ({five}), 0, the usage text")
        intl = [r"HKCU\Control Panel\International", "/v", "sThousand", "/f"]
        run(["add", *intl, "/d", "abcdefghijklmnopqrstuvwxyz"], program="reg")
        try:
            for args, want in ((["2.5"], 2), (["1,500"], USAGE)):
                expect_outcome(run(args), want, "C", f"sThousand of 26 letters, {args}")
        finally:
            run(["delete", *intl], program="reg")
        return

    def jostle(pid):  # spread over the wait, so that they find the program asleep; stopped 0.1 s
        for sig in [signal.SIGWINCH, signal.SIGCHLD] * 20 + [signal.SIGSTOP, signal.SIGCONT]:
            time.sleep(0.1 if sig == signal.SIGCONT else 0.005)
            os.kill(pid, sig)

    expect_outcome(run(["500"], on_output=jostle), 500, "C", "SIGWINCH, SIGCHLD, SIGSTOP, SIGCONT")
    for interval, after, sig in ((5000, 0, signal.SIGINT), (2147483647, 1, signal.SIGKILL)):
        r = run([str(interval)], on_output=lambda pid: (time.sleep(after), os.kill(pid, sig)))
        expect((r.output, r.status), (b"Waiting %d ms... " % interval, -sig), f"{sig.name}")
    # clock_nanosleep, then ppoll, by number (32-bit systems' time64 ones too)
    calls = {"x86_64": ((230,), (271,)), "aarch64": ((115,), (73,)), "s390x": ((262,), (302,)),
             "i686": ((267, 407), (309, 414)), "armv7l": ((265, 407), (336, 414))}
    clock, poll = calls.get(os.uname().machine, ((), ()))
    if LAUNCHER or not clock:  # under qemu-user the filter would meet the emulator's own calls
        print("skipped: timed waits refused (it takes a known machine and no emulator)")
    else:
        expect_outcome(run(["300"], refused=clock), 300, "C", "clock_nanosleep refused")
        r = run(["300"], refused=clock + poll)
        expect((r.output, r.errors, r.status),
               (b"Waiting 300 ms... ", b"waitms: run-time error 17 (0x00000011)\n", 1), "no wait")
    if not ALONE:
        return print("skipped: no descriptor or memory to spare (it takes a static build, alone)")
    # +250 and the folder's name need no locale; German 1.500 does, and can't be read without a
    # descriptor, with too little memory to map it (the program alone takes 1.2 MB) or unreadable.
    few = ["prlimit", "--nofile=3"]
    with tempfile.TemporaryDirectory("-Téléchargements") as folder:
        r = run(["+250"], "de_DE.UTF-8", shutil.copy(PROGRAM, folder), wrap=few)
    expect_outcome(r, 250, "C", "no descriptors, +250 from a non-ASCII folder")
    r = run(["2,5"], "pt_BR.UTF-8", wrap=["prlimit", "--as=2048000"])
    expect((r.output, r.status), (usage("C"), 0), "short of memory, a locale not installed")
    deny = ["unshare", "-m", "sh", "-c", 'f=$(mktemp) && chmod 0 "$f" && mount --bind "$f" '
            '/usr/lib/locale/locale-archive && rm "$f" && exec setpriv --reuid=65534 --regid=65534 '
            '--clear-groups "$@"', "sh"]
    little = ["prlimit", "--as=2097152"]
    for wrap, number, err in ((few, 67, "pipe"), (few, 67, "broken"), (little, 7, "pipe")) + (
            (deny, 70, "pipe"),) * ROOT:
        r = run(["1.500"], "de_DE.UTF-8", err=err, wrap=wrap)
        report = b"waitms: run-time error %d (0x%08X)\n" % (number, number) * (err == "pipe")
        expect((r.output, r.errors, r.status), (b"", report, 1), f"error {number}, stderr {err}")


def startup():
    log = os.path.join(tempfile.mkdtemp(), "calls")
    calls = ["ksRegisterAppPath", "ksIsInIDE", "ksGetThunderMainHandle", "ksSetWindowResIconAll"]
    report = b"waitms: run-time error -2147024809 (0x80070057)" + (b"\r\n" if WINDOWS else b"\n")

    failing = shutil.copy(PROGRAM, os.path.dirname(FAILING)) if WINDOWS else FAILING

    def run_failing(args, **env):
        env["WAITMS_CALL_LOG"] = "Z:" + log.replace("/", "\\") if WINDOWS else log
        r = run(args, program=failing, env=env)
        r.calls = pathlib.Path(log).read_text().split()
        os.remove(log)
        return r

    for i, call in enumerate(calls):
        r = run_failing(["0"], WAITMS_FAIL=call)
        expect((r.output, r.errors, r.status, r.calls), (b"", report, 1, calls[:i + 1]), call)
    for call in ("ksAnsiToOem", "ksFormatVersion"):
        r = run_failing(["x"], WAITMS_FAIL=call)
        expect((r.output, r.errors, r.status, r.calls[-1]), (b"", b"", 0, call), call)


if LAUNCHER and not WINDOWS:  # bounds on time allow for qemu's start, as a waitms 0 takes it
    START_MS += run(["0"]).ms
{"table": table, "names": names, "surroundings": surroundings, "startup": startup}[GROUP]()
print(f"{GROUP}: {len(FAILURES)} failed")
sys.exit(1 if FAILURES else 0)
