#!/usr/bin/env python3
"""Generate the 64 commentary pages, their index, the name and text tables.

The program opens "comment/<n>.htm" (n = 1..64, King Wen order) in the
browser when the number under a figure is clicked.  Every page is written
from the one table in hexagrams.py beside this script (names, trigrams,
image, sense, advice, line statements), and so are core/hexnames.cpp, the
names the program itself shows, and core/hextexts.cpp, the texts it can
show.  Run from anywhere:

    python3 comment/make_pages.py           # write them
    python3 comment/make_pages.py --check   # only say whether they are current

The script checks every figure against the King Wen table (lower trigram x
upper trigram -> number) twice: once on the table itself and once on the
written page, by reading the drawn lines back from the SVG.
"""

import html
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
NAMES_CPP = os.path.join(HERE, os.pardir, "core", "hexnames.cpp")
TEXTS_CPP = os.path.join(HERE, os.pardir, "core", "hextexts.cpp")

# The data module is imported from here; no bytecode cache is left among
# the pages delivered beside the program.
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)
from hexagrams import GLOSSARY, HEXAGRAMS, KING_WEN, TRIGRAMS  # noqa: E402


TRIGRAM_BY_LINES = {t[0]: n for n, t in TRIGRAMS.items()}


def trigrams_of(lines):
    """(lower, upper) trigram numbers of six lines written bottom to top."""
    return TRIGRAM_BY_LINES[lines[:3]], TRIGRAM_BY_LINES[lines[3:]]


def king_wen_number(lines):
    lower, upper = trigrams_of(lines)
    return KING_WEN[lower][upper - 1]


def esc(s):
    return html.escape(s, quote=True)


# Tone digits of the transliteration: ¹ ² ³ ⁴ after a syllable.
TONE_DIGITS = "\u00b9\u00b2\u00b3\u2074"


def plain_translit(translit):
    """The program's own form of a toned transliteration.

    The tone digits go and the syllables are joined by a hyphen:
    «Сяо³ чу⁴» -> «Сяо-чу», «Цянь²» -> «Цянь».  An untoned form already
    written with a hyphen stays as it is.
    """
    syllables = "".join(c for c in translit if c not in TONE_DIGITS).split()
    return "-".join(syllables)


def title_of(h):
    """The page title, which the program's name table must also give."""
    return "%d. %s %s — %s" % (h.number, h.hanzi, plain_translit(h.translit),
                               h.name)


def figure_svg(lines, scale=1.0, numbers=True, css_class="figure"):
    """Inline SVG of six lines, line 6 on top.

    Every line is a <g class="line yang|yin" data-line="n">, which the
    self-check below reads back from the written page.
    """
    width, height, gap, hole = 120, 14, 9, 18
    left = 20 if numbers else 0
    total_w = left + width
    total_h = 6 * height + 5 * gap
    parts = []
    for n in range(6, 0, -1):
        y = (6 - n) * (height + gap)
        kind = "yang" if lines[n - 1] == "1" else "yin"
        parts.append('<g class="line %s" data-line="%d">' % (kind, n))
        if numbers:
            parts.append('<text x="0" y="%d" class="num">%d</text>'
                         % (y + height - 2, n))
        if kind == "yang":
            parts.append('<rect x="%d" y="%d" width="%d" height="%d"/>'
                         % (left, y, width, height))
        else:
            half = (width - hole) // 2
            parts.append('<rect x="%d" y="%d" width="%d" height="%d"/>'
                         % (left, y, half, height))
            parts.append('<rect x="%d" y="%d" width="%d" height="%d"/>'
                         % (left + width - half, y, half, height))
        parts.append("</g>")
    return ('<svg class="%s" xmlns="http://www.w3.org/2000/svg" '
            'width="%d" height="%d" viewBox="0 0 %d %d" role="img" '
            'aria-label="Черты снизу вверх: %s">%s</svg>'
            % (css_class, round(total_w * scale), round(total_h * scale),
               total_w, total_h,
               ", ".join("ян" if c == "1" else "инь" for c in lines),
               "".join(parts)))


