#!/usr/bin/env python3
"""Checks the help pages: every local link (href, src) of help/*.htm leads to
an existing file, and every #anchor to an id or name in that file.

    python3 help/check_links.py [HELP_FOLDER]

Prints each broken link and ends with 1 when there is one, else 0.
"""
import html.parser
import pathlib
import sys
import urllib.parse


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.ids = [], set()

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if value is None:
                continue
            if name in ("id", "name"):
                self.ids.add(value)
            elif name in ("href", "src"):
                self.links.append(value)


def parse(path, cache={}):
    if path not in cache:
        page = Page()
        page.feed(path.read_text(encoding="utf-8"))
        cache[path] = page
    return cache[path]


def main():
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent).resolve()
    broken = []
    pages = sorted(folder.glob("*.htm"))
    if not pages:
        broken.append(f"{folder}: no help pages")
    for page in pages:
        for link in parse(page).links:
            url = urllib.parse.urlsplit(link)
            if url.scheme or url.netloc:
                continue  # not a local link
            target = (page.parent / urllib.parse.unquote(url.path)).resolve() if url.path else page
            if not target.is_file():
                broken.append(f"{page.name}: {link}: no file {target}")
                continue
            if url.fragment and target.suffix in (".htm", ".html"):
                if url.fragment not in parse(target).ids:
                    broken.append(f"{page.name}: {link}: no anchor #{url.fragment} in {target.name}")
    for line in broken:
        print(line)
    print(f"{len(pages)} pages, {len(broken)} broken links")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
