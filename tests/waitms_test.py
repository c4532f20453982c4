#!/usr/bin/env python3
"""waitms_test.py table|names|surroundings|startup PROGRAM FAILING [LAUNCHER]: bytes and status"""
import ctypes, errno, os, re, select, shutil, signal, struct, subprocess, sys, tempfile, time
from types import SimpleNamespace

GROUP, PROGRAM, FAILING, *LAUNCHER = sys.argv[1:]
WINDOWS, ARCH = PROGRAM.endswith(".exe"), os.uname().machine
# Without a spare descriptor or 2 MiB to map, a static build alone starts (not under qemu)
ALONE = not LAUNCHER and b"INTERP" not in subprocess.check_output(["readelf", "-lW", PROGRAM])
ROOT = not WINDOWS and subprocess.call(["unshare", "-m", "true"], stderr=subprocess.DEVNULL) == 0
START_MS = 120000 if WINDOWS else 2000  # the longest a start may take; Wine's can be slow
LATE_MS = 10000 if WINDOWS else 250  # the latest "Ok" may come after the interval, as seen
INF, USAGE = (0, b"", b"INFINITE value not supported!\r\n", 1, True), "usage"  # see expect_outcome
FAILURES, XX, DE = [], "xx_XX.UTF-8", "de_DE.UTF-8"  # XX: a locale that no system has
COPYRIGHT = "(c) Корване, 2010. Посвящается всем, кто умеет ждать."
USAGE_TEXT = (b"Korvane - WaitMs 1.00.0004\r\n%b\r\n\r\nUsage: %b[.EXE] Interval\r\n\r\n"
              b"  Interval - Number of miliseconds to wait.\r\n"
              b"             Must be greather or equal zero.\r\n"
              b"             Can't be INFINITE.\r\n")

cant_load = lambda name, variable, n=53: (1, f'waitms: run-time error {n} (0x{n:08X}): can\'t ' \
    f'load the locale "{name}" named by {variable}\n'.encode(), b"", 0, True)  # the report alone
EMPTIED = ["unshare", "-m", "sh", "-c", 'mount -t tmpfs none "$0" && exec "$@"']  # + the folder


# LC_ALL or the environment, arguments, outcome (ms, INF, USAGE or a report), Windows' if other:
# Wine quotes blanks and empty arguments, groups with "," in C, Russian with U+00A0; no LC_NUMERIC
TABLE = [
    ("C", ["999"], 999),  # the deadline's nanoseconds nearly always carry into its seconds
    (XX, ["", "\t+42 "], 42, USAGE),  # digits alone need no locale
    ("C", ["-1"], INF),
    ("C", ["1", "2"], USAGE),
    ("C", ['"250"'], USAGE),
    ("C", ["1,500"], USAGE, 1500),
    ({"LANG": DE, "LC_NUMERIC": "en_US.UTF-8"}, ["1,234.5"], 1234, USAGE),
    ({"LANG": DE}, ["1.500"], 1500),
    ({"LC_ALL": DE, "LC_NUMERIC": "en_US.UTF-8"}, ["2.5"], 25),
    ("ru_RU.UTF-8", ["1\u202f003,5"], 1004, USAGE),
    ("ru_RU.UTF-8", ["1\u00a0005"], USAGE, 1005),
    ("ru_RU.CP1251", [b"1\xa0005"], 1005),
    ("ru_RU.CP1251", ["-2"], USAGE),
    ('de.\x1b[7m"\\é', ["1.500"], cant_load(r'de.\x1b[7m\"\\\xc3\xa9', "LC_ALL"), 1500),
    ({"LANG": "ru_RU.UTF-8", "LC_CTYPE": XX}, ["1\u202f005"], cant_load(XX, "LC_CTYPE"), USAGE),
    ("c.UTF8", [b"-.4\xff"], USAGE),  # C.UTF-8 as glibc doesn't find it: C all the same
    ("ru_RU.UTF-8", [b"7\xe2\x80"], USAGE),  # cut short
]


def expect(got, want, what):
    if got != want:
        FAILURES.append(what)
        print(f"FAIL {what}:\n  got      {got!r}\n  expected {want!r}")