def page_head(title):
    return ('<!DOCTYPE html>\n<html lang="ru">\n<head>\n'
            '<meta charset="utf-8">\n'
            '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
            '<title>%s</title>\n'
            '<link rel="stylesheet" href="style.css">\n'
            '</head>\n<body>\n' % esc(title))


def trigram_label(n):
    lines, sym, ch, tr, image = TRIGRAMS[n]
    return ('<span class="tri-sym">%s</span> <span class="hanzi">%s</span> '
            '%s — %s' % (sym, ch, esc(tr), esc(image)))


def nav(n):
    prev_link = ('<a href="%d.htm" rel="prev">← %d. %s</a>'
                 % (n - 1, n - 1, esc(BY_NUMBER[n - 1][4]))
                 if n > 1 else '<span class="off">← начало</span>')
    next_link = ('<a href="%d.htm" rel="next">%d. %s →</a>'
                 % (n + 1, n + 1, esc(BY_NUMBER[n + 1][4]))
                 if n < 64 else '<span class="off">конец →</span>')
    return ('<nav class="pager">%s <span class="mid"><a href="index.htm">'
            'Все 64 гуа</a> · <a href="../help/index.htm">Справка</a></span> %s'
            '</nav>\n' % (prev_link, next_link))


# Traditional headings of the line statements: a yang line is called by the
# number nine ("девятка"), a yin line by six ("шестёрка"); the bottom line
# is "в начале", the top line "наверху", the others are counted.
LINE_PLACES = ("В начале {}", "{} вторая", "{} третья", "{} четвёртая",
               "{} пятая", "Наверху {}")


def line_heading(position, yang):
    """Heading of line `position` (1..6) of a yang or yin line."""
    word = "девятка" if yang else "шестёрка"
    place = LINE_PLACES[position - 1]
    return place.format(word if place[0] != "{" else word.capitalize())


def all_lines_heading(yang):
    return "Все девятки" if yang else "Все шестёрки"


# The classical headings: 九 for a yang line, 六 for a yin line; the bottom
# line is 初 ("beginning"), the top line 上 ("top"), the others are counted.
ZH_COUNTED = ("二", "三", "四", "五")


def zh_line_heading(position, yang):
    word = "九" if yang else "六"
    if position == 1:
        return "初" + word
    if position == 6:
        return "上" + word
    return word + ZH_COUNTED[position - 2]


def zh_text(text, heading=None):
    """A paragraph of classical text, after our Russian wording."""
    head = ('<span class="zh-head">%s</span> ' % esc(heading)) if heading else ""
    return '<p class="zh" lang="zh-Hant">%s%s</p>\n' % (head, esc(text))


def lines_section(h):
    """The six line statements, bottom line first, each with its anchor.

    The Russian statement stands right under the heading; the classical
    text, headed 初九, 六二..., follows it.
    """
    out = ['<section class="lines">\n<h2>Черты</h2>\n'
           '<p class="note">Читайте текст меняющейся черты; какие тексты брать '
           'при нескольких меняющихся чертах, сказано в '
           '<a href="../help/figures.htm#reading">справке</a>.</p>\n']
    for k, text in enumerate(h.lines, start=1):
        yang = h.figure[k - 1] == "1"
        out.append('<section class="line-text" id="line%d">\n<h3>%s</h3>\n'
                   '<p>%s</p>\n' % (k, esc(line_heading(k, yang)), esc(text)))
        if h.lines_zh:
            out.append(zh_text(h.lines_zh[k - 1], zh_line_heading(k, yang)))
        out.append('</section>\n')
    if h.all_lines:
        yang = h.figure[0] == "1"
        out.append('<section class="line-text" id="lines-all">\n<h3>%s</h3>\n'
                   '<p>%s</p>\n'
                   % (esc(all_lines_heading(yang)), esc(h.all_lines)))
        if h.all_lines_zh:
            out.append(zh_text(h.all_lines_zh, "用九" if yang else "用六"))
        out.append('</section>\n')
    out.append('</section>\n')
    return "".join(out)


