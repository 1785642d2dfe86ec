"""docs/sdk.md against the header and the library's sources:
- every function the header declares has its own heading, and no heading
  names a function the header does not declare;
- the declaration shown under each heading is the header's;
- every text the library writes to its log streams appears in it verbatim.

    python3 check_sdk_docs.py vorn_uvc/vorn_uvc.h docs/sdk.md vorn_uvc/*.cpp
"""

import re
import sys


def normalise(declaration):
    declaration = re.sub(r"\b(VORN_UVC_API|VORN_CDECL)\b", " ", declaration)
    declaration = re.sub(r"\s+", " ", declaration)
    return re.sub(r"\s*([(),*;])\s*", r"\1", declaration).strip()


def main(header_path, docs_path, sources):
    with open(header_path, encoding="utf-8") as f:
        header = re.sub(r"/\*.*?\*/", " ", f.read(), flags=re.S)
    declared = {
        m.group(1): normalise(m.group(0))
        for m in re.finditer(r"VORN_UVC_API\s+int\s+VORN_CDECL\s+(\w+)\s*\([^)]*\)\s*;", header)
    }
    with open(docs_path, encoding="utf-8") as f:
        docs = f.read()

    problems = []
    # "### `vorn_uvc_init`" and the text up to the next heading.
    sections = {}
    for m in re.finditer(r"^#{2,4}\s+`?(vorn_uvc_\w+)`?\s*$(.*?)(?=^#|\Z)", docs, flags=re.M | re.S):
        if m.group(1) in sections:
            problems.append("two headings for %s" % m.group(1))
        sections[m.group(1)] = m.group(2)
    for name, declaration in declared.items():
        if name not in sections:
            problems.append("no heading for %s" % name)
            continue
        shown = [normalise(d) for d in re.findall(r"int\s+%s\s*\([^)]*\)\s*;" % name, sections[name])]
        if declaration not in shown:
            problems.append("%s: the declaration shown is not the header's %r" % (name, declaration))
    for name in sections:
        if name not in declared:
            problems.append("a heading for %s, which the header does not declare" % name)

    # A text may wrap across lines as Markdown joins them: with one blank.
    flowing = re.sub(r"[ \t]*\n[ \t]*", " ", docs)
    texts = set()
    for path in sources:
        with open(path, encoding="utf-8") as f:
            texts.update(re.findall(r'L"((?:[^"\\]|\\.)*)"', f.read()))
    for text in sorted(texts):
        if text.strip() and text not in flowing:
            problems.append("log text missing: %r" % text)

    for p in problems:
        print("FAIL - " + p)
    print("%d functions, %d log texts checked; %d problem(s)" % (len(declared), len(texts), len(problems)))
    return 1 if problems or not declared else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3:]))
