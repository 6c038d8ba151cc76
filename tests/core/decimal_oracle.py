#!/usr/bin/env python3
"""Reference results for quibsum::Decimal, computed with Python's decimal module.

Usage: decimal_oracle.py OPERATION COUNT [SEED]

Prints COUNT lines "OPERATION operand... expected" for one of the operations
add sub mul div cmp round pow parse double. Numbers are written in the plain form that
Decimal::toString produces, so the C++ side compares text; "NaN" stands for an
overflow or a division by zero, "none" for text that does not parse.

The context matches Decimal exactly: 38 digits, halves away from zero, and the
same set of values - a coefficient exponent from -128 (Etiny = Emin - prec + 1)
to a largest value of (10^38 - 1) * 10^127 (adjusted exponent Emax = 164).
With clamp=0, Python's subnormal results are the same values that Decimal
rounds to below 10^-91, so they need no special treatment.
"""

import decimal
import math
import random
import struct
import re
import sys
from decimal import Decimal as D

PREC = 38
CONTEXT = decimal.Context(
    prec=PREC,
    rounding=decimal.ROUND_HALF_UP,
    Emax=164,
    Emin=-91,
    clamp=0,
    traps=[decimal.Overflow, decimal.DivisionByZero, decimal.InvalidOperation],
)
# Rounding to a given exponent may aim far above the largest exponent; the result is then zero
# or out of range, which fits() tells apart.
WIDE = decimal.Context(prec=PREC, Emax=10 ** 6, Emin=-10 ** 6, traps=[decimal.InvalidOperation])
EXACT = CONTEXT.copy()
EXACT.traps[decimal.Inexact] = True
MODES = {"plain": decimal.ROUND_HALF_UP, "down": decimal.ROUND_FLOOR, "up": decimal.ROUND_CEILING}
GRAMMAR = re.compile(r"[+-]?(?:[0-9]+(?:\.[0-9]+)?|\.[0-9]+)(?:[eE][+-]?[0-9]+)?\Z", re.ASCII)


def fits(d):
    """Whether d is one of Decimal's values, so that its text parses without rounding."""
    try:
        return d.is_finite() and EXACT.plus(d) == d
    except decimal.DecimalException:
        return False


def plain(d):
    """The text Decimal::toString gives for the finite value d."""
    if d.is_nan():
        return "NaN"
    sign, digits, exp = d.as_tuple()
    digits = "".join(map(str, digits)).lstrip("0")
    if not digits:
        return "0"
    stripped = digits.rstrip("0")
    exp += len(digits) - len(stripped)
    digits = stripped
    if exp >= 0:
        text = digits + "0" * exp
    elif len(digits) > -exp:
        text = digits[:exp] + "." + digits[exp:]
    else:
        text = "0." + "0" * (-exp - len(digits)) + digits
    return ("-" if sign else "") + text


SPECIAL_COEFFICIENTS = [
    lambda r, k: 10 ** k - 1,                       # 999...9
    lambda r, k: 10 ** (k - 1),                     # 100...0
    lambda r, k: 5 * 10 ** (k - 1),                 # 500...0: ties when shifted
    lambda r, k: 5 * 10 ** (k - 1) - 1,             # 499...9
    lambda r, k: 5 * 10 ** (k - 1) + 1,             # 500...1
    lambda r, k: r.randrange(1, 10) * 10 ** (k - 1) + 5 if k > 1 else 5,
]


def coefficient(r, digits):
    if r.random() < 0.15:
        return r.choice(SPECIAL_COEFFICIENTS)(r, digits)
    return r.randrange(10 ** (digits - 1), 10 ** digits)


def exponent(r, digits):
    roll = r.random()
    if roll < 0.45:
        return r.randint(-20, 10)
    if roll < 0.75:
        return r.randint(-128, 127)
    if roll < 0.875:
        return r.randint(-128, -100)
    return r.randint(110, 127)


