#!/usr/bin/env python3
"""Turns one of the man-page sources in this folder into roff for man(1).

The source is a small markdown-like text:
  % NAME(SECTION) | FOOTER          first line; @VERSION@ anywhere becomes the version
  # HEADING                         a section (.SH), upper case by convention
  `--option ARG`                    a term (an option, a command, a file), followed by
  : text...                         its description (further lines indented by two spaces)
  - item                            a bulleted item
  ```  ...  ```                     an example, kept as typed
  blank line                        a new paragraph
Inline **bold**, *italic* and `literal` (shown bold) work in any text line.

usage: mkman.py SOURCE OUTPUT VERSION
"""
import re
import sys


def escape(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return text


def inline(text):
    out = []
    pos = 0
    pattern = re.compile(r"\*\*(.+?)\*\*|`(.+?)`|\*(.+?)\*")
    for m in pattern.finditer(text):
        out.append(escape(text[pos:m.start()]))
        bold = m.group(1) if m.group(1) is not None else m.group(2)
        if bold is not None:
            out.append("\\fB" + escape(bold) + "\\fR")
        else:
            out.append("\\fI" + escape(m.group(3)) + "\\fR")
        pos = m.end()
    out.append(escape(text[pos:]))
    line = "".join(out)
    # A line starting with a dot or an apostrophe would be read as a request.
    if line.startswith((".", "'")):
        line = "\\&" + line
    return line


def convert(source, version):
    lines = source.replace("@VERSION@", version).splitlines()
    if not lines or not lines[0].startswith("% "):
        raise ValueError("the first line must be '% NAME(SECTION) | FOOTER'")
    m = re.match(r"% (\S+)\((\d)\)\s*\|\s*(.*)$", lines[0])
    if not m:
        raise ValueError("bad title line: " + lines[0])
    name, section, footer = m.groups()
    out = ['.TH "%s" "%s" "" "%s" "User Commands"' % (name.upper(), section, footer.strip())]
    in_example = False
    for number, line in enumerate(lines[1:], start=2):
        if line.startswith("```"):
            out.append(".EE" if in_example else ".EX")
            in_example = not in_example
        elif in_example:
            out.append(inline_literal(line))
        elif line.startswith("# "):
            out.append(".SH " + escape(line[2:].strip()))
        elif number < len(lines) and lines[number].startswith(": ") and line.strip():
            out.append(".TP")  # a term: the next line describes it
            out.append(inline(line.strip()))
        elif line.startswith(": "):
            out.append(inline(line[2:].strip()))
        elif line.startswith("- "):
            out.append(".IP \\(bu 2")
            out.append(inline(line[2:].strip()))
        elif line.strip() == "":
            if out and out[-1] != ".PP" and not out[-1].startswith((".SH", ".TH")):
                out.append(".PP")
        else:
            out.append(inline(line.strip()))
    if in_example:
        raise ValueError("an example is not closed with ```")
    # A paragraph break right before a heading or at the end adds nothing.
    cleaned = [l for i, l in enumerate(out)
               if not (l == ".PP" and (i + 1 == len(out) or out[i + 1].startswith((".SH", ".TP"))))]
    return "\n".join(cleaned) + "\n"


def inline_literal(line):
    text = escape(line)
    return "\\&" + text if text.startswith((".", "'")) else text


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        source = f.read()
    try:
        roff = convert(source, argv[3])
    except ValueError as e:
        sys.stderr.write("%s: %s\n" % (argv[1], e))
        return 1
    with open(argv[2], "w", encoding="utf-8") as f:
        f.write(roff)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