def refuse(answers):  # a seccomp filter: [(system calls, the errno they answer; 0 fakes success)]
    code = [(0x20, 0, 0, 0)] + [op for calls, answer in answers for n in calls for op in (
        (0x15, 0, 1, n), (6, 0, 0, 0x50000 | answer))] + [(6, 0, 0, 0x7FFF0000)]  # or allowed
    ops = ctypes.create_string_buffer(b"".join(struct.pack("=HBBI", *op) for op in code))
    prctl, zero = ctypes.CDLL(None).prctl, ctypes.c_ulong(0)  # no new privileges, then the filter
    if prctl(38, ctypes.c_ulong(1), zero, zero, zero) or prctl(
            22, ctypes.c_ulong(2), struct.pack("@HP", len(code), ctypes.addressof(ops))):
        os._exit(77)


def run(args, locale="C", program=PROGRAM, out="pipe", env={}, wrap=[], refused=(), again=WINDOWS):
    # out: pipe, closed, full or broken (no reader); refused: see refuse(); again: see the end
    environ = {k: v for k, v in os.environ.items() if not k.startswith(("LC_", "LANG"))} | env | (
        locale if isinstance(locale, dict) else {"LC_ALL": locale})
    argv = wrap + LAUNCHER + [program, *args]
    read, write = os.pipe() if out in ("pipe", "broken") else (None, None)
    read = os.close(read) if out == "broken" else read
    write = os.open("/dev/full", os.O_WRONLY) if out == "full" else write
    start, chunks = time.monotonic(), []
    prepare = lambda: (out == "closed" and os.close(1), refused and refuse(refused))
    # Standard error to a file: a trace fills a pipe, Wine's services keep one open for seconds.
    errors = tempfile.TemporaryFile()
    process = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=write, stderr=errors,
                               env=environ, preexec_fn=prepare)
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
    errors.seek(0)
    if status == -signal.SIGKILL and again:  # a hang raises: Wine's server kills a slow exit
        print("killed by Wine a second after it ended (qemu, a busy machine): run again")
        return run(args, locale, program, out, env, wrap, refused, again=False)
    return SimpleNamespace(chunks=chunks, output=b"".join(data for _, data in chunks),
                           errors=errors.read(), status=status,
                           ms=(time.monotonic() - start) * 1000, quiet=(quiet - start) * 1000)


def expect_outcome(r, want, what, locale="C"):
    if isinstance(want, int):
        waiting = b"Waiting %d ms... " % want
        expect((r.status, r.errors, r.output), (0, b"", waiting + b"Ok\r\n"), what)
        if want >= 100:  # long enough apart to arrive in two reads
            expect([data for _, data in r.chunks], [waiting, b"Ok\r\n"], what + ": writes")
        if r.chunks:  # since a look that found no announcement yet, and since its arrival
            since, late = r.chunks[-1][0] - r.quiet, r.chunks[-1][0] - r.chunks[0][0]
            expect(since >= want and late < want + LATE_MS, True,
                   f"{what}: Ok {since:.1f} ms after an empty pipe, {late:.1f} after the message")
    else:  # the usage text under Wine in the console's OEM code page: Russian by LC_ALL alone here
        charset = (("cp866" if locale.startswith("ru_RU") else "ascii") if WINDOWS else
                   {"C": "ascii", "c.UTF8": "ascii", "ru_RU.CP1251": "cp1251"}.get(locale, "utf-8"))
        usage = USAGE_TEXT % (COPYRIGHT.encode(charset, "replace"), b"waitms")
        expect((r.status, r.errors, r.output, len(r.chunks), r.ms < START_MS),
               (0, b"", usage, 1, True) if want == USAGE else want, what)


def table():
    for env, args, want, *win in TABLE:  # Windows' outcome where the row gives one
        expect_outcome(run(args, env), (win * WINDOWS + [want])[0], f"{env} {args}", str(env))