def number(r, digits=None, exp=None):
    if digits is None:
        digits = r.randint(1, PREC) if r.random() < 0.6 else r.choice([1, 2, 3, 19, 20, 37, 38, 38])
    c = coefficient(r, digits)
    e = exponent(r, digits) if exp is None else max(-128, min(127, exp))
    if r.random() < 0.03:
        return D(0)
    sign = 1 if r.random() < 0.5 else 0
    return D((sign, tuple(map(int, str(c))), e))


def near(r, a):
    """An operand whose exponent is close to a's, so that the digits interact."""
    digits = r.randint(1, PREC)
    top = a.adjusted() if a else 0
    exp = top - digits + 1 + r.randint(-42, 42)
    return number(r, digits, exp)


def operand_text(r, d):
    """d written in one of the forms Decimal::parse reads; trailing zeros and exponents vary."""
    if r.random() < 0.7:
        return plain(d)
    sign, digits, exp = d.as_tuple()
    pad = r.randint(0, 3)
    body = "".join(map(str, digits)) + "0" * pad
    return ("-" if sign else "") + body + "e" + str(exp - pad)


def second_operand(r, a, op):
    roll = r.random()
    if roll < 0.3:
        return number(r)
    if roll < 0.75:
        return near(r, a)
    if roll < 0.85 and op in ("mul", "div"):
        small = r.choice([2, 4, 5, 8, 16, 20, 25, 125, 3, 7, 9, 11])
        return D((r.randint(0, 1), tuple(map(int, str(small))), r.randint(-3, 3)))
    if op in ("add", "sub", "cmp"):
        # Nearly equal or equal magnitudes: cancellation, ties and equality.
        ulp = D((0, (1,), a.as_tuple().exponent + r.randint(-2, 1)))
        b = CONTEXT.copy_sign(a, D(r.choice([1, -1]))) if r.random() < 0.5 else a
        try:
            return b + r.choice([-1, 0, 1, 5]) * ulp if r.random() < 0.7 else b
        except decimal.DecimalException:
            return b
    return number(r)


def arithmetic(r, op):
    a = number(r)
    b = second_operand(r, a, op)
    if not fits(b):
        b = number(r)
    try:
        if op == "add":
            result = plain(CONTEXT.add(a, b))
        elif op == "sub":
            result = plain(CONTEXT.subtract(a, b))
        elif op == "mul":
            result = plain(CONTEXT.multiply(a, b))
        elif op == "div":
            if r.random() < 0.02:
                b = D(0)
            result = plain(CONTEXT.divide(a, b))
        else:
            result = str((a > b) - (a < b))
    except (decimal.Overflow, decimal.DivisionByZero, decimal.InvalidOperation):
        result = "NaN"
    return f"{op} {operand_text(r, a)} {operand_text(r, b)} {result}"


def rounding(r):
    a = number(r)
    mode = r.choice(list(MODES))
    exp = a.as_tuple().exponent
    if r.random() < 0.8:
        scale = -r.randint(exp - 2, a.adjusted() + 2)  # around the digits of a
    else:
        scale = r.randint(-170, 130)
    if -scale <= exp or a.is_zero():
        result = a
    else:
        result = a.quantize(D((0, (1,), -scale)), rounding=MODES[mode], context=WIDE)
        if not fits(result):
            result = D("NaN")
    return f"round {operand_text(r, a)} {scale} {mode} {plain(result)}"


STATUS = ["noError", "lossOfPrecision", "underflow", "overflow", "divideByZero"]


