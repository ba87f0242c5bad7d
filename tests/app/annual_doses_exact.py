#!/usr/bin/python3
"""Checks every value of annual_doses.csv against exact arithmetic.

Written apart from the program: it reads the index and the dose-rate files
itself, forms the monotone piecewise cubic Hermite slopes and the integrals
D(u) = int_0^u r and C(u) = int_0^u D as exact fractions, and sums, per person,
calendar year and region, A (D(t2 - t0) - D(t1 - t0)) for an acute intake and
q (C(t2 - s0) - C(t2 - s1) - C(t1 - s0) + C(t1 - s1)) for a constant-rate one.
Differences of exact fractions lose nothing, unlike differences of doubles.

Past the last tabulated time t_N the rate follows the tail asked for: the last
cubic piece continued ("cubic"), nothing ("zero"), or f_N exp(-lambda v) with
lambda = ln(f_N-1 / f_N) / (t_N - t_N-1), v = u - t_N, where f_N-1 > f_N > 0, the
constant f_N where the rate does not fall, 0 where f_N <= 0 ("exponential").
The exponential's integrals, T1(v) = int_0^v of the tail's rate and T2(v) =
int_0^v T1, are formed with decimal's exp and ln at 50 digits and then taken
as exact fractions. The columns low_let_tail_gy and high_let_tail_gy are the
same sums over the curve past t_N alone, whose D and C are T1(u - t_N) and
T2(u - t_N) (for the cubic, what its continued last piece adds).

A person is followed to 00:00 of the earliest of the intake file's
follow_up_end, the UNTIL_AGEth birthday (1 March for 29 February in a common
year) and 1 January after UNTIL; with none, to 1 January 51 years after the
year of the last day of intake. The year holding that end is summed up to it
alone (t2 the end), later years are absent, and intakes starting on or after
it are left out. Each row's age is its year less the birth year.

Usage: annual_doses_exact.py DATA_DIR INTAKES_CSV ANNUAL_DOSES_CSV [UNTIL [TAIL [UNTIL_AGE]]]
UNTIL may be "" for none. TAIL: exponential (the default, as quillmore-batch's),
zero or cubic.
Exit status 0 when every value and tail part agrees within 1e-13 relative
(1e-30 Gy per Bq taken in where the exact value is 0), rows marked unbounded
aside; 1 otherwise.
"""
import bisect
import csv
import datetime
import decimal
import re
import struct
import sys
from fractions import Fraction

INDEX_LENGTH = 25
RATE_LENGTH = 301
AGE_DAYS = [100, 365, 1825, 3650, 5475, 7300]
GROUP_STARTS = [1, 2, 7, 12, 17]  # completed years where the age group changes
LUNG_WEIGHTS = [0.1665, 0.1665, 0.333, 0.333]  # single precision in the data's rule
NUMBER = re.compile(r'[ \t\r\n]*([+-]?(?:\d+\.?\d*|\.\d+)(?:[EeDd][+-]?\d+)?)')


def number(field):
    match = NUMBER.match(field)
    return Fraction(match.group(1).replace('D', 'E').replace('d', 'e')) if match else Fraction(0)


def single(value):
    return Fraction(struct.unpack('f', struct.pack('f', value))[0])


class Records:
    def __init__(self, path, length):
        with open(path, 'rb') as f:
            self.data = f.read().decode('latin-1')
        self.length = length

    def get(self, n):
        return self.data[(n - 1) * self.length:n * self.length]


def normalise(name):
    name = re.sub(r'[A-Za-z]+', lambda m: m.group(0).capitalize(), name.strip(' '))
    if len(name) > 1 and name[-1].isupper() and name[-2].isdigit():
        name = name[:-1] + name[-1].lower()
    return name.ljust(7)


def hermite_slopes(x, f):
    """Monotone slopes: harmonic-mean interior, shape-preserving three-point ends
    (0 at either end where the three-point value and the end secant do not have
    the same strict sign)."""
    n = len(x)
    h = [x[i + 1] - x[i] for i in range(n - 1)]
    s = [(f[i + 1] - f[i]) / h[i] for i in range(n - 1)]
    if n == 2:
        return [s[0], s[0]]
    sign = lambda v: (v > 0) - (v < 0)
    d = [Fraction(0)] * n
    for i in range(1, n - 1):
        if sign(s[i - 1]) * sign(s[i]) > 0:
            hs = h[i - 1] + h[i]
            w1, w2 = (hs + h[i - 1]) / (3 * hs), (hs + h[i]) / (3 * hs)
            big = max(abs(s[i - 1]), abs(s[i]))
            d[i] = min(abs(s[i - 1]), abs(s[i])) / (w1 * s[i - 1] / big + w2 * s[i] / big)

    def end(h1, h2, s1, s2):
        hs = h1 + h2
        v = (hs + h1) / hs * s1 - h1 / hs * s2
        if sign(v) * sign(s1) <= 0:  # both ends alike: a flat end secant gives 0
            return Fraction(0)
        if sign(s1) * sign(s2) < 0 and abs(v) > abs(3 * s1):
            return 3 * s1
        return v

    d[0] = end(h[0], h[1], s[0], s[1])
    d[n - 1] = end(h[n - 2], h[n - 3], s[n - 2], s[n - 3])
    return d