def section(head, text, text_zh=None, css_class=None):
    """A section of the commentary; the classical text, if any, under ours."""
    if not text:
        return ""
    return ('<section%s>\n<h2>%s</h2>\n<p>%s</p>\n%s</section>\n'
            % (' class="%s"' % css_class if css_class else "", esc(head),
               esc(text), zh_text(text_zh) if text_zh else ""))


def hexagram_page(h):
    n, lines, ch, tr, name = h.number, h.figure, h.hanzi, h.translit, h.name
    lower, upper = trigrams_of(lines)
    out = [page_head(title_of(h))]
    out.append(nav(n))
    out.append('<main>\n<header class="hex-head">\n')
    out.append('<div class="hex-figure">%s</div>\n' % figure_svg(lines))
    out.append('<div class="hex-title">\n'
               '<p class="hex-no">Гуа %d из 64</p>\n'
               '<h1><span class="hanzi">%s</span> %s</h1>\n'
               '<p class="hex-name">%s</p>\n'
               % (n, ch, esc(tr), esc(name)))
    if h.pinyin:
        out.append('<p class="hex-pinyin"><span class="hanzi" lang="zh-Hant">'
                   '%s</span> <span lang="zh-Latn-pinyin">%s</span></p>\n'
                   % (ch, esc(h.pinyin)))
    out.append('<table class="trigrams">\n'
               '<tr><th>Верхняя триграмма</th><td>%s</td></tr>\n'
               '<tr><th>Нижняя триграмма</th><td>%s</td></tr>\n'
               '</table>\n</div>\n</header>\n'
               % (trigram_label(upper), trigram_label(lower)))
    out.append(section("Суждение", h.judgement, h.judgement_zh, "judgement"))
    out.append(section("Образ", h.image, h.image_zh, "image"))
    out.append(section("Смысл", h.sense))
    out.append(section("Совет", h.advice))
    out.append(lines_section(h))
    out.append('<p class="note">Черты гуа читаются снизу вверх: нижняя — '
               'первая, верхняя — шестая. Черты с первой по третью составляют '
               'нижнюю триграмму, с четвёртой по шестую — верхнюю.</p>\n')
    out.append('</main>\n')
    out.append(nav(n))
    out.append('</body>\n</html>\n')
    return "".join(out)


def index_page():
    out = [page_head("Шестьдесят четыре гуа")]
    out.append('<nav class="pager"><span class="off"></span><span class="mid">'
               '<a href="../help/index.htm">Справка</a></span>'
               '<span class="off"></span></nav>\n<main>\n')
    out.append('<h1>Шестьдесят четыре гуа</h1>\n'
               '<p>Номера гуа даны в традиционном порядке Вэнь-вана. '
               'В таблице строка — нижняя триграмма, столбец — верхняя; '
               'щёлкните номер, чтобы открыть комментарий.</p>\n')
    out.append('<table class="kingwen">\n<tr><th class="corner">нижняя \\ '
               'верхняя</th>')
    for u in range(1, 9):
        _, sym, ch, tr, image = TRIGRAMS[u]
        out.append('<th><span class="tri-sym">%s</span><br>%s</th>'
                   % (sym, esc(image)))
    out.append('</tr>\n')
    for lo in range(1, 9):
        _, sym, ch, tr, image = TRIGRAMS[lo]
        out.append('<tr><th><span class="tri-sym">%s</span> %s</th>'
                   % (sym, esc(image)))
        for u in range(1, 9):
            n = KING_WEN[lo][u - 1]
            h = BY_NUMBER[n]
            out.append('<td><a href="%d.htm" title="%s">%s<br>%d</a></td>'
                       % (n, esc("%s %s — %s" % (h.hanzi, h.translit, h.name)),
                          figure_svg(h[1], scale=0.22, numbers=False,
                                     css_class="mini"), n))
        out.append('</tr>\n')
    out.append('</table>\n<h2>По порядку</h2>\n<ol class="hexlist">\n')
    for h in HEXAGRAMS:
        out.append('<li value="%d"><a href="%d.htm"><span class="hanzi">%s'
                   '</span> %s — %s</a></li>\n'
                   % (h[0], h[0], h[2], esc(h[3]), esc(h[4])))
    out.append('</ol>\n</main>\n</body>\n</html>\n')
    return "".join(out)