def power(r):
    """Square and multiply with every product rounded in the mode, as Decimal::power does."""
    digits = r.choice([1, 1, 2, 3, 5, 8, 13, 20, 38])
    base = number(r, digits, r.randint(-digits - 3, 3) if r.random() < 0.8 else None)
    if r.random() < 0.03:
        base = D(0)
    n = r.randint(-12, 12) if r.random() < 0.7 else r.randint(-400, 400)
    mode = r.choice(list(MODES))
    ctx = CONTEXT.copy()
    ctx.rounding = MODES[mode]
    ctx.clear_flags()
    status = "noError"
    try:
        if n == 0:
            result = D(1)
        elif base.is_zero() and n < 0:
            raise decimal.DivisionByZero
        else:
            e = abs(n)
            result = D(1)
            square = base
            while True:
                if e & 1:
                    result = ctx.multiply(result, square)
                e >>= 1
                if e == 0:
                    break
                square = ctx.multiply(square, square)
            if n < 0:
                result = ctx.divide(D(1), result)
        if ctx.flags[decimal.Underflow]:
            status = "underflow"
        elif ctx.flags[decimal.Inexact]:
            status = "lossOfPrecision"
        text = plain(result)
    except decimal.Overflow:
        text, status = "NaN", "overflow"
    except decimal.DivisionByZero:
        text, status = "NaN", "divideByZero"
    return f"pow {operand_text(r, base)} {n} {mode} {text} {status}"


def parse_case(r):
    roll = r.random()
    if roll < 0.6:
        # Valid text: signs, leading and trailing zeros, up to 60 digits, exponents in and
        # out of range.
        sign = r.choice(["", "", "+", "-"])
        whole = "0" * r.choice([0, 0, 0, 1, 3]) + "".join(r.choice("0123456789") for _ in range(r.randint(0, 45)))
        frac = "".join(r.choice("0123456789") for _ in range(r.randint(0, 45)))
        if r.random() < 0.1:
            whole = whole[:10] + "4" + "9" * 40
        if not whole and not frac:
            whole = "5"
        text = sign + whole + ("." + frac if frac else "")
        if r.random() < 0.4:
            e = r.randint(-200, 200) if r.random() < 0.9 else r.randint(-10 ** 12, 10 ** 12)
            text += r.choice("eE") + r.choice(["", "+"] if e >= 0 else [""]) + str(e)
    elif roll < 0.8:
        text = "".join(r.choice("0123456789.eE+-") for _ in range(r.randint(1, 12)))
    else:
        base = plain(number(r))
        junk = r.choice(["x", "_", ",", "..", "e", "E+", "-", "+", "\u00a0", "1e", ".e1", "inf", "nan", "0x1", "١"])
        pos = r.randint(0, len(base))
        text = base[:pos] + junk + base[pos:]
    text = text.replace(" ", "")
    if not GRAMMAR.match(text):
        return f"parse {text} none"
    try:
        return f"parse {text} {plain(CONTEXT.create_decimal(text))}"
    except decimal.Overflow:
        return f"parse {text} none"


def double(r):
    """Lines "todouble A X" (A converts to the double X) and "fromdouble X A"."""
    if r.random() < 0.5:
        a = number(r)
        return f"todouble {operand_text(r, a)} {float(a)!r}"
    if r.random() < 0.5:
        x = struct.unpack("<d", r.getrandbits(64).to_bytes(8, "little"))[0]
    else:
        x = float(number(r, r.randint(1, 17)))
    if math.isinf(x) or math.isnan(x):
        return f"fromdouble {x!r} NaN"
    try:
        return f"fromdouble {x!r} {plain(CONTEXT.create_decimal(repr(x)))}"
    except decimal.Overflow:
        return f"fromdouble {x!r} NaN"


def main():
    op = sys.argv[1]
    count = int(sys.argv[2])
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 20240611
    r = random.Random(f"{op}:{seed}")  # each operation its own operands
    make = {
        "double": lambda: double(r),
        "round": lambda: rounding(r),
        "pow": lambda: power(r),
        "parse": lambda: parse_case(r),
    }.get(op, lambda: arithmetic(r, op))
    decimal.setcontext(CONTEXT.copy())
    sys.stdout.reconfigure(encoding="utf-8")
    out = sys.stdout
    lines = []
    for _ in range(count):
        lines.append(make())
        if len(lines) == 4096:
            out.write("\n".join(lines) + "\n")
            lines.clear()
    if lines:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
