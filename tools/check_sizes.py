#!/usr/bin/env python3
"""Checks the size limits of the sources under src/ and prints every file,
function and class over them as file:line, failing if there is one.

Limits: a file over 400 lines, a function over 60 lines (from the first line
of its signature to its closing brace), a class or struct with over 20 data
members or over 20 public methods, and RufflePlayer with over 10 data members.
Data members are the non-static ones; public methods are the member functions
a caller can reach (public and public slots, static ones too), without
signals, constructors, destructors and deleted functions.

This is a line-based reader, not a C++ parser. That is enough because every
file is formatted by clang-format with the root .clang-format, which puts the
braces of functions, classes and structs on lines of their own and the
closing brace at the indentation of the opening one, while control
statements, lambdas, enums and namespaces keep their brace on the line they
open. So a line holding only "{" opens a function, class or struct body (or a
plain block inside a function, which is skipped with the function), the lines
before it up to a blank line, comment or end of statement are its signature,
and the first line at the same indentation starting with "}" closes it. Run
clang-format before this check, or it may misread the code.
"""

import os
import re
import sys

FILE_LINES = 400
FUNCTION_LINES = 60
DATA_MEMBERS = 20
PUBLIC_METHODS = 20
# The web player had grown into a holder of everything; it is kept small.
TIGHT_DATA_MEMBERS = {"RufflePlayer": 10}

ACCESS = re.compile(r"^(public|protected|private)?\s*(Q_SLOTS|slots|Q_SIGNALS|signals)?\s*:$")
MACRO = re.compile(r"^[A-Z_][A-Z0-9_]*(\(.*\))?;?$")
TYPE_OR_ALIAS = re.compile(r"^(using|typedef|friend|enum|struct|class|union|static_assert)\b")
# An export macro may stand before the name; a nested class defined outside
# its enclosing one is named Outer::Inner.
CLASS_HEAD = re.compile(r"^(class|struct|union)\s+(?:[A-Z][A-Z0-9_]*\s+)?(?:\w+::)*(\w+)")


def indent(line):
    return len(line) - len(line.lstrip(" "))


