#!/usr/bin/env python3
"""The texts of comment/hexagrams.py as rows for reading_test.cpp.

The reading test compares the texts the program selects for a cast with
the ones of the table of texts itself, not with core/hextexts.cpp written
from it: a generated table that has fallen behind fails the test just as a
wrong rule does.

    python3 reading_texts.py COMMENT_DIR OUT.tsv

One row a text, UTF-8, tab-separated: King Wen number, part (judgement,
image, line, all_lines), line 1..6 (0 for the other parts), our wording,
the classical text.
"""

import os
import sys

sys.dont_write_bytecode = True


def rows(hexagrams):
    for h in hexagrams:
        yield h.number, "judgement", 0, h.judgement, h.judgement_zh
        yield h.number, "image", 0, h.image, h.image_zh
        lines = h.lines or ("",) * 6
        lines_zh = h.lines_zh or ("",) * 6
        for k in range(6):
            yield h.number, "line", k + 1, lines[k], lines_zh[k]
        if h.all_lines or h.all_lines_zh:
            yield h.number, "all_lines", 0, h.all_lines, h.all_lines_zh


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: reading_texts.py COMMENT_DIR OUT.tsv")
    sys.path.insert(0, os.path.abspath(sys.argv[1]))
    from hexagrams import HEXAGRAMS

    out = []
    for number, part, line, text, zh in rows(HEXAGRAMS):
        text, zh = text or "", zh or ""
        for t in (text, zh):
            if "\t" in t or "\n" in t:
                sys.exit("%d %s %d: a tab or a line end in the text" % (number, part, line))
        out.append("%d\t%s\t%d\t%s\t%s\n" % (number, part, line, text, zh))
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.writelines(out)


if __name__ == "__main__":
    main()