class Curve:
    """r(u) of one region and component, with D and C exactly."""

    def __init__(self, x, f):
        d = hermite_slopes(x, f)
        self.x = x
        self.pieces = []  # (start in u, knot, c0..c3, D and C at the start)
        dose, cumulative = Fraction(0), Fraction(0)
        for i in range(len(x) - 1):
            h = x[i + 1] - x[i]
            m = (f[i + 1] - f[i]) / h
            c = (f[i], d[i], (3 * m - 2 * d[i] - d[i + 1]) / h, (d[i] + d[i + 1] - 2 * m) / (h * h))
            start = Fraction(0) if i == 0 else x[i]
            self.pieces.append((start, x[i], c, dose, cumulative))
            if i + 2 < len(x):
                end = x[i + 1]
                dose, cumulative = self._at(len(self.pieces) - 1, end)
        self.starts = [p[0] for p in self.pieces]
        self.last_time = x[-1]
        self.last_rate = f[-1]
        self.before_last = (x[-2], f[-2])
        self.at_last = self._at(len(self.pieces) - 1, x[-1])  # D and C at t_N
        self.decay = None  # lambda of the exponential tail, once formed

    def _exponential(self, v):
        """T1(v) and T2(v) of the exponential tail, v days past t_N."""
        f = self.last_rate
        t_prev, f_prev = self.before_last
        if f <= 0 or v == 0:
            return Fraction(0), Fraction(0)
        if f_prev <= f:  # the rate does not fall: its last value kept
            return f * v, f * v * v / 2
        with decimal.localcontext(decimal.Context(prec=50)):
            dec = lambda q: decimal.Decimal(q.numerator) / decimal.Decimal(q.denominator)
            if self.decay is None:
                self.decay = (dec(f_prev) / dec(f)).ln() / dec(self.last_time - t_prev)
            lam, w = self.decay, dec(v)
            rise = (1 - (-lam * w).exp()) / lam  # int_0^v exp(-lambda w) dw
            t1 = dec(f) * rise
            t2 = dec(f) * (w - rise) / lam
        return Fraction(t1), Fraction(t2)

    def parts(self, u, tail):
        """D(u), C(u) and the parts of them from past t_N, under `tail`."""
        if u <= self.last_time:
            d_u, c_u = self.dc(u)
            return d_u, c_u, Fraction(0), Fraction(0)
        v = u - self.last_time
        d_n, c_n = self.at_last
        if tail == 'cubic':
            d_u, c_u = self.dc(u)
            t1, t2 = d_u - d_n, c_u - c_n - d_n * v
        elif tail == 'zero':
            t1, t2 = Fraction(0), Fraction(0)
        else:
            t1, t2 = self._exponential(v)
        return d_n + t1, c_n + d_n * v + t2, t1, t2

    @staticmethod
    def _p(c, v):
        return c[0] * v + c[1] * v ** 2 / 2 + c[2] * v ** 3 / 3 + c[3] * v ** 4 / 4

    @staticmethod
    def _q(c, v):
        return c[0] * v ** 2 / 2 + c[1] * v ** 3 / 6 + c[2] * v ** 4 / 12 + c[3] * v ** 5 / 20

    def _at(self, i, u):
        start, knot, c, dose, cumulative = self.pieces[i]
        vb, v = start - knot, u - knot
        d_u = dose + self._p(c, v) - self._p(c, vb)
        c_u = cumulative + (dose - self._p(c, vb)) * (u - start) + self._q(c, v) - self._q(c, vb)
        return d_u, c_u

    def dc(self, u):
        if u <= 0:
            return Fraction(0), Fraction(0)
        i = max(0, bisect.bisect_right(self.starts, u) - 1)
        return self._at(i, u)