def check_table():
    """The table itself: 64 distinct figures, each at its King Wen number."""
    assert len(HEXAGRAMS) == 64
    assert [h[0] for h in HEXAGRAMS] == list(range(1, 65))
    assert len({h[1] for h in HEXAGRAMS}) == 64
    numbers = sorted(v for row in KING_WEN.values() for v in row)
    assert numbers == list(range(1, 65)), "King Wen table is not a bijection"
    for h in HEXAGRAMS:
        n, lines = h[0], h[1]
        assert re.fullmatch("[01]{6}", lines), n
        assert king_wen_number(lines) == n, (
            "figure %s of hexagram %d is number %d in the King Wen table"
            % (lines, n, king_wen_number(lines)))
        assert all((h.hanzi, h.translit, h.name, h.image, h.sense, h.advice)), (
            "empty field in hexagram %d" % n)
        assert len(h.lines) == 6 and all(t.strip() for t in h.lines), (
            "hexagram %d needs six line statements" % n)
        # Only the two pure figures have a statement for all lines changing.
        assert bool(h.all_lines) == (n in (1, 2)), n
        assert not h.all_lines_zh or h.all_lines, n
        # The classical texts come with our wording, never alone.
        assert bool(h.judgement) == bool(h.judgement_zh), (
            "hexagram %d: judgement and its classical text go together" % n)
        assert not h.image_zh or h.image, n
        if h.lines_zh is not None:
            assert len(h.lines_zh) == 6 and all(h.lines_zh), n
        # A toned transliteration has one digit per syllable at most,
        # always at a syllable's end.
        for syllable in h.translit.split():
            assert not any(c in TONE_DIGITS for c in syllable[:-1]), (
                "hexagram %d: tone digit inside %r" % (n, syllable))
        check_glossary(h)
        if h.pinyin is not None:
            assert h.pinyin == h.pinyin.lower() and len(h.pinyin.split()) == len(h.hanzi), n


# Formulas of the glossary that are never declined nor part of a longer
# formula with another rendering; their rendering must stand as it is.
EXACT_FORMULAS = ("无咎", "悔亡", "无悔", "元吉", "大吉", "元亨", "小亨",
                  "貞吉", "貞凶", "貞厲", "貞吝", "征吉", "征凶", "利見大人",
                  "无不利", "无攸利", "勿用有攸往")
# A formula inside a longer one that is rendered otherwise.
INSIDE = {"利涉大川": "不利涉大川", "利有攸往": "不利有攸往"}


def check_glossary(h):
    """Our wording of a classical text uses the glossary's renderings."""
    passages = [(h.judgement, h.judgement_zh), (h.image, h.image_zh)]
    passages += list(zip(h.lines, h.lines_zh or ()))
    passages.append((h.all_lines, h.all_lines_zh))
    formulas = EXACT_FORMULAS + ("利涉大川", "不利涉大川", "利有攸往", "不利有攸往")
    for ru, zh in passages:
        if not zh:
            continue
        for f in formulas:
            if f not in zh.replace(INSIDE.get(f, "\0"), ""):
                continue
            r = GLOSSARY[f]
            assert r in ru or (r[0].upper() + r[1:]) in ru, (
                "hexagram %d: %s should read «%s»: %s" % (h.number, f, r, ru))


LINE_RE = re.compile(r'<g class="line (yang|yin)" data-line="(\d)">')


def check_written_page(path, n, text):
    """Read the drawn lines back from the page and look up their number."""
    found = LINE_RE.findall(text)
    assert [int(k) for _, k in found] == [6, 5, 4, 3, 2, 1], path
    lines = "".join("1" if kind == "yang" else "0"
                    for kind, _ in reversed(found))
    assert king_wen_number(lines) == n, (
        "%s draws number %d" % (path, king_wen_number(lines)))
    assert '<meta charset="utf-8">' in text, path
    ids = re.findall(r'<section class="line-text" id="line(\d)">', text)
    assert ids == ["1", "2", "3", "4", "5", "6"], path


def cpp_string(s):
    """A C++ string literal of UTF-8 text (ASCII escapes only)."""
    return '"%s"' % s.replace("\\", "\\\\").replace('"', '\\"')


