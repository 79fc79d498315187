"""Integer constant expressions as C headers and avrdude.conf write them.

Both sources spell numbers as small C expressions: "0x8000", "(unsigned char)~_BV(3)" after
macro expansion, "(0x1E)", "64*1024".  Only integer literals, parentheses and the integer
operators are accepted; anything else raises ValueError instead of being guessed at.
"""

import ast
import operator
import re

_BINARY = {
    ast.Add: operator.add, ast.Sub: operator.sub, ast.Mult: operator.mul,
    ast.FloorDiv: operator.floordiv, ast.Mod: operator.mod,
    ast.LShift: operator.lshift, ast.RShift: operator.rshift,
    ast.BitAnd: operator.and_, ast.BitOr: operator.or_, ast.BitXor: operator.xor,
}
_UNARY = {ast.Invert: operator.invert, ast.USub: operator.neg, ast.UAdd: operator.pos}

_CASTS = re.compile(r"\(\s*(?:unsigned|signed)?\s*(?:char|short|int|long|long long)\s*\)")
_SUFFIXES = re.compile(r"\b(0[xX][0-9A-Fa-f]+|\d+)[uUlL]+\b")


def evaluate(text):
    """Value of the integer expression in text; ValueError when it is not one."""
    python_text = _to_python(text)
    try:
        tree = ast.parse(python_text, mode="eval")
    except SyntaxError as error:
        raise ValueError(f"not an integer expression: {text!r}") from error
    return _value_of(tree.body, text)


def _to_python(text):
    # Casts only narrow the value; callers mask the result to the width they need.
    text = _CASTS.sub(" ", text)
    text = _SUFFIXES.sub(r"\1", text)
    # C's "/" on integers is floor division for the non-negative values used here.
    return text.replace("/", "//").strip()


def _value_of(node, text):
    if isinstance(node, ast.Constant) and type(node.value) is int:
        return node.value
    if isinstance(node, ast.BinOp) and type(node.op) in _BINARY:
        return _BINARY[type(node.op)](_value_of(node.left, text), _value_of(node.right, text))
    if isinstance(node, ast.UnaryOp) and type(node.op) in _UNARY:
        return _UNARY[type(node.op)](_value_of(node.operand, text))
    raise ValueError(f"not an integer expression: {text!r}")
