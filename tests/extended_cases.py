#!/usr/bin/env python3
"""Writes COUNT number cases for extended_cases, one per line, the same for the same SEED:
decimal texts at and beside halfway points, long digit strings, the edges of every error,
values near the 16th-digit rounding of FloatToStr, and dollar amounts at realistic rates.

usage: extended_cases.py COUNT [SEED]"""

import random
import sys

BIAS, MAXF = 16383, 0x7FFF


def bits(negative, field, mant):
    return "x%04x%016x" % (field | (0x8000 if negative else 0), mant)


def exact(n, e2):
    """n × 2^e2 (n > 0, exactly representable) as bits."""
    top = n.bit_length() - 1
    field = top + e2 + BIAS
    shift = e2 + BIAS + 62 if field <= 0 else 63 - top  # denormals: n × 2^(-BIAS - 62)
    return bits(False, max(field, 0), n << shift if shift >= 0 else n >> -shift)


def decimal(n, e2):
    """The exact decimal digits D and exponent E of n × 2^e2: D × 10^E."""
    return (str(n << e2), 0) if e2 >= 0 else (str(n * 5 ** -e2), e2)


def write(d, e, r, sep="."):
    """D × 10^E in one of the forms a statement or a test might use."""
    form = r.randrange(4)
    if form == 0 or abs(e) > 40 or len(d) > 60:
        if form < 2:
            return "%s%s%se%d" % (d[0], sep, d[1:], e + len(d) - 1)
        return "%sE%+d" % (d, e)
    if e >= 0:
        return d + "0" * e + (sep + "0" * r.randrange(3) if form == 3 else "")
    d = d.rjust(-e + 1, "0")
    return "0" * r.randrange(3) + d[:e] + sep + d[e:]


def near(d, e, r, full=0.5):
    """D × 10^E itself, or a text one unit of some digit beside it."""
    if r.random() < full and (len(d) < 1200 or r.random() < 0.02):
        if r.random() < 0.5:
            return d, e
        return r.choice([d + "0001", str(int(d) - 1) + "9999"]), e - 4
    keep = r.randrange(17, 45)
    return str(int(d[:keep]) + r.randrange(2)), e + max(len(d) - keep, 0)


def halfway(r, field):
    """The decimal digits of the point halfway between a value of this field and the next."""
    mant = r.getrandbits(64) | (1 << 63 if field else 0)
    return decimal(2 * (mant if field else mant >> 1) + 1, max(field, 1) - BIAS - 64)


def field(r):
    """Mostly everyday magnitudes, then anywhere, the denormals, the top of the range."""
    return r.choice([BIAS + r.randrange(-70, 70), r.randrange(1, MAXF), r.randrange(2),
                     MAXF - 1 - r.randrange(2)])


def value(r):
    kind = r.randrange(10)
    if kind < 4:
        return write(*near(*halfway(r, field(r)), r), r)
    if kind < 6:
        f = BIAS + 62 + r.randrange(-3, 2) if r.random() < 0.5 else field(r)
        mant = r.getrandbits(64) >> r.choice([0, 0, 11, 40, 60])
        return bits(r.random() < 0.5, f, mant | (1 << 63 if f else 0) if f else mant & ~(1 << 63))
    if kind < 8:
        return "d%016x" % r.getrandbits(64)
    return r.choice([bits(False, MAXF, 1 << 63), bits(True, MAXF, 3 << 62), bits(True, 0, 0),
                     "0", "1e-4951", "5e4931", "%d.%02d" % (r.randrange(10**6), r.randrange(100))])


def parse_text(r, sep):
    kind = r.randrange(12)
    if kind < 6:
        return write(*near(*halfway(r, field(r)), r), r, sep)
    if kind == 6:  # the top of the range: the tie above the largest value rounds to infinity
        top = decimal((2 << 64) - r.randrange(1, 4), MAXF - 1 - BIAS - 64)
        return write(*near(*top, r), r, sep)
    if kind == 7:  # the smallest denormals: half of the smallest rounds to 0
        return write(*near(*decimal(r.randrange(1, 6), -16446), r, 0.1), r, sep)
    if kind == 8:  # hundreds of digits, leading zeros, long fractions
        digits = "".join(r.choice("0123456789") for _ in range(r.randrange(100, 800)))
        return "%s%s%s%se%d" % ("0" * r.randrange(50), digits[:r.randrange(len(digits))], sep,
                                digits, r.randrange(-400, 400))
    if kind == 9:
        return r.choice(["1e99999999999999999999", "-1e-99999999999", "0e99999", "-0", "e5", "",
                         sep, " 1%s5 " % sep, "+%s5" % sep, "5" + sep, "1%s5e" % sep, "1e+",
                         "1,000%s5" % sep, "--1", "1 e5"])
    return "%d%s%02d" % (r.randrange(-10**7, 10**7), sep, r.randrange(100))


def yen(r):
    jpy, usd = r.choice([("151.234", "1.0"), ("16543.21", "108.7"), ("151", "0"), ("0", "0"),
                         ("%.3f" % r.uniform(80, 160), "1"), ("1e308", "1e-10"),
                         ("%.2f" % r.uniform(1e3, 2e5), "%.2f" % r.uniform(5, 1500)),
                         (write(*halfway(r, field(r)), r), "1")])
    try:
        rate = float(jpy) / float(usd)
    except (ValueError, ZeroDivisionError, OverflowError):
        rate = 150.0
    if r.random() < 0.3 and 0 < rate < 1e300:  # yen near ±2^31
        yen = (2**31 + r.uniform(-2, 2)) * r.choice([1, -1])
        amount = "%.*f" % (r.randrange(2, 7), yen / rate)
    else:
        amount = r.choice(["123.45", "%.2f" % r.uniform(-50, 5000), "%.4f" % r.uniform(0, 1e6),
                           parse_text(r, ".")])
    return ["yen", amount, jpy, usd]


def case(r):
    op = r.choices(["parse", "str", "digits", "round", "mul", "div", "store", "yen"],
                   [30, 14, 6, 10, 10, 8, 8, 14])[0]
    if op == "parse":
        sep = r.choice([".", ".", ","])
        return [op, parse_text(r, sep), sep]
    if op == "str":
        d = str(r.randrange(10**14, 10**15)) + "5" + r.choice(["", "0", "000000001", "4999999"])
        v = write(d, r.randrange(-25, 25) - len(d) + 1, r) if r.random() < 0.6 else value(r)
        return [op, v, r.choice([".", ","])]
    if op == "digits" and r.random() < 0.3:  # a tie at the 42nd digit: m × 2^-k with 42 digits
        m = r.randrange(1, 1 << 20) | 1
        k = next((k for k in range(200) if len(str(m * 5**k)) == 42), 60)
        return [op, exact(m, -k)]
    if op == "round" and r.random() < 0.5:  # ties of every size, and the ends of the 64 bits
        if r.random() < 0.5:
            return [op, write(str(r.randrange(10**r.randrange(1, 21))) + "5", -1, r)]
        return [op, r.choice(["", "-"]) + "922337203685477580" +
                r.choice(["7", "8", "7.5", "8.5", "7.4999999", "6.5"])]
    if op == "yen":
        return yen(r)
    return [op] + [value(r) for _ in range(2 if op in ("mul", "div") else 1)]


def main():
    if hasattr(sys, "set_int_max_str_digits"):
        sys.set_int_max_str_digits(0)
    count = int(sys.argv[1])
    r = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 1)
    out = sys.stdout
    for _ in range(count):
        out.write("\t".join(case(r)) + "\n")


if __name__ == "__main__":
    main()
