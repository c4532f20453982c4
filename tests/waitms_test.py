#!/usr/bin/env python3
"""The built waitms run as a process: exact bytes, exit status, when each write arrives.
    waitms_test.py table|names|surroundings|startup PROGRAM FAILING [LAUNCHER]
FAILING: the program over failing_support.cc (on Windows, that DLL); LAUNCHER: wine-run, qemu"""
import ctypes, errno, os, re, select, shutil, signal, struct, subprocess, sys, tempfile, time
from types import SimpleNamespace

GROUP, PROGRAM, FAILING = sys.argv[1:4]
LAUNCHER = sys.argv[4:]
WINDOWS = PROGRAM.endswith(".exe")
# No loader, sanitizer run-time or qemu starts without a spare descriptor or 2 MiB: static, alone.
ALONE = not LAUNCHER and b"INTERP" not in subprocess.check_output(["readelf", "-lW", PROGRAM])
ROOT = not WINDOWS and subprocess.call(["unshare", "-m", "true"], stderr=subprocess.DEVNULL) == 0
START_MS = 120000 if WINDOWS else 2000  # the longest a start may take; Wine's can be slow
LATE_MS = 10000 if WINDOWS else 250  # the latest "Ok" may come after its interval, as a reader sees
INF, USAGE = b"INFINITE value not supported!\r\n", "usage"
COPYRIGHT = "(c) Корване, 2010. Посвящается всем, кто умеет ждать."
USAGE_TEXT = (b"Korvane - WaitMs 1.00.0004\r\n%b\r\n\r\nUsage: %b[.EXE] Interval\r\n\r\n"
              b"  Interval - Number of miliseconds to wait.\r\n"
              b"             Must be greather or equal zero.\r\n"
              b"             Can't be INFINITE.\r\n")