def code_lines(path):
    """The file's lines with comments and string contents blanked, so that
    braces in them are not read as code."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append("".join(ch if ch == "\n" else " " for ch in text[i:end]))
            i = end
        elif text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i)
            close = ")" + text[i + 2 : open_paren] + '"'
            end = text.find(close, open_paren)
            end = n if end < 0 else end + len(close)
            out.append('""' + "".join(ch for ch in text[i:end] if ch == "\n"))
            i = end
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out).split("\n")


def signature_start(lines, brace):
    """The first line of the signature that ends just above the brace line."""
    start = brace
    while start > 0:
        above = lines[start - 1].strip()
        if not above or above.endswith((";", "{", "}")) or above.startswith("#"):
            break
        if ACCESS.match(above):
            break
        start -= 1
    return start


def closing_line(lines, brace):
    depth = indent(lines[brace])
    for k in range(brace + 1, len(lines)):
        if lines[k].strip().startswith("}") and indent(lines[k]) == depth:
            return k
    return len(lines) - 1


def without_templates(text):
    previous = None
    while previous != text:
        previous = text
        text = re.sub(r"<[^<>]*>", "", text)
    return text


def member_statements(lines, brace, end):
    """Each direct member declaration of the class whose body spans the
    lines, with the access section it stands in."""
    head = " ".join(l.strip() for l in lines[signature_start(lines, brace) : brace])
    head = re.sub(r"^template\s*<.*?>\s*", "", head)
    section = "public" if head.startswith("struct") else "private"
    member = indent(lines[brace]) + 4
    k = brace + 1
    while k < end:
        line = lines[k]
        stripped = line.strip()
        if stripped and indent(line) < member and ACCESS.match(stripped):
            m = ACCESS.match(stripped)
            section = "signals" if m.group(2) in ("Q_SIGNALS", "signals") else (m.group(1) or "public")
        elif stripped and indent(line) == member and stripped[0] not in "{}":
            statement = [stripped]
            while not statement[-1].endswith((";", "}")) and k + 1 < end:
                if indent(lines[k + 1]) <= member:
                    break
                k += 1
                statement.append(lines[k].strip())
            yield " ".join(statement), section
        k += 1


def classify(statement, class_name):
    """'method', 'data' or None for what the member declaration is."""
    text = re.sub(r"^template\s*<.*?>\s*", "", statement)
    if not text or MACRO.match(text) or TYPE_OR_ALIAS.match(text) or text.startswith("template"):
        return None
    flat = without_templates(text)
    paren = flat.find("(")
    stops = [p for p in (flat.find("="), flat.find("{"), flat.find(";")) if p >= 0]
    if paren >= 0 and (not stops or paren < min(stops)):
        name = re.sub(r"^(explicit|virtual|inline|constexpr|static)\s+", "", flat[:paren].strip())
        if name in (class_name, "~" + class_name) or name.startswith("~") or "= delete" in flat:
            return None
        return "method"
    if re.match(r"^(static|inline static|static inline)\b", flat):
        return None
    return "data"


def declarators(statement):
    """How many members a data declaration declares: "int m_a, m_b;" is two."""
    flat, previous = without_templates(statement), None
    while previous != flat:
        previous, flat = flat, re.sub(r"\([^()]*\)|\{[^{}]*\}", "", flat)
    return flat.count(",") + 1


def check_class(path, lines, brace, end, problems):
    start = signature_start(lines, brace)
    head = " ".join(l.strip() for l in lines[start:brace])
    head = re.sub(r"^template\s*<.*?>\s*", "", head)
    name = CLASS_HEAD.match(head).group(2)
    data = methods = 0
    for statement, section in member_statements(lines, brace, end):
        kind = classify(statement, name)
        data += declarators(statement) if kind == "data" else 0
        methods += kind == "method" and section == "public"
    data_limit = TIGHT_DATA_MEMBERS.get(name, DATA_MEMBERS)
    where = f"{path}:{start + 1}"
    if data > data_limit:
        problems.append(f"{where}: class {name} has {data} data members (limit {data_limit})")
    if methods > PUBLIC_METHODS:
        problems.append(f"{where}: class {name} has {methods} public methods (limit {PUBLIC_METHODS})")


def check_file(path, problems):
    lines = code_lines(path)
    count = len(lines) - (1 if lines and lines[-1] == "" else 0)
    if count > FILE_LINES:
        problems.append(f"{path}:{FILE_LINES + 1}: file has {count} lines (limit {FILE_LINES})")
    k = 0
    while k < len(lines):
        if lines[k].strip() != "{":
            k += 1
            continue
        start = signature_start(lines, k)
        head = re.sub(r"^template\s*<.*?>\s*", "", " ".join(l.strip() for l in lines[start:k]))
        end = closing_line(lines, k)
        if CLASS_HEAD.match(head):
            check_class(path, lines, k, end, problems)
            k += 1  # read on inside it for its inline functions and nested classes
        elif "(" in head:
            length = end - start + 1
            if length > FUNCTION_LINES:
                problems.append(
                    f"{path}:{start + 1}: function has {length} lines (limit {FUNCTION_LINES}): "
                    f"{head[:70]}")
            k = end + 1  # blocks inside a function are part of it
        else:
            k += 1


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    root = os.path.normpath(root)
    problems = []
    for folder, _, files in sorted(os.walk(root)):
        for name in sorted(files):
            if name.endswith((".cpp", ".h")):
                check_file(os.path.relpath(os.path.join(folder, name)), problems)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} size limits exceeded")
        return 1
    print("sizes: no file, function or class over its limit")
    return 0


if __name__ == "__main__":
    sys.exit(main())
