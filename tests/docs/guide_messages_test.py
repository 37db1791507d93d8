#!/usr/bin/env python3
"""Every text the program shows a user has an entry in the user guide.

The texts are read from the sources where they are handed on to be shown: the window's
message box (showMessage), the transfer's messages and status line (ShowMessage, setCaption),
the command line's standard error and output (PrintError, printf), and the reasons those
carry up from below: the string literals of a failure (fail, Failed, finish, Unreadable,
push_back), of an error, reason, message or note assigned, of a text built with out += or
lines <<, and of a return statement. A constant (kWrongType) is looked up where it is defined.
A text with variable parts (%1, %d, a file name added with +) is matched by each fixed part
of two words or more; a single word is no message. Every such part must appear in one of the
guide's <code class="message"> elements, blanks compared loosely.

usage: guide_messages_test.py SOURCE_ROOT GUIDE.html
"""
import html
import pathlib
import re
import sys

FOLDERS = ("src/link", "src/files", "src/image", "src/ui", "app")
# Where a text reaches the user; the argument list that follows is searched for literals.
SINKS = re.compile(
    r"\b(?:(?:showMessage|setCaption|PrintError|ShowMessage|printf|fail|Failed|finish|"
    r"Unreadable|push_back|saveOptions)\s*[({]|(?:error|reason|message|summary|note|openError_)"
    r"\s*=(?!=)|\blines\s*<<|\bout\s*\+?=(?!=)|\breturn\b)")
LITERAL = re.compile(r'"(?:[^"\\\n]|\\.)*"')
CONSTANT = re.compile(r"\b(k[A-Z]\w*)\b")
DEFINITION = re.compile(r"\b(k[A-Z]\w*)(?:\[\])?\s*=\s*(?:QStringLiteral\()?\s*((?:%s\s*)+)"
                        % LITERAL.pattern)
PLACEHOLDER = re.compile(r"%(?:\d+|n|[-+ #0]*[\d*]*(?:\.[\d*]+)?(?:z|l|ll)?[dsXxug])|\\[nr]")


def code_without_comments(text):
    return re.sub(r'//[^\n]*|/\*.*?\*/|("(?:[^"\\\n]|\\.)*")',
                  lambda m: m.group(1) or " ", text, flags=re.S)


def argument_text(code, start):
    """The text from start to the end of the statement or the closing bracket."""
    depth, i = 0, start
    while i < len(code):
        c = code[i]
        i += 1
        if c == '"':
            m = LITERAL.match(code, i - 1)
            i = m.end() if m else i
        elif c in "({":
            depth += 1
        elif c in ")}":
            depth -= 1
            if depth < 0:
                return code[start:i - 1]
        elif c == ";" and depth <= 0:
            return code[start:i - 1]
    return code[start:]


def literal_runs(text):
    """Adjacent literals joined, as the compiler joins them."""
    runs, last = [], None
    for m in LITERAL.finditer(text):
        piece = m.group(0)[1:-1]
        if last is not None and not text[last:m.start()].strip():
            runs[-1] += piece
        else:
            runs.append(piece)
        last = m.end()
    return runs


def program_texts(root):
    sources = [p for f in FOLDERS for p in (root / f).rglob("*") if p.suffix in (".cpp", ".h")]
    code = {p: code_without_comments(p.read_text(encoding="utf-8")) for p in sources}
    constants = {}
    for text in code.values():
        for m in DEFINITION.finditer(text):
            constants[m.group(1)] = "".join(literal_runs(m.group(2)))
    texts = {}
    for path, text in code.items():
        for m in SINKS.finditer(text):
            args = argument_text(text, m.end())
            found = literal_runs(args) + [constants.get(c, "") for c in CONSTANT.findall(args)]
            for run in found:
                texts.setdefault(run, path.relative_to(root))
    return texts


def fixed_parts(text):
    text = text.replace('\\"', '"').replace("\\\\", "\\")
    for part in PLACEHOLDER.split(text):
        part = " ".join(part.split())
        if " " in part and re.search(r"[A-Za-z]{2}|[^\x00-\x7f]", part):
            yield part


def guide_messages(guide):
    found = re.findall(r'<code class="message">(.*?)</code>', guide.read_text(encoding="utf-8"),
                       flags=re.S)
    return [" ".join(html.unescape(re.sub(r"<[^>]+>", "", m)).split()) for m in found]


def main():
    root, guide = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    entries, texts = guide_messages(guide), program_texts(root)
    if "Reading succeeds frequently!" not in texts or len(texts) < 100:
        print(f"only {len(texts)} texts found: has the way the program shows them changed?")
        return 1
    missing = sorted({(str(where), part) for text, where in texts.items()
                      for part in fixed_parts(text) if not any(part in e for e in entries)})
    for where, part in missing:
        print(f'{where}: "{part}" has no <code class="message"> entry in {guide.name}')
    print(f"{len(entries)} guide entries, {len(missing)} program texts without one")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