# Locale, arguments, outcome (ms waited, INF or USAGE) and, where Windows differs, its outcome:
# Wine quotes empty arguments and those with blanks, groups with commas in C, Russian with U+00A0.
TABLE = [
    ("C", ["999"], 999),  # the deadline's nanoseconds nearly always carry into its seconds
    ("C", ["", " \t+42 "], 42, USAGE),
    ("C", ["-1"], INF),
    ("C", ["-0.4"], 0),
    ("C", ["1", "2"], USAGE),
    ("C", ['"250"'], USAGE),
    ("C", ["1,500"], USAGE, 1500),
    ("en_US.UTF-8", ["1,234.5"], 1234),
    ("de_DE.UTF-8", ["1.500"], 1500),
    ("ru_RU.UTF-8", ["1\u202f005"], 1005, USAGE),
    ("ru_RU.UTF-8", ["1\u00a0005"], USAGE, 1005),
    ("ru_RU.UTF-8", ["3,5"], 4),
    ("ru_RU.CP1251", [b"1\xa0005"], 1005),
    ("ru_RU.CP1251", ["-2"], USAGE),
    ("xx_XX.UTF-8", ["1.5"], 2),  # a locale that no system has: C's separators
    ("C.UTF-8", [b"25\xff"], USAGE),
    ("ru_RU.UTF-8", [b"7\xe2\x80"], USAGE),  # cut short
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


def refuse(answers):  # a seccomp filter: [(system calls, the errno they answer; 0 fakes success)]
    code = [(0x20, 0, 0, 0)] + [op for calls, answer in answers for n in calls for op in (
        (0x15, 0, 1, n), (6, 0, 0, 0x50000 | answer))] + [(6, 0, 0, 0x7FFF0000)]  # or allowed
    ops = ctypes.create_string_buffer(b"".join(struct.pack("=HBBI", *op) for op in code))
    prctl, zero = ctypes.CDLL(None).prctl, ctypes.c_ulong(0)  # no new privileges, then the filter
    if prctl(38, ctypes.c_ulong(1), zero, zero, zero) or prctl(
            22, ctypes.c_ulong(2), struct.pack("@HP", len(code), ctypes.addressof(ops))):
        os._exit(77)


def run(args, locale="C", program=PROGRAM, out="pipe", env={}, err="pipe", wrap=[], refused=()):
    # out: pipe, closed, full or broken (no reader); err: pipe or broken; refused: see refuse()
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
    quiet, limit = start, START_MS / 1000 + 60  # quiet: when a look last found nothing written
    while read is not None and time.monotonic() - start < limit:
        looked = time.monotonic()
        if select.select([read], [], [], limit if chunks else 0.001)[0]:
            if not (data := os.read(read, 65536)):
                break
            chunks.append(((time.monotonic() - start) * 1000, data))
        elif not chunks:
            quiet = looked
    try:
        status = process.wait(START_MS / 1000 + 60)
    finally:
        process.kill()  # if it hangs; nothing once it has ended
    # Read once it has ended: a service process that Wine starts may keep stderr open for seconds
    os.set_blocking(process.stderr.fileno(), False)
    return SimpleNamespace(chunks=chunks, output=b"".join(data for _, data in chunks),
                           errors=process.stderr.read() or b"", status=status,
                           ms=(time.monotonic() - start) * 1000, quiet=(quiet - start) * 1000)


def expect_outcome(r, want, locale, what):
    if isinstance(want, int):
        waiting = b"Waiting %d ms... " % want
        expect((r.status, r.errors, r.output), (0, b"", waiting + b"Ok\r\n"), what)
        if want >= 100:  # long enough apart to arrive in two reads
            expect([data for _, data in r.chunks], [waiting, b"Ok\r\n"], what + ": writes")
        if r.chunks:  # since a look that found no announcement yet, and since its arrival
            since, late = r.chunks[-1][0] - r.quiet, r.chunks[-1][0] - r.chunks[0][0]
            expect(since >= want and late < want + LATE_MS, True,
                   f"{what}: Ok {since:.1f} ms after an empty pipe, {late:.1f} after the message")
    else:  # in one write: INF, USAGE or (status, standard error, output)
        want = want if type(want) is tuple else (0, b"", usage(locale) if want == USAGE else want)
        expect((r.status, r.errors, r.output, len(r.chunks), r.ms < START_MS), (*want, 1, 1), what)


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

    rows = [("pause.exe".encode(), "C"), ("ждать.exe".encode(), "ru_RU.UTF-8")]
    if not WINDOWS:  # U+10000 up; TSCII, BIG5-HKSCS: several, one held; CP1255 holds E0; controls
        rows += [("a\U00010000\U0010ffff".encode(), "C.UTF-8"), (b"\x82" * 20, "ta_IN.TSCII"),
                 (b"w\x88\x62x\x88\x62", "zh_HK.BIG5-HKSCS"), (b"w\xe0", "yi_US.CP1255"),
                 (b"a\n \x7f", "C", b"a? ?"),  # C0 and DEL as ?, not the blank, nor in UTF-8 A0
                 (b"\xe4\xc2\x85\xc2\xa0", "C.UTF-8", "\ufffd?\xa0".encode())]  # Latin-1, C1
    for name, locale, *shown_as in rows:
        want = name.decode()[:-4].encode("cp866") if WINDOWS else (shown_as + [name])[0]
        expect(shown(run([], locale, place(name))), line4(want), f"started as {name}")
    if WINDOWS:  # by its path, and as cmd starts it: by its bare name from the current folder
        expect_outcome(run(["250"], program=place("waitms.exe")), 250, "C", "folder with a blank")
        expect_outcome(run(["/c", "waitms", "250"], program="cmd"), 250, "C", "started by cmd")
        os.makedirs(deep := "d" * 200 + "/" + "d" * 200)  # with the folder, longer than MAX_PATH
        os.chdir(deep)  # and started from there, as no exec takes a path this long
        place("waitms.exe")
        expect(shown(run([], program="./waitms.exe")), line4(b"waitms"), "MAX_PATH folder")
    shutil.rmtree(folder)


def surroundings():
    for out in ("closed", "full", "broken"):
        r = run(["300"], out=out)
        expect((r.status, r.errors, 300 <= r.ms < 300 + START_MS), (0, b"", True), "stdout " + out)
    if WINDOWS:  # signals are POSIX's. Wine's Sleep is exact: a trace of the timer calls tells,
        # in a session started untraced (its service processes would trace into the pipe)
        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env={k: v for k, v in
                     os.environ.items() if not k.startswith(("LC_", "LANG"))} | {"LC_ALL": "C"})
        session = subprocess.Popen(LAUNCHER + [PROGRAM, "60000"], **quiet)
        traced = "winmm.timeBeginPeriod;winmm.timeEndPeriod;kernel32.Sleep"
        subprocess.run(LAUNCHER + ["reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude",
                                   "/d", traced, "/f"], **quiet)
        calls = lambda args: re.findall(rb"Call \w+\.(\w+)\((\w*)", run(args, env={
            "WAITMS_WINEDEBUG": "+relay"}).errors)
        period = [(b"timeBeginPeriod", b"00000001"), (b"Sleep", b"00000005"),
                  (b"timeEndPeriod", b"00000001")]
        expect((calls(["5"]), calls([])), (period, []), "timer period: waitms 5, the usage text")
        return session.kill()

    r = run(["2147483647"], wrap=["timeout", "--preserve-status", str(START_MS // 1000 + 1)])
    expect((r.output, r.status), (b"Waiting 2147483647 ms... ", 128 + signal.SIGTERM), "SIGTERM")
    # clock_nanosleep and ppoll by number (32-bit systems' time64 ones too), each answering EPERM
    # (refused), 0 (a fake success) or EINTR (a signal) every time: only the clock ends the wait.
    calls = {"x86_64": ((230,), (271,)), "aarch64": ((115,), (73,)), "s390x": ((262,), (302,)),
             "i686": ((267, 407), (309, 414)), "armv7l": ((265, 407), (336, 414))}
    calls = calls.get(os.uname().machine)
    EPERM, EINTR, none = errno.EPERM, errno.EINTR, (1, b"waitms: run-time error 17 (0x00000011)\n")
    sandboxes = [((EPERM, None), 999, 999), ((None, EPERM), 999, 999), ((0, EPERM), 300, 300),
                 ((EINTR, EPERM), 300, 300), ((EINTR, None), 0, 0),
                 ((EPERM, EPERM), 300, none + (b"Waiting 300 ms... ",))]  # no Ok without the wait
    if LAUNCHER or not calls:  # under qemu-user the filter would meet the emulator's own calls
        sandboxes = print("skipped: timed waits refused (it takes a known machine, no emulator)")
    for answers, interval, want in sandboxes or []:
        r = run([str(interval)], refused=[(n, e) for n, e in zip(calls, answers) if e is not None])
        expect_outcome(r, want, "C", f"waitms {interval}, clock_nanosleep and ppoll {answers}")
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
        r.calls = open(log).read().split()
        os.remove(log)
        return r

    for i, call in enumerate(calls):
        r = run_failing(["0"], WAITMS_FAIL=call)
        expect((r.output, r.errors, r.status, r.calls), (b"", report, 1, calls[:i + 1]), call)
    for call in ("ksAnsiToOem", "ksFormatVersion"):
        r = run_failing(["x"], WAITMS_FAIL=call)
        expect((r.output, r.errors, r.status, r.calls[-1]), (b"", b"", 0, call), call)


if LAUNCHER and not WINDOWS:  # bounds on time allow for qemu's start, as a waitms 0 takes it
    START_MS, LATE_MS = START_MS + (zero := run(["0"]).ms), LATE_MS + zero
{"table": table, "names": names, "surroundings": surroundings, "startup": startup}[GROUP]()
print(f"{GROUP}: {len(FAILURES)} failed")
sys.exit(1 if FAILURES else 0)
