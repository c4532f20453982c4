#!/usr/bin/env python3
"""Writes the seed corpus in fuzz/corpus/, one file per case; the names say what each one is.

    python3 fuzz/make_seeds.py

The layouts are those that the fuzz targets read (see the comments at the top of each target).
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    os.makedirs(os.path.join(HERE, "corpus", target), exist_ok=True)
    with open(os.path.join(HERE, "corpus", target, name), "wb") as f:
        f.write(data)


# The conversion, free text: the mode byte holds the decimal separator's length (bits 0-1), the
# group separator's (bits 2-3), wide characters (bit 4) and repetition (bits 6 and 7 together).
def narrow(dec, grp, text, extra=0):
    return bytes([len(dec) | len(grp) << 2 | extra]) + (dec + grp + text).encode("latin-1")


def wide(dec, grp, text, extra=0):
    return bytes([len(dec) | len(grp) << 2 | 0x10 | extra]) + (dec + grp + text).encode("utf-16-le")


# The round trip: bit 5 of the mode byte, bit 0 the sign; then the locale, the magnitude (4 bytes,
# high first), the fraction's length and digits, the layout byte and the grouping bits.
def trip(sign, locale, magnitude, fraction, layout, groups):
    return (bytes([0x20 | sign, locale]) + struct.pack(">I", magnitude) + bytes([len(fraction)]) +
            bytes(int(c) for c in fraction) + bytes([layout]) + struct.pack(">I", groups))


# The wait command: bits 0-1 of the first byte pick standard output, the rest the locale (0 C,
# 1 C.UTF-8, 2 en_US.UTF-8, 3 de_DE.UTF-8, 4 ru_RU.UTF-8, 5 ru_RU.CP1251, when all are installed);
# the arguments follow, split at NUL.
def command(locale, out, *args):
    return bytes([locale << 2 | out]) + b"\0".join(args)


def main():
    write("parse_long", "en-grouped-fraction", narrow(".", ",", "12,345.5"))
    write("parse_long", "de-grouped-fraction", narrow(",", ".", " 1.500,5 "))
    write("parse_long", "c-half-even", narrow(".", "", "-3.5"))
    write("parse_long", "c-limit", narrow(".", "", "2147483647.5"))
    write("parse_long", "c-minimum", narrow(".", "", "\t-2147483648.5\t"))
    write("parse_long", "refused-trailing-group", narrow(".", ",", "1,500,"))
    write("parse_long", "several-characters", narrow("<d>", "::", "+1::000<d>49"))
    write("parse_long", "ru-narrow-nbsp-wide", wide(",", "\u202f", "1\u202f500,51"))
    write("parse_long", "fullwidth-digits-wide", wide(".", ",", "\uff11\uff15"))
    write("parse_long", "repeated-digits", narrow(".", ",", "19,999", 0xC0))
    write("parse_long", "round-trip-en", trip(0, 1, 1234567, "5", 0x40, 0))
    write("parse_long", "round-trip-minimum", trip(1, 3, 2147483648, "5000", 0x43, 0x55555555))
    write("parse_long", "round-trip-overflow", trip(0, 10, 4294967295, "9", 0x08, 0xFFFFFFFF))

    write("wait_command", "c-wait", command(0, 0, b"1500"))
    write("wait_command", "c-zero", command(0, 0, b"0"))
    write("wait_command", "c-infinite", command(0, 0, b"-1"))
    write("wait_command", "c-no-argument", command(0, 0))
    write("wait_command", "c-two-arguments", command(0, 0, b"1", b"2"))
    write("wait_command", "c-largest", command(0, 0, b" 2147483647 "))
    write("wait_command", "utf8-bom", command(1, 0, b"\xef\xbb\xbf5"))
    write("wait_command", "utf8-overlong-digit", command(1, 0, b"1\xc0\xb1"))
    write("wait_command", "en-grouped", command(2, 0, b"1,500"))
    write("wait_command", "de-fraction", command(3, 0, b"2,5"))
    write("wait_command", "ru-narrow-nbsp", command(4, 0, b"1\xe2\x80\xaf500"))
    write("wait_command", "cp1251-nbsp", command(5, 0, b"1\xa0500"))
    write("wait_command", "no-standard-output", command(0, 2, b"250"))
    write("wait_command", "failing-writes-usage", command(4, 3, b"x"))


if __name__ == "__main__":
    main()