def names_cpp():
    out = ["// Generated by comment/make_pages.py from comment/hexagrams.py: do not edit.\n"
           "// Names of the 64 hexagrams in King Wen order (UTF-8).\n"
           '#include "core/hexnames.h"\n\n'
           "#include <array>\n#include <stdexcept>\n\n"
           "namespace core {\n\n"
           "namespace {\n"
           "constexpr std::array<HexagramName, 64> kNames{{\n"]
    for h in HEXAGRAMS:
        out.append("    {%s, %s, %s},  // %d\n"
                   % (cpp_string(h.hanzi), cpp_string(plain_translit(h.translit)),
                      cpp_string(h.name), h.number))
    out.append("}};\n}  // namespace\n\n"
               "const HexagramName& NameOfHexagram(int number) {\n"
               "  if (number < 1 || number > 64) throw std::out_of_range(\"hexagram number\");\n"
               "  return kNames[static_cast<std::size_t>(number - 1)];\n"
               "}\n\n"
               "}  // namespace core\n")
    return "".join(out)


def texts_cpp():
    """The classical texts and our wording of them, for the program."""
    def s(text):
        return cpp_string(text or "")

    out = ["// Generated by comment/make_pages.py from comment/hexagrams.py: do not edit.\n"
           "// Texts of the 64 hexagrams in King Wen order (UTF-8); empty where not yet written.\n"
           '#include "core/hextexts.h"\n\n'
           "#include <stdexcept>\n\n"
           "namespace core {\n\n"
           "namespace {\n"
           "constexpr std::array<HexagramTexts, 64> kTexts{{\n"]
    for h in HEXAGRAMS:
        lines = h.lines or ("",) * 6
        lines_zh = h.lines_zh or ("",) * 6
        out.append("    // %d\n    {%s, %s, %s, %s,\n     %s,\n     %s,\n     %s,\n     %s,\n"
                   "     {{%s}},\n     {{%s}},\n     %s,\n     %s},\n"
                   % (h.number, s(h.hanzi), s(h.translit), s(h.pinyin), s(h.name),
                      s(h.judgement), s(h.judgement_zh), s(h.image), s(h.image_zh),
                      ",\n       ".join(s(t) for t in lines),
                      ",\n       ".join(s(t) for t in lines_zh),
                      s(h.all_lines), s(h.all_lines_zh)))
    out.append("}};\n}  // namespace\n\n"
               "const HexagramTexts& TextsOfHexagram(int number) {\n"
               "  if (number < 1 || number > 64) throw std::out_of_range(\"hexagram number\");\n"
               "  return kTexts[static_cast<std::size_t>(number - 1)];\n"
               "}\n\n"
               "}  // namespace core\n")
    return "".join(out)


BY_NUMBER = {h[0]: h for h in HEXAGRAMS}


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def outputs():
    """Every generated file: (path, text), the pages checked as written."""
    files = []
    for h in HEXAGRAMS:
        path = os.path.join(HERE, "%d.htm" % h.number)
        text = hexagram_page(h)
        check_written_page(path, h.number, text)
        files.append((path, text))
    files.append((os.path.join(HERE, "index.htm"), index_page()))
    files.append((os.path.normpath(NAMES_CPP), names_cpp()))
    files.append((os.path.normpath(TEXTS_CPP), texts_cpp()))
    return files


def read(path):
    try:
        with open(path, encoding="utf-8", newline="") as f:
            return f.read()
    except FileNotFoundError:
        return None


def main(argv):
    check_table()
    files = outputs()
    if argv[1:] == ["--check"]:
        stale = [path for path, text in files if read(path) != text]
        for path in stale:
            print("not current: %s (run python3 comment/make_pages.py)"
                  % os.path.relpath(path, os.path.join(HERE, os.pardir)))
        return 1 if stale else 0
    if argv[1:]:
        print("usage: make_pages.py [--check]", file=sys.stderr)
        return 2
    for path, text in files:
        write(path, text)
    print("wrote 64 pages and index.htm to %s, names and texts to %s"
          % (HERE, os.path.normpath(os.path.dirname(NAMES_CPP))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