def names():
    # Line 4 of the usage text: Windows' name less .exe in the console's code page, else the bytes.
    os.chdir(folder := tempfile.mkdtemp(prefix="waitms "))
    shown = lambda r: r.output.split(b"\r\n")[3:4]
    line4 = lambda name: [b"Usage: %b[.EXE] Interval" % name]

    def place(name):  # on Windows with its support library beside it
        if WINDOWS:
            shutil.copy(os.path.join(os.path.dirname(PROGRAM), "KORVANESUPPORT0100.DLL"), ".")
        return os.path.abspath(shutil.copy(PROGRAM, name))

    rows = [(b"pause.exe", XX), ("ждать.exe".encode(), "ru_RU.UTF-8"), (b".exe", "C", b".exe")]
    if not WINDOWS:  # U+10000 up; TSCII, BIG5-HKSCS: several, one held; CP1255 holds E0; controls
        rows += [("a\U00010000\U0010ffff".encode(), "C.UTF-8"), (b"\x82" * 20, "ta_IN.TSCII"),
                 (b"w\x88\x62x\x88\x62", "zh_HK.BIG5-HKSCS"), (b"w\xe0", "yi_US.CP1255"),
                 (b"a\n \x7f\xe4\xc2\x85\xc2\x9f\xc2\xa0\xe2\x80", "C.UTF-8",  # Latin-1, cut short
                  "a? ?\ufffd??\xa0\ufffd\ufffd".encode())]  # C0, DEL, C1 as ?; not blank nor A0
    for name, locale, *shown_as in rows:
        want = (shown_as + [name.decode()[:-4].encode("cp866") if WINDOWS else name])[0]
        expect(shown(run([], locale, place(name))), line4(want), f"started as {name}")
    if WINDOWS:  # by its path, and as cmd starts it: by its bare name from the current folder
        expect_outcome(run(["250"], program=place("waitms.exe")), 250, "folder with a blank")
        r = run(["/c", "waitms", "250"], program=r"C:\windows\syswow64\cmd.exe")  # not by start.exe
        expect_outcome(r, 250, "started by cmd")
        os.makedirs(deep := "d" * 200 + "/" + "d" * 200)  # with the folder, longer than MAX_PATH
        os.chdir(deep)  # and started from there, as no exec takes a path this long
        place("waitms.exe")
        expect(shown(run([], program="./waitms.exe")), line4(b"waitms"), "MAX_PATH folder")
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
                expect_outcome(run(args), want, f"sThousand of 26 letters, {args}")
        finally:
            run(["delete", *intl], program="reg")
        return

    r = run(["2147483647"], wrap=["timeout", "--preserve-status", str(START_MS // 1000 + 1)])
    expect((r.output, r.status), (b"Waiting 2147483647 ms... ", 128 + signal.SIGTERM), "SIGTERM")
    expect(run(["1,5"], XX, wrap=["sh", "-c", 'exec "$0" "$@" 2>&-']).status, 1, "no stderr")
    # clock_nanosleep and ppoll (and time64 ones) answering EPERM, 0 (faked) or EINTR every time
    calls = {"x86_64": ((230,), (271,)), "aarch64": ((115,), (73,)), "s390x": ((262,), (302,)),
             "i686": ((267, 407), (309, 414)), "armv7l": ((265, 407), (336, 414))}.get(ARCH)
    EPERM, EINTR, none = errno.EPERM, errno.EINTR, (1, b"waitms: run-time error 17 (0x00000011)\n")
    sandboxes = [((EPERM, None), 999, 999), ((None, EPERM), 999, 999), ((0, EPERM), 300, 300),
                 ((EINTR, EPERM), 300, 300), ((EINTR, None), 0, 0),
                 ((EPERM, EPERM), 300, none + (b"Waiting 300 ms... ", 1, True))]  # no Ok, no wait
    if LAUNCHER or not calls:  # under qemu-user the filter would meet the emulator's own calls
        sandboxes = print("skipped: timed waits refused (it takes a known machine, no emulator)")
    for answers, interval, want in sandboxes or []:
        r = run([str(interval)], refused=[(n, e) for n, e in zip(calls, answers) if e is not None])
        expect_outcome(r, want, f"waitms {interval}, clock_nanosleep and ppoll {answers}")
    if ROOT:  # C.UTF-8 where the system lacks its files: C's numbers all the same
        expect_outcome(run(["2.5"], "C.UTF-8", wrap=EMPTIED + ["/usr/lib/locale"]), 2, "C.UTF-8")
    if not ALONE:
        return print("skipped: no descriptor or memory to spare (it takes a static build)")
    for x, n in (("--nofile=3", 67), ("--as=2097152", 53)):  # too few to load German 1,5
        expect_outcome(run(["1,5"], {"LANG": DE}, wrap=["prlimit", x]), cant_load(DE, "LANG", n), x)


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
