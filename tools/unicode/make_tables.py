#!/usr/bin/env python3
"""Writes the character tables of the portable core from the Unicode Character Database.

Usage: python3 tools/unicode/make_tables.py [UCD_DIR]   (default /usr/share/unicode, Debian's
unicode-data package)

Writes, beside the code that includes them:
  src/find/case_fold_table.inc  the simple case foldings (CaseFolding.txt, statuses C and S) that
                                keep a character's UTF-8 length, as ranges with one offset each
  src/text/wide_chars.inc       East_Asian_Width W and F (EastAsianWidth.txt), as merged ranges

The tables are committed; building and testing never run this. Run it again for a newer Unicode.
It refuses to write a table that would break what case_fold.h promises.
"""

import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
COMMAND = "python3 tools/unicode/make_tables.py"


def fail(message):
    sys.exit("make_tables: " + message)


def utf8_length(cp):
    return 1 if cp < 0x80 else 2 if cp < 0x800 else 3 if cp < 0x10000 else 4


def read_ucd(path):
    """The file's Unicode version (from its first line) and its data lines as (fields, comment)."""
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
    except OSError as e:
        fail("cannot read %s (%s); Debian's unicode-data package has it" % (path, e))
    m = re.match(r"# \w+-(\d+\.\d+\.\d+)\.txt", lines[0])
    if not m:
        fail("%s: no version on its first line" % path)
    rows = []
    for line in lines:
        # A later file may give the reserved code points of some blocks a default of their own in
        # an @missing line. This reads only listed code points (as the tests do), so it stops
        # rather than miss them.
        missing = re.match(r"# @missing: ([0-9A-F.]+);", line)
        if missing and missing.group(1) != "0000..10FFFF":
            fail("%s gives %s a default of its own; read it too" % (path, missing.group(1)))
        data, _, comment = line.partition("#")
        if data.strip():
            rows.append(([f.strip() for f in data.split(";")], comment.strip()))
    return m.group(1), rows


def code_range(text):
    lo, _, hi = text.partition("..")
    return int(lo, 16), int(hi or lo, 16)


def simple_foldings(ucd):
    """cp -> its simple folding, for those of the same UTF-8 length; and those left out."""
    version, rows = read_ucd(os.path.join(ucd, "CaseFolding.txt"))
    folds, dropped, names = {}, [], {}
    for fields, comment in rows:
        if fields[1] not in ("C", "S"):
            continue
        cp, to = int(fields[0], 16), int(fields[2], 16)
        names[cp] = comment
        if utf8_length(cp) != utf8_length(to):
            dropped.append((cp, to, comment))
        else:
            folds[cp] = to
    return version, folds, dropped, names


def fold_ranges(folds):
    """The foldings past ASCII as (lo, hi, delta, alternate) ranges, sorted and disjoint. With
    alternate, only lo, lo + 2, ... fold and the code points between them fold to themselves."""
    keys = sorted(cp for cp in folds if cp >= 0x80)
    ranges, i = [], 0
    while i < len(keys):
        lo = keys[i]
        delta = folds[lo] - lo
        run = lo
        while folds.get(run + 1) == run + 1 + delta:
            run += 1
        alt = lo
        while alt + 1 not in folds and folds.get(alt + 2) == alt + 2 + delta:
            alt += 2
        ranges.append((lo, alt, delta, 1) if alt > run else (lo, run, delta, 0))
        hi = ranges[-1][1]
        while i < len(keys) and keys[i] <= hi:
            i += 1
    return ranges


def expand(ranges):
    out = {}
    for lo, hi, delta, alternate in ranges:
        for cp in range(lo, hi + 1, 2 if alternate else 1):
            out[cp] = cp + delta
    return out


