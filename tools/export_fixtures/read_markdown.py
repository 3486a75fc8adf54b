#!/usr/bin/python3
"""Reads a Markdown copy back with a real CommonMark reader and checks it gives every cell.

Usage: read_markdown.py COPY.md DUMP.pg OUT.readback

Renders COPY.md (copy_as's Markdown table of every row and column of DUMP.pg) with Debian's
python3-markdown-it: CommonMark with the GitHub table and strikethrough rules, raw HTML allowed
(the copy writes line breaks as <br>). Each cell's text is what the reader makes of it: its text,
a line break for <br>; any other markup (emphasis, code, a link, an entity left unread, HTML) is
reported as a fault. Writes what it read to OUT.readback, one line per table row (the header row
first), cells separated by tabs and written with COPY's escapes (\\\\, \\t, \\n, \\r), and exits 1
when a cell differs from what the dump holds: the column name (its quotes read), or the value
(COPY's escapes decoded; NULL and the empty string both as an empty cell; CR LF and CR as LF).
"""

import sys

from markdown_it import MarkdownIt


def copy_decoded(field):
    """A COPY text field's value, as the server reads it."""
    out = bytearray()
    i = 0
    while i < len(field):
        c = field[i]
        if c != 0x5C or i + 1 == len(field):
            out.append(c)
            i += 1
            continue
        x = field[i + 1]
        i += 2
        simple = {ord("b"): 8, ord("f"): 12, ord("n"): 10, ord("r"): 13, ord("t"): 9, ord("v"): 11}
        if x in simple:
            out.append(simple[x])
        elif 0x30 <= x <= 0x37:
            v = x - 0x30
            for _ in range(2):
                if i < len(field) and 0x30 <= field[i] <= 0x37:
                    v = v * 8 + field[i] - 0x30
                    i += 1
            out.append(v & 0xFF)
        elif x == ord("x") and i < len(field) and chr(field[i]) in "0123456789abcdefABCDEF":
            digits = field[i:i + 1]
            i += 1
            if i < len(field) and chr(field[i]) in "0123456789abcdefABCDEF":
                digits += field[i:i + 1]
                i += 1
            out.append(int(digits, 16))
        else:
            out.append(x)
    return bytes(out)


def column_names(header):
    """The names of a COPY header line, their double quotes read."""
    inside = header[header.index(b"(") + 1:]
    names, name, quoted, i = [], bytearray(), False, 0
    while i < len(inside):
        c = inside[i:i + 1]
        if c == b'"':
            if quoted and inside[i + 1:i + 2] == b'"':
                name += b'"'
                i += 1
            else:
                quoted = not quoted
        elif not quoted and c == b")":
            break
        elif not quoted and inside[i:i + 2] == b", ":
            names.append(bytes(name))
            name = bytearray()
            i += 1
        else:
            name += c
        i += 1
    names.append(bytes(name))
    return names


def expected_rows(dump):
    """The header's names and each row's values as a Markdown cell must read them."""
    block = dump[dump.index(b"\x01[DATA]\n") + 8:]
    lines = block.split(b"\n")
    rows = [[name.decode("utf-8") for name in column_names(lines[0])]]
    for line in lines[1:]:
        if line == b"\\.":
            break
        cells = []
        for field in line.split(b"\t"):
            value = b"" if field == b"\\N" else copy_decoded(field)
            value = value.replace(b"\r\n", b"\n").replace(b"\r", b"\n")
            cells.append(value.decode("utf-8"))
        rows.append(cells)
    return rows


def cell_text(inline, faults, where):
    """The text a reader shows for a cell's inline tokens."""
    text = ""
    for token in inline.children or []:
        if token.type == "text":
            text += token.content
        elif token.type in ("softbreak", "hardbreak"):
            text += "\n"
        elif token.type == "html_inline" and token.content.lower() in ("<br>", "<br/>", "<br />"):
            text += "\n"
        else:
            faults.append(f"{where}: read as markup: {token.type} {token.content!r}")
            text += token.content
    return text


def read_table(markdown, faults):
    """Each row of the one table in the text, as the texts of its cells."""
    reader = MarkdownIt("commonmark", {"html": True}).enable(["table", "strikethrough"])
    tokens = reader.parse(markdown)
    rows, row = [], None
    for i, token in enumerate(tokens):
        if token.type == "tr_open":
            row = []
        elif token.type == "tr_close":
            rows.append(row)
        elif token.type == "inline" and row is not None and i > 0 and \
                tokens[i - 1].type in ("th_open", "td_open"):
            row.append(cell_text(token, faults, f"row {len(rows)}, cell {len(row)}"))
    return rows


def copy_escaped(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
            .replace("\r", "\\r"))


def main():
    copy_path, dump_path, out_path = sys.argv[1:4]
    with open(copy_path, "rb") as f:
        markdown = f.read().decode("utf-8")
    with open(dump_path, "rb") as f:
        want = expected_rows(f.read())
    faults = []
    got = read_table(markdown, faults)
    with open(out_path, "w", encoding="utf-8", newline="\n") as f:
        for row in got:
            f.write("\t".join(copy_escaped(cell) for cell in row) + "\n")
    if len(got) != len(want):
        faults.append(f"the reader found {len(got)} rows, the dump holds {len(want)}")
    for r, (read, held) in enumerate(zip(got, want)):
        if len(read) != len(held):
            faults.append(f"row {r}: {len(read)} cells, the dump holds {len(held)}")
        for c, (a, b) in enumerate(zip(read, held)):
            if a != b:
                faults.append(f"row {r}, cell {c}: read {a!r}, the dump holds {b!r}")
    for fault in faults:
        print(f"read_markdown: {fault}", file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
