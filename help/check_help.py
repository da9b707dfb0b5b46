#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the help pages: each page parses, every link and stylesheet points at a file (and
anchor) that exists, help.qrc lists exactly the page and style files, and the contents page
links every topic page. Exits non-zero with one line per problem."""
import html.parser
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

HERE = pathlib.Path(__file__).resolve().parent
NOT_RESOURCES = {"README.md", "help.qrc", "check_help.py"}


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.anchors, self.stack, self.problems = [], set(), [], []

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
        if tag == "a" and "name" in a:
            self.anchors.add(a["name"])
        if tag == "link" and a.get("rel") == "stylesheet":
            self.links.append(a.get("href", ""))
        if tag not in ("meta", "link", "br", "img", "hr", "!doctype"):
            self.stack.append(tag)

    def handle_endtag(self, tag):
        if tag in self.stack:
            while self.stack and self.stack.pop() != tag:
                pass
        else:
            self.problems.append(f"stray </{tag}>")


def main():
    problems = []
    pages = {p.name: p for p in HERE.glob("*.html")}
    parsed = {}
    for name, path in pages.items():
        page = Page()
        page.feed(path.read_text(encoding="utf-8"))
        parsed[name] = page
        problems += [f"{name}: {p}" for p in page.problems]
        if page.stack:
            problems.append(f"{name}: unclosed {page.stack}")
        if "<script" in path.read_text(encoding="utf-8").lower():
            problems.append(f"{name}: scripts are not shown by the help viewer")
    for name, page in parsed.items():
        for link in page.links:
            if re.match(r"^[a-z]+:", link):
                problems.append(f"{name}: external link {link}")
                continue
            target, _, anchor = link.partition("#")
            target = target or name
            if not (HERE / target).is_file():
                problems.append(f"{name}: link to missing {target}")
            elif anchor and anchor not in parsed.get(target, Page()).anchors:
                problems.append(f"{name}: link to missing anchor {link}")
    listed = [f.text for f in ET.parse(HERE / "help.qrc").getroot().iter("file")]
    present = {p.name for p in HERE.iterdir() if p.is_file() and p.name not in NOT_RESOURCES}
    for missing in sorted(present - set(listed)):
        problems.append(f"help.qrc: {missing} is not listed")
    for extra in sorted(set(listed) - present):
        problems.append(f"help.qrc: lists missing file {extra}")
    if len(listed) != len(set(listed)):
        problems.append("help.qrc: a file is listed twice")
    contents = parsed.get("contents.html")
    if contents is None:
        problems.append("contents.html is missing")
    else:
        for name in pages:
            if re.fullmatch(r"\d+\.html", name) and name not in contents.links:
                problems.append(f"contents.html: no link to {name}")
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