def check_foldings(folds, ranges):
    """What the search builds on: the checks case_fold.h's promises rest on."""
    ascii_folds = {cp: to for cp, to in folds.items() if cp < 0x80}
    if ascii_folds != {cp: cp + 32 for cp in range(ord("A"), ord("Z") + 1)}:
        fail("ASCII folds otherwise than A-Z to a-z, which fold_case hard-codes")
    if expand(ranges) != {cp: to for cp, to in folds.items() if cp >= 0x80}:
        fail("the ranges do not give back the foldings")
    for (_, hi, _, _), (lo, _, _, _) in zip(ranges, ranges[1:]):
        if lo <= hi:
            fail("ranges overlap at U+%04X" % lo)
    for cp, to in folds.items():
        if folds.get(to, to) != to:
            fail("U+%04X folds to U+%04X, which folds again" % (cp, to))
        if utf8_length(cp) != utf8_length(to):
            fail("U+%04X changes its UTF-8 length" % cp)
    header = open(os.path.join(ROOT, "src", "find", "case_fold.h"), encoding="utf-8").read()
    m = re.search(r"CASE_VARIANTS_MAX = (\d+)", header)
    if not m:
        fail("no CASE_VARIANTS_MAX in case_fold.h")
    classes = {}
    for cp, to in folds.items():
        classes.setdefault(to, {to}).add(cp)
    widest = max(classes.values(), key=len)
    if len(widest) > int(m.group(1)):
        fail(
            "%d code points fold alike (%s), more than CASE_VARIANTS_MAX"
            % (len(widest), " ".join("U+%04X" % c for c in sorted(widest)))
        )


def wide_ranges(ucd):
    version, rows = read_ucd(os.path.join(ucd, "EastAsianWidth.txt"))
    wide = []
    for fields, _ in rows:
        if fields[1] in ("W", "F"):
            wide.append(code_range(fields[0]))
    wide.sort()
    merged = []
    for lo, hi in wide:
        if merged and lo <= merged[-1][1] + 1:
            merged[-1][1] = max(merged[-1][1], hi)
        else:
            merged.append([lo, hi])
    return version, merged


def wrap_comment(text, indent=""):
    """Comment lines of at most 100 columns."""
    lines, line = [], indent + "//"
    for word in text.split():
        if len(line) + 1 + len(word) > 100:
            lines.append(line)
            line = indent + "//"
        line += " " + word
    lines.append(line)
    return "\n".join(lines) + "\n"


def write(path, text):
    with open(os.path.join(ROOT, path), "w", encoding="utf-8") as f:
        f.write(text)
    print("wrote " + path)


def case_table(version, folds, dropped, names):
    ranges = fold_ranges(folds)
    check_foldings(folds, ranges)
    out = "// Generated by %s from Unicode %s's CaseFolding.txt.\n" % (COMMAND, version)
    out += wrap_comment(
        "Do not edit; run the generator again. The simple case foldings (statuses C and S) of every code point past ASCII as "
        "{lo, hi, delta, alternate} rows of FoldRange. Left out because the folding changes the "
        "UTF-8 length: "
        + "; ".join("U+%04X %s (to U+%04X)" % (cp, name.lower(), to) for cp, to, name in dropped)
        + "."
    )
    for lo, hi, delta, alternate in ranges:
        row = "{0x%04X, 0x%04X, %d, %d}," % (lo, hi, delta, alternate)
        out += "%-32s// %s\n" % (row, names[lo].lower())
    return out, len(ranges)


def wide_table(version, merged):
    out = "// Generated by %s from Unicode %s's EastAsianWidth.txt.\n" % (COMMAND, version)
    out += wrap_comment(
        "Do not edit; run the generator again. East_Asian_Width W and F, reserved code points in wide blocks included, as merged "
        "CodeRange rows."
    )
    cells = ["{0x%04X, 0x%04X}," % (lo, hi) for lo, hi in merged]
    for k in range(0, len(cells), 4):
        out += " ".join("%-19s" % c for c in cells[k : k + 4]).rstrip() + "\n"
    return out


def main():
    ucd = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode"
    case_version, folds, dropped, names = simple_foldings(ucd)
    wide_version, merged = wide_ranges(ucd)
    if case_version != wide_version:
        fail("CaseFolding.txt is of %s, EastAsianWidth.txt of %s" % (case_version, wide_version))
    text, count = case_table(case_version, folds, dropped, names)
    write("src/find/case_fold_table.inc", text)
    write("src/text/wide_chars.inc", wide_table(wide_version, merged))
    print(
        "Unicode %s: %d foldings in %d ranges (%d left out), %d wide ranges"
        % (case_version, len(folds), count, len(dropped), len(merged))
    )


if __name__ == "__main__":
    main()