class DataSet:
    def __init__(self, folder):
        self.index = Records(f'{folder}/DoseInd.NDX', INDEX_LENGTH)
        self.files = {'inhalation': Records(f'{folder}/TQV27INH2.DRT', RATE_LENGTH),
                      'ingestion': Records(f'{folder}/TQV27ING2.DRT', RATE_LENGTH)}
        self.cache = {}

    def start(self, name, route):
        head = self.index.get(2)
        for n in range(int(number(head[0:4])), int(number(head[4:8])) + 1):
            entry = self.index.get(n)
            if entry[0:7] == name:
                return int(round(number(entry[7:15] if route == 'ingestion' else entry[15:23])))
        raise KeyError(name)

    def blocks(self, name, route, group, regions):
        """[(form number, code, curves by region then component)] of one age group."""
        key = (name, route, group, tuple(regions))
        if key in self.cache:
            return self.cache[key]
        inh = route == 'inhalation'
        rec = self.files[route]
        n = self.start(name, route)
        found, form = [], 0
        while True:
            head = rec.get(n)
            if head[0:7] != name:
                break
            points = int(round(number(head[27:31] if inh else head[20:24])))
            per = int(round(number(head[31:33] if inh else head[24:26])))
            letter = head[34] if inh else head[27]
            if per != (2 if letter == 'B' else 1) or points < 0:
                break
            age = int(round(number(head[7:12])))
            block_group = 6 if age >= 7300 else (AGE_DAYS.index(age) + 1 if age in AGE_DAYS else 0)
            records = [rec.get(n + 1 + k) for k in range(points * per)]
            n += 1 + points * per
            if block_group == group:
                form += 1
                code = head[18] if inh else head[12:20].strip(' ')
                found.append((form, code, self._curves(records, letter, per, regions)))
        self.cache[key] = found
        return found

    @staticmethod
    def _rate(record, region):
        if region == 30:
            return sum(single(w) * DataSet._rate(record, 15 + k) for k, w in enumerate(LUNG_WEIGHTS))
        return number(record[9 + 10 * (region - 1):19 + 10 * (region - 1)])

    def _curves(self, records, letter, per, regions):
        if per == 2:
            low, high = records[0::2], records[1::2]
        else:
            low, high = (records, None) if letter == 'L' else (None, records)
        times = [number(r[0:9]) for r in (high if per == 2 else records)]
        zero = [Fraction(0)] * len(times)
        curves = []
        for region in regions:
            pair = []
            for part in (low, high):
                rates = [self._rate(r, region) for r in part] if part else zero
                pair.append(Curve(times, rates))
            curves.append(pair)
        return curves


def day(text):
    return datetime.date.fromisoformat(text).toordinal()


def birthday(birth, years):
    b = datetime.date.fromordinal(birth)
    try:
        return datetime.date(b.year + years, b.month, b.day).toordinal()
    except ValueError:  # 29 February in a common year
        return datetime.date(b.year + years, 3, 1).toordinal()


def group_of(birth, when):
    years = max(y for y in range(0, 200) if birthday(birth, y) <= when)
    return 1 + sum(years >= s for s in GROUP_STARTS)


def parts(birth, start, end):
    """[(age group, part start, part end or None)] split where the group changes."""
    if end is None:
        return [(group_of(birth, start), start, None)]
    cuts = sorted({birthday(birth, y) for y in GROUP_STARTS} | {start, end})
    cuts = [c for c in cuts if start <= c <= end]
    return [(group_of(birth, a), a, b) for a, b in zip(cuts, cuts[1:])]


def follow_up_end(row, last_day, until, until_age):
    """The day at 00:00 of which the person's follow-up ends."""
    ends = [day(row['follow_up_end'])] if row.get('follow_up_end') else []
    if until:
        ends.append(datetime.date(until + 1, 1, 1).toordinal())
    if until_age:
        ends.append(birthday(day(row['birth_date']), until_age))
    if not ends:
        return datetime.date(datetime.date.fromordinal(last_day).year + 51, 1, 1).toordinal()
    return min(ends)


