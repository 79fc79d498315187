"""The part list of avrdude's configuration file (/etc/avrdude.conf), read as plain data.

Only the part entries are kept.  A part that names a parent starts as a copy of it; its own
settings override the parent's, a memory it names again is extended setting by setting, and
`memory "x" = NULL;` removes an inherited memory.  Values stay the file's token text; the
accessors turn the few numbers Tolmeo needs into integers.
"""

import copy
import re

from c_expression import evaluate

DEFAULT_PATH = "/etc/avrdude.conf"

_TOKEN = re.compile(r'\s+|#[^\n]*|"(?:[^"\\]|\\.)*"|[;=,]|[^\s;=,"#]+')


class ConfError(Exception):
    """The configuration file does not have the structure expected of it."""


class Part:
    def __init__(self):
        self.settings = {}
        self.memories = {}

    @property
    def part_id(self):
        return self.settings.get("id", "")

    @property
    def desc(self):
        return self.settings.get("desc", "")

    def prog_modes(self):
        return {word.strip() for word in self.settings.get("prog_modes", "").split("|")}

    def signature(self):
        return tuple(evaluate(word) & 0xFF for word in self.settings.get("signature", "").split())

    def memory(self, name):
        return self.memories.get(name)


class Memory:
    def __init__(self):
        self.settings = {}

    def number(self, key, default=0):
        text = self.settings.get(key)
        return default if text is None else evaluate(text)

    def flag(self, key):
        return self.settings.get(key) == "yes"


def read_parts(path=DEFAULT_PATH):
    """Parts by avrdude id, in file order."""
    with open(path, encoding="utf-8", errors="replace") as conf:
        return parse_parts(conf.read())


def parse_parts(text):
    tokens = _Tokens(text)
    parts = {}
    while not tokens.at_end():
        word = tokens.take()
        if word == "part":
            part = _read_part(tokens, parts)
            parts[part.part_id] = part
        elif word == "programmer":
            _skip_block(tokens)
        else:
            _read_value(tokens, word)
    return parts


class _Tokens:
    def __init__(self, text):
        self._items = [match.group(0) for match in _TOKEN.finditer(text)
                       if not match.group(0).isspace() and not match.group(0).startswith("#")]
        self._next = 0

    def at_end(self):
        return self._next >= len(self._items)

    def peek(self):
        return None if self.at_end() else self._items[self._next]

    def take(self):
        if self.at_end():
            raise ConfError("file ends inside an entry")
        self._next += 1
        return self._items[self._next - 1]

    def expect(self, token):
        found = self.take()
        if found != token:
            raise ConfError(f"expected {token!r}, found {found!r}")


def _unquote(token):
    return token[1:-1] if token.startswith('"') else token


def _read_value(tokens, key):
    """The words after `key =` (or `alias`) up to the closing ';', joined by single blanks."""
    if key != "alias":
        tokens.expect("=")
    words = []
    while tokens.peek() != ";":
        words.append(_unquote(tokens.take()))
    tokens.take()
    return " ".join(words)


def _read_part(tokens, parts):
    part = Part()
    if tokens.peek() == "parent":
        tokens.take()
        parent_id = _unquote(tokens.take())
        if parent_id not in parts:
            raise ConfError(f"part parent {parent_id!r} is not defined before its child")
        part = copy.deepcopy(parts[parent_id])
        part.settings.pop("id", None)
    while (word := tokens.take()) != ";":
        if word == "memory":
            _read_memory(tokens, part)
        else:
            part.settings[word] = _read_value(tokens, word)
    return part


def _read_memory(tokens, part):
    name = _unquote(tokens.take())
    if tokens.peek() == "=":
        tokens.take()
        tokens.expect("NULL")
        tokens.expect(";")
        part.memories.pop(name, None)
        return
    memory = part.memories.setdefault(name, Memory())
    while (word := tokens.take()) != ";":
        memory.settings[word] = _read_value(tokens, word)


def _skip_block(tokens):
    if tokens.peek() == "parent":
        tokens.take()
        tokens.take()
    while (word := tokens.take()) != ";":
        _read_value(tokens, word)
