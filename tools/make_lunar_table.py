#!/usr/bin/env python3
"""Writes src/base/lunar_table.inc: one 32-bit word per lunar year 1900-2099.

Run once by hand (needs Debian's python3-lunardate); the output is committed,
the build does not run this. Word layout, lowest bit first:
  bits 0-12   month lengths in calendar order (leap month in its place),
              1 = 30 days, 0 = 29 days
  bits 13-16  the leap month (1-12), 0 when the year has none
  bits 17-22  days from 1 January (Gregorian, same year) to the lunar new year
"""
import datetime
import sys
from lunardate import LunarDate


def months(year):
    out = []
    for month in range(1, 13):
        out.append((month, False))
        try:
            LunarDate(year, month, 1, True).toSolarDate()
            out.append((month, True))
        except ValueError:
            pass
    return out


def month_length(year, month, leap):
    try:
        LunarDate(year, month, 30, leap).toSolarDate()
        return 30
    except ValueError:
        return 29


def word(year):
    ms = months(year)
    bits = 0
    leap_month = 0
    for i, (month, leap) in enumerate(ms):
        if month_length(year, month, leap) == 30:
            bits |= 1 << i
        if leap:
            leap_month = month
    start = LunarDate(year, 1, 1).toSolarDate()
    offset = (start - datetime.date(year, 1, 1)).days
    assert 0 <= offset < 64
    return bits | (leap_month << 13) | (offset << 17)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "src/base/lunar_table.inc"
    words = [word(y) for y in range(1900, 2100)]
    with open(out, "w") as f:
        f.write("// Lunar years 1900-2099, made by tools/make_lunar_table.py; see there for the layout.\n")
        for i in range(0, len(words), 8):
            f.write("    " + " ".join("0x%06X," % w for w in words[i:i + 8]) + "\n")


if __name__ == "__main__":
    main()
