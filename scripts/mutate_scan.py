"""Finds the mutants of one C++ source: tokens outside comments, literals and directives."""
import re
from dataclasses import dataclass

PUNCTUATORS = sorted(
    """>>= <<= <=> ->* ... -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= :: .*
    { } [ ] ( ) ; : ? , . + - * / % ^ & | ~ ! = < > #""".split(),
    key=len, reverse=True)
NUMBER = re.compile(r"(?:0[xX][0-9a-fA-F']*\.?[0-9a-fA-F']*(?:[pP][+-]?[0-9]+)?|"
                    r"\.?[0-9][0-9a-zA-Z'.]*(?:[eEpP][+-][0-9a-zA-Z'.]*)?)")
IDENT = re.compile(r"[A-Za-z_][A-Za-z_0-9]*")
INTEGER = re.compile(r"(0[xX][0-9a-fA-F']+|0[bB][01']+|[0-9][0-9']*)([uUlLzZ]*)$")

SWAPS = {  # one fault for each operator token
    "<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
    "&&": "||", "||": "&&", "+": "-", "-": "+", "*": "/", "/": "*", "%": "/",
    "<<": ">>", ">>": "<<", "++": "--", "--": "++", "+=": "-=", "-=": "+=",
    "*=": "/=", "/=": "*=", "true": "false", "false": "true",
}
TYPE_WORDS = {"void", "bool", "char", "wchar_t", "char8_t", "char16_t", "char32_t", "short",
              "int", "long", "unsigned", "signed", "float", "double", "auto", "const"}
NOT_STATEMENTS = TYPE_WORDS | {
    "return", "static", "constexpr", "using", "namespace", "typedef", "struct", "class",
    "enum", "template", "static_assert", "extern", "inline", "goto", "do", "switch",
    "std", "size_t"}


@dataclass
class Token:
    text: str
    start: int  # byte offset in the source
    kind: str   # ident, number, punct


@dataclass
class Mutant:
    path: str
    line: int
    start: int
    end: int
    original: str
    replacement: str
    kind: str

    def key(self):
        return f"{self.path}:{self.start}:{self.original}->{self.replacement}"

    def apply(self, text):
        return text[:self.start] + self.replacement + text[self.end:]


def tokenize(text):
    """Code tokens only: comments, string and character literals and preprocessor
    lines (with their continuations) are skipped."""
    tokens = []
    i, n = 0, len(text)
    line_start = True  # only blanks since the last newline
    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True
            i += 1
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if line_start and c == "#":
            while i < n and text[i] != "\n":
                if text.startswith("//", i):
                    break
                if text.startswith("/*", i):
                    end = text.find("*/", i + 2)
                    i = n if end < 0 else end + 2
                    continue
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    i += 2
                    continue
                i += 1
            while i < n and text[i] != "\n":
                i += 1
            continue
        line_start = False
        if text.startswith("//", i):
            end = text.find("\n", i)
            i = n if end < 0 else end
            continue
        if text.startswith("/*", i):
            end = text.find("*/", i + 2)
            i = n if end < 0 else end + 2
            continue
        m = re.match(r'(?:u8|u|U|L)?R"([^()\\ ]{0,16})\(', text[i:i + 24])
        if m:
            end = text.find(")" + m.group(1) + '"', i + m.end())
            i = n if end < 0 else end + len(m.group(1)) + 2
            continue
        m = re.match(r"(?:u8|u|U|L)?(['\"])", text[i:i + 4])
        if m:
            quote = m.group(1)
            j = i + m.end()
            while j < n and text[j] != quote and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
            continue
        if c.isdigit() or (c == "." and i + 1 < n and text[i + 1].isdigit()):
            m = NUMBER.match(text, i)
            tokens.append(Token(m.group(0), i, "number"))
            i = m.end()
            continue
        m = IDENT.match(text, i)
        if m:
            tokens.append(Token(m.group(0), i, "ident"))
            i = m.end()
            continue
        for p in PUNCTUATORS:
            if text.startswith(p, i):
                tokens.append(Token(p, i, "punct"))
                i += len(p)
                break
        else:
            i += 1
    return tokens


def template_brackets(tokens):
    """Indexes of '<' and '>' (or '>>') tokens that delimit template arguments."""
    brackets = set()
    allowed = {"::", ",", "*", "&"}
    for i, t in enumerate(tokens):
        if t.text != "<" or i == 0 or tokens[i - 1].kind != "ident":
            continue
        depth, j, inside = 1, i + 1, []
        while j < len(tokens) and depth > 0:
            u = tokens[j]
            if u.text == "<":
                depth += 1
            elif u.text == ">":
                depth -= 1
            elif u.text == ">>":
                depth -= 2
            elif u.kind == "punct" and u.text not in allowed:
                break
            inside.append(j)
            j += 1
        if depth <= 0:
            brackets.add(i)
            brackets.update(k for k in inside if tokens[k].text in ("<", ">", ">>"))
    return brackets


