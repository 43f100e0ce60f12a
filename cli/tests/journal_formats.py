#!/usr/bin/env python3
"""kalynth-calc journal --format csv and --format json read back by Python's
csv and json modules give the cells of the TSV listing, with the texts
whole: a hostile tree of records (commas, quotes, tabs, control characters,
line breaks, a folder named in Windows-1251) survives both.

usage: journal_formats.py KALYNTH_CALC
"""
import csv
import io
import json
import os
import re
import subprocess
import sys
import tempfile

CONTROL = re.compile('[\x00-\x1f\x7f-\x9f\u2028\u2029]')


def record(note: bytes, comments: bytes, codes=b"588 948 984 588 588 588") -> bytes:
    lines = b"".join(b"Edit%d=%s\r\n" % (i + 1, c) for i, c in enumerate(codes.split()))
    return (b"[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\n" + lines + b"Edit7=" + note +
            b"\r\nBtn2=0\r\n[%%%&*(0876&%9]\r\n" + comments + b"\r\n")


def one_line(text: str) -> str:
    return CONTROL.sub(' ', text)


def preview(comments: str) -> str:
    text = ' '.join(one_line(comments).split())
    return text[:79] + '\u2026' if len(text) > 80 else text


def run(calc, *args) -> str:
    done = subprocess.run([calc, 'journal', *args], capture_output=True, check=False)
    if done.returncode != 0:
        sys.exit('kalynth-calc journal %s: %d %s' % (args, done.returncode, done.stderr.decode()))
    return done.stdout.decode('utf-8')  # strict: every format is UTF-8


def main() -> int:
    calc = sys.argv[1]
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)

    with tempfile.TemporaryDirectory() as tmp:
        root = os.fsencode(tmp)
        long_line = ('длинная, "строка"; ' * 150).encode('cp1251')
        comments = b'\r\n'.join([b'first, "quoted" line', b'\ttabbed\x01\x1b[31m', long_line, b'', b'last'])
        files = {
            b'a,"b".kly': record('вопрос, "в кавычках"\tтаб \x1b]0;x\x07'.encode('cp1251'), comments),
            b'plain.kly': record(b'plain', b'one line', b'544 544 544 544 544 544'),
            b'broken.kly': b'not a record\r\n',
        }
        old = os.path.join(root, 'Гадания 2003'.encode('cp1251'))  # not UTF-8
        os.mkdir(old)
        for name, data in files.items():
            with open(os.path.join(root, name), 'wb') as f:
                f.write(data)
        with open(os.path.join(old, 'старая.kly'.encode('cp1251')), 'wb') as f:
            f.write(record('Старая'.encode('cp1251'), b'x'))

        tsv = [line.split('\t') for line in run(calc, tmp).split('\n')[:-1]]
        csv_text = run(calc, tmp, '--format', 'csv')
        check('\r\n' in csv_text and csv_text.endswith('\r\n'), 'CSV lines end in CR LF')
        table = list(csv.reader(io.StringIO(csv_text, newline=''), strict=True))
        items = json.loads(run(calc, tmp, '--format', 'json'))

        check(table[0] == tsv[0], 'CSV header %s is the TSV header %s' % (table[0], tsv[0]))
        check(len(table) == len(tsv) == len(items) + 1 == 5, 'one row per file: %d %d %d' %
              (len(table), len(tsv), len(items)))
        col = {key: i for i, key in enumerate(tsv[0])}
        for t, c, j in zip(tsv[1:], table[1:], items):
            name = c[col['file']]
            for key, i in col.items():
                shown = preview(c[i]) if key == 'comments' else one_line(c[i])
                check(shown == t[i], '%s %s: CSV %r, TSV %r' % (name, key, c[i], t[i]))
            check(j['file'] == name and j['folder'] == c[col['folder']], '%s: JSON names' % name)
            check(j['note'] == c[col['note']], '%s: JSON note %r' % (name, j['note']))
            check(j['comments'] == c[col['comments']], '%s: JSON comments' % name)
            check((j['problem'] or '') == c[col['problem']], '%s: JSON problem' % name)
            number = t[col['primary']].split(' ')[0]
            check(j['primary'] == (int(number) if number else None), '%s: JSON primary %r' % (name, j['primary']))
            check(', '.join(map(str, j['changing_lines'])) == t[col['changing_lines']], '%s: lines' % name)
            check(j['saved'][:16].replace('T', ' ') == t[col['saved']], '%s: saved %s' % (name, j['saved']))
            check(j['cast'] is None, '%s: no moment kept' % name)

        by_name = {c[col['file']]: c for c in table[1:]}
        hostile = by_name.get('a,"b".kly')
        check(hostile is not None, 'the hostile name is listed')
        if hostile:
            check(hostile[col['note']] == 'вопрос, "в кавычках"\tтаб \x1b]0;x\x07', 'hostile note whole')
            check(hostile[col['comments']] == comments.decode('cp1251').replace('\r\n', '\n'),
                  'hostile comments whole')
        check(by_name.get('старая.kly', [''] * 11)[col['folder']] == 'Гадания 2003', 'Windows-1251 folder')
        # The folder was made with a name that is not UTF-8: remove it by its bytes.
        os.remove(os.path.join(old, 'старая.kly'.encode('cp1251')))
        os.rmdir(old)

    for f in failures:
        print('FAIL:', f)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