def expected_parts(data, rows, regions, until, tail='cubic', until_age=None):
    """{(person, year, region): [low, high, low tail, high tail, Bq taken in]} exactly."""
    values, last_days, stops, firsts = {}, {}, {}, {}
    for row in rows:
        start = day(row['start'])
        last = day(row['end']) - 1 if row['end'] else start
        last_days[row['person']] = max(last_days.get(row['person'], last), last)
    for row in rows:
        stops[row['person']] = follow_up_end(row, last_days[row['person']], until, until_age)
    rows = [row for row in rows if day(row['start']) < stops[row['person']]]
    for row in rows:
        first = datetime.date.fromordinal(day(row['start'])).year
        firsts[row['person']] = min(firsts.get(row['person'], first), first)
    for row in rows:
        birth, start = day(row['birth_date']), day(row['start'])
        end = day(row['end']) if row['end'] else None
        activity = Fraction(row['activity_bq'])
        route = 'inhalation' if row['intake'].lower() in ('inhalation', 'h') else 'ingestion'
        stop = stops[row['person']]
        first = firsts[row['person']]
        last = datetime.date.fromordinal(stop - 1).year
        for year in range(first, last + 1):
            for region in regions:
                values.setdefault((row['person'], year, region), [Fraction(0)] * 5)
                values[(row['person'], year, region)][4] += activity
        for group, p0, p1 in parts(birth, start, end):
            if p0 >= stop:
                continue
            forms = data.blocks(normalise(row['nuclide']), route, group, regions)
            form = row['form']
            block = [b for b in forms if (str(b[0]) == form if form.isdigit() else b[1].lower() == form.lower())]
            assert len(block) == 1, (row, group)
            for year in range(first, last + 1):
                t1 = datetime.date(year, 1, 1).toordinal()
                t2 = min(datetime.date(year + 1, 1, 1).toordinal(), stop)
                for j, region in enumerate(regions):
                    value = values[(row['person'], year, region)]
                    for k, curve in enumerate(block[0][2][j]):
                        if p1 is None:
                            a, b = curve.parts(t2 - p0, tail), curve.parts(t1 - p0, tail)
                            dose, past = activity * (a[0] - b[0]), activity * (a[2] - b[2])
                        else:
                            q = activity / (end - start)
                            ends = [(t2 - p0, 1), (t2 - p1, -1), (t1 - p0, -1), (t1 - p1, 1)]
                            c = [(curve.parts(u, tail), sign) for u, sign in ends]
                            dose = q * sum(sign * at[1] for at, sign in c)
                            past = q * sum(sign * at[3] for at, sign in c)
                        value[k] += dose
                        value[2 + k] += past
    return values


def expected(data, rows, regions, until):
    """{(person, year, region): (low, high)} exactly, the last piece continued."""
    return {key: (v[0], v[1]) for key, v in expected_parts(data, rows, regions, until).items()}


def agrees(written, exact, bq):
    if exact == 0:
        return abs(written) <= 1e-30 * bq
    return abs(Fraction(written) - exact) <= Fraction(1, 10 ** 13) * abs(exact)


COLUMNS = ('low_let_gy', 'high_let_gy', 'low_let_tail_gy', 'high_let_tail_gy')


def main(folder, intakes, annual, until=None, tail='exponential', until_age=None):
    assert tail in ('exponential', 'zero', 'cubic'), tail
    with open(intakes, newline='', encoding='utf-8-sig') as f:
        rows = list(csv.DictReader(f))
    with open(annual, newline='', encoding='utf-8') as f:
        written = list(csv.DictReader(f))
    regions = list(dict.fromkeys(int(r['region']) for r in written))
    values = expected_parts(DataSet(folder), rows, regions, int(until) if until else None, tail,
                            int(until_age) if until_age else None)
    bad, checked, exempt, worst, past = 0, 0, 0, 0.0, 0
    seen = set()
    for r in written:
        key = (r['person'], int(r['year']), int(r['region']))
        seen.add(key)
        if int(r['age']) != key[1] - int(r['birth_date'][:4]):
            bad += 1
            print(f"{key}: age {r['age']}")
        if key not in values:
            bad += 1
            print(f'{key}: written, but past the end of follow-up or before the first intake')
            continue
        if r['extrapolation'] == 'unbounded':
            exempt += 1
            continue
        for column, exact in zip(COLUMNS, values[key]):
            checked += 1
            value = float(r[column])
            past += column.endswith('tail_gy') and exact != 0
            if exact != 0:
                worst = max(worst, float(abs(Fraction(value) - exact) / abs(exact)))
            if not agrees(value, exact, values[key][4]):
                bad += 1
                print(f'{key} {column}: written {r[column]}, exact {float(exact)!r}')
    missing = set(values) - seen
    for key in sorted(missing)[:10]:
        print(f'{key}: not written')
    print(f'{tail} tail: {checked} values checked ({past} tail parts not 0), {exempt} rows '
          f'unbounded and exempt, {bad} disagree, {len(missing)} missing; largest relative '
          f'difference {worst:.2e}')
    return 0 if bad == 0 and not missing and checked > 0 else 1


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
