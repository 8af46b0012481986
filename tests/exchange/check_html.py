#!/usr/bin/env python3
"""Checks that a published standings page is well-formed, self-contained HTML5.

Usage: check_html.py FILE
Parses FILE with Python's HTML parser and reports, one a line, every element that is not HTML5
(or, inside inline SVG, not SVG), every element closed out of order or left open, every
reference to anything outside the file and any script. Exits 0 when there is nothing to report,
1 otherwise.
"""
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}
KNOWN = VOID | {
    "html", "head", "body", "title", "style", "header", "main", "footer", "section", "article",
    "nav", "aside", "h1", "h2", "h3", "h4", "p", "div", "span", "table", "thead", "tbody",
    "tfoot", "tr", "th", "td", "caption", "figure", "figcaption", "ul", "ol", "li", "strong",
    "em", "small", "a", "time", "abbr", "details", "summary"}
# Inside <svg>, which HTML5 takes as foreign content: these elements, and any of them closing
# itself.
SVG = {"svg", "g", "defs", "use", "path", "rect", "circle", "polyline", "line", "text", "title"}
REFERENCES = {"src", "href", "srcset", "action", "poster", "data"}


class Checker(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.problems = []
        self.open = []
        self.doctype = None
        self.counts = {}

    def problem(self, text):
        line, column = self.getpos()
        self.problems.append(f"{line}:{column}: {text}")

    def handle_decl(self, decl):
        self.doctype = decl

    def in_svg(self):
        return "svg" in self.open

    def handle_starttag(self, tag, attrs):
        svg = self.in_svg()
        if not svg:
            self.counts[tag] = self.counts.get(tag, 0) + 1
        if tag not in (SVG if svg or tag == "svg" else KNOWN):
            self.problem(f"<{tag}> is not an element this page may hold")
        if tag == "script":
            self.problem("a script element")
        names = set()
        for name, value in attrs:
            if name in names:
                self.problem(f"attribute {name} given twice on <{tag}>")
            names.add(name)
            if name.startswith("on"):
                self.problem(f"event handler {name} on <{tag}>")
            if name in REFERENCES and value is not None and not value.startswith(("data:", "#")):
                self.problem(f"<{tag} {name}=\"{value[:60]}\"> refers outside the page")
        if tag == "img" and "alt" not in names:
            self.problem("an image without alt text")
        if tag not in VOID:
            self.open.append(tag)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.open.pop()
            if not self.in_svg():
                self.problem(f"<{tag}/> closes itself")

    def handle_endtag(self, tag):
        if tag in VOID:
            self.problem(f"</{tag}> ends a void element")
            return
        if not self.open or self.open[-1] != tag:
            expected = self.open[-1] if self.open else "nothing"
            self.problem(f"</{tag}> where </{expected}> was due")
            if tag in self.open:
                while self.open.pop() != tag:
                    pass
            return
        self.open.pop()

    def finish(self):
        self.close()
        if (self.doctype or "").lower() != "doctype html":
            self.problems.append("the page does not start with <!DOCTYPE html>")
        for tag in ("html", "head", "body", "title", "main"):
            if self.counts.get(tag, 0) != 1:
                self.problems.append(f"{self.counts.get(tag, 0)} <{tag}> elements, one expected")
        if self.open:
            self.problems.append("left open at the end: " + ", ".join(self.open))
        return self.problems


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8") as page:
        text = page.read()
    checker = Checker()
    checker.feed(text)
    problems = checker.finish()
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