def is_binary(tokens, i):
    """True when the operator at i has an operand on its left."""
    if i == 0:
        return False
    prev = tokens[i - 1]
    if prev.kind == "number" or prev.text in (")", "]"):
        return True
    return prev.kind == "ident" and prev.text not in TYPE_WORDS | {"return", "case"}


def integer_mutants(token):
    m = INTEGER.match(token.text)
    if not m:
        return []
    digits, suffix = m.group(1).replace("'", ""), m.group(2)
    if digits[:2] in ("0x", "0X"):
        value, form = int(digits, 16), lambda v: f"0x{v:X}"
    elif digits[:2] in ("0b", "0B"):
        value, form = int(digits[2:], 2), lambda v: f"0b{v:b}"
    elif len(digits) > 1 and digits[0] == "0":
        value, form = int(digits, 8), lambda v: f"0{v:o}"
    else:
        value, form = int(digits), str
    out = [form(value + 1) + suffix]
    if value > 0:
        out.append(form(value - 1) + suffix)
    return out


def matching(tokens, i):
    """Index of the bracket closing the one at i."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    opening, closing, depth = tokens[i].text, pairs[tokens[i].text], 0
    for j in range(i, len(tokens)):
        if tokens[j].text == opening:
            depth += 1
        elif tokens[j].text == closing:
            depth -= 1
            if depth == 0:
                return j
    return len(tokens) - 1


def statement_mutants(tokens):
    """(first, last) token index pairs of expression statements that can be deleted."""
    spans = []
    i = 0
    boundary = True
    while i < len(tokens):
        t = tokens[i]
        if t.text in ("{", "}", ";"):
            boundary = True
            i += 1
            continue
        if not boundary:
            i += 1
            continue
        # Heads that a statement may follow: else, case X:, if/for/while (...).
        if t.text == "else":
            i += 1
            continue
        if t.text in ("case", "default"):
            while i < len(tokens) and tokens[i].text != ":":
                i += 1
            i += 1
            continue
        if t.text in ("if", "for", "while") and i + 1 < len(tokens) and tokens[i + 1].text == "(":
            i = matching(tokens, i + 1) + 1
            continue
        boundary = False
        j, depth = i, 0
        while j < len(tokens):
            u = tokens[j].text
            if u in ("(", "["):
                depth += 1
            elif u in (")", "]"):
                depth -= 1
            elif u in ("{", "}") or (u == ";" and depth == 0):
                break
            j += 1
        if j >= len(tokens) or tokens[j].text != ";" or depth != 0:
            continue
        words = [tokens[k] for k in range(i, j)]
        if (t.text in ("break", "continue") and len(words) == 1) or t.text in ("++", "--"):
            spans.append((i, j))
        elif (t.kind == "ident" and t.text not in NOT_STATEMENTS
              and not (len(words) > 1 and words[1].kind == "ident")
              and not (len(words) > 1 and words[1].text in ("*", "&", "<", "::") and
                       t.text[0].isupper())
              and any(w.text in ("=", "(", "++", "--", "+=", "-=", "*=", "/=", "|=", "&=",
                                 "^=", "%=", "<<=", ">>=") for w in words)):
            spans.append((i, j))
        i = j
    return spans


def find_mutants(path, text):
    tokens = tokenize(text)
    templates = template_brackets(tokens)
    line_of = [0] * (len(text) + 1)
    line = 1
    for k, ch in enumerate(text):
        line_of[k] = line
        if ch == "\n":
            line += 1
    line_of[len(text)] = line
    out = []

    def add(start, end, replacement, kind):
        out.append(Mutant(path, line_of[start], start, end, text[start:end], replacement, kind))

    for i, t in enumerate(tokens):
        end = t.start + len(t.text)
        if t.kind == "number":
            for r in integer_mutants(t):
                add(t.start, end, r, "constant")
        elif t.text in ("true", "false"):
            add(t.start, end, SWAPS[t.text], "boolean")
        elif t.text in ("if", "while") and i + 1 < len(tokens) and tokens[i + 1].text == "(":
            close = matching(tokens, i + 1)
            if close > i + 2:
                first, last = tokens[i + 2].start, tokens[close].start
                add(first, last, "!(" + text[first:last] + ")", "negate")
        elif t.text == "!" and i + 1 < len(tokens):
            add(t.start, end, "", "negate")
        elif t.kind == "punct" and t.text in SWAPS and i not in templates:
            if t.text in ("*", "&&", "<<", ">>", "%", "/", "<", ">", "<=", ">=", "==", "!=",
                          "+=", "-=", "*=", "/=", "||") and not is_binary(tokens, i):
                continue
            if t.text in ("++", "--", "+", "-") and i + 1 < len(tokens) and \
                    tokens[i + 1].text in (")", ",", ";") and not is_binary(tokens, i):
                continue
            add(t.start, end, SWAPS[t.text], "operator")
    for first, last in statement_mutants(tokens):
        start, end = tokens[first].start, tokens[last].start + 1
        add(start, end, ";", "statement")
    out.sort(key=lambda m: (m.start, m.kind, m.replacement))
    return out
