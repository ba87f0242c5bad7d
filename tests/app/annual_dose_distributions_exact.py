#!/usr/bin/python3
"""Checks every row of annual_dose_distributions.csv against exact arithmetic.

Each intake i gives each value (person, calendar year, region, LET) c_i m_i
at its median activity m_i, all its parts together, as annual_doses_exact.py
computes it for that intake alone (exact fractions, the intake file's
follow-up ends and UNTIL, so that one intake alone keeps its person's years).
With sigma_i = ln GSD_i (decimal, 50 digits) the value's mean is
sum c_i m_i exp(sigma_i^2 / 2) and its variance
sum (c_i m_i)^2 exp(sigma_i^2) (exp(sigma_i^2) - 1); the matched lognormal
has s^2 = ln(1 + var / mean^2), GM = mean / exp(s^2 / 2), GSD = exp(s) and
the percentiles GM exp(-+z s), z the standard normal's 95th percentile
found here by Newton's method on its own series.

Usage: annual_dose_distributions_exact.py DATA_DIR INTAKES_CSV ANNUAL_DOSES_CSV DISTRIBUTIONS_CSV UNTIL
Exit status 0 when the rows follow annual_doses.csv (low before high), each
mean and variance agrees within 1e-13 relative and each GM, GSD and
percentile within 1e-12, the four empty exactly where the mean is not above 0.
"""
import csv
import decimal
import os
import sys
from decimal import Decimal
from fractions import Fraction

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import annual_doses_exact as exact  # noqa: E402

decimal.getcontext().prec = 50
D = Decimal


def dec(fraction):
    return D(fraction.numerator) / D(fraction.denominator)


def arctan_inverse(n):
    """atan(1/n) by its series."""
    total, term, k, x2 = D(0), D(1) / n, 0, D(n) * n
    while term != 0:
        total += term / (2 * k + 1) * (-1 if k % 2 else 1)
        term /= x2
        k += 1
    return total


PI = 16 * arctan_inverse(5) - 4 * arctan_inverse(239)


def normal_cdf(x):
    """1/2 + (1/sqrt(2 pi)) sum (-1)^n x^(2n+1) / (2^n n! (2n+1))."""
    total, power, n = D(0), x, 0
    while True:
        term = power / (2 * n + 1)
        if abs(term) < D(10) ** -60:
            break
        total += term
        n += 1
        power = -power * x * x / (2 * n)
    return D(1) / 2 + total / (2 * PI).sqrt()


def z95():
    z = D('1.6')
    for _ in range(60):
        step = (normal_cdf(z) - D('0.95')) / ((-z * z / 2).exp() / (2 * PI).sqrt())
        z -= step
        if abs(step) < D(10) ** -45:
            break
    return z


Z = z95()


def close(written, value, tolerance):
    if value == 0:
        return D(written) == 0
    return abs(D(written) - value) <= D(tolerance) * abs(value)


def main(folder, intakes, annual, distributions, until):
    with open(intakes, newline='', encoding='utf-8-sig') as f:
        rows = list(csv.DictReader(f))
    with open(annual, newline='', encoding='utf-8') as f:
        totals = list(csv.DictReader(f))
    with open(distributions, newline='', encoding='utf-8') as f:
        written = list(csv.DictReader(f))
    regions = list(dict.fromkeys(int(r['region']) for r in totals))
    data = exact.DataSet(folder)
    # Each intake alone: its values c_i m_i, and its sigma.
    alone = []
    for row in rows:
        values = exact.expected_parts(data, [row], regions, int(until), 'exponential')
        gsd = row.get('activity_gsd') or '1'
        alone.append((row['person'], values, D(gsd).ln()))
    bad, checked, uncertain = 0, 0, 0
    expected_keys = [(t['person'], t['birth_date'], t['year'], t['age'], t['region'],
                      t['region_name'], let, t['extrapolation'])
                     for t in totals for let in ('low', 'high')]
    keys = [(r['person'], r['birth_date'], r['year'], r['age'], r['region'], r['region_name'],
             r['let'], r['extrapolation']) for r in written]
    if keys != expected_keys:
        bad += 1
        print(f'rows differ from annual_doses.csv: {len(keys)} written, {len(expected_keys)} expected')
    for r in written:
        key = (r['person'], int(r['year']), int(r['region']))
        k = 0 if r['let'] == 'low' else 1
        mean, variance = D(0), D(0)
        for person, values, sigma in alone:
            if person != key[0] or key not in values:
                continue
            v = dec(values[key][k])
            s2 = sigma * sigma
            mean += v * (s2 / 2).exp()
            variance += v * v * s2.exp() * (s2.exp() - 1)
        checked += 1
        uncertain += variance > 0
        sd = Fraction(r['sd_gy'])
        faults = []
        if not close(r['mean_gy'], mean, '1e-13'):
            faults.append(f"mean {r['mean_gy']}, exact {mean:.17e}")
        if not close(dec(sd * sd), variance, '1e-13'):
            faults.append(f"sd {r['sd_gy']}, exact variance {variance:.17e}")
        lognormal = [r[c] for c in ('gm_gy', 'gsd', 'p05_gy', 'p95_gy')]
        if mean > 0:
            s2 = (1 + variance / (mean * mean)).ln()
            s = s2.sqrt()
            gm = mean / (s2 / 2).exp()
            want = [gm, s.exp(), gm * (-Z * s).exp(), gm * (Z * s).exp()]
            if '' in lognormal:
                faults.append('lognormal empty where the mean is above 0')
            else:
                for name, got, value in zip(('gm', 'gsd', 'p05', 'p95'), lognormal, want):
                    if not close(got, value, '1e-12'):
                        faults.append(f'{name} {got}, exact {value:.17e}')
        elif lognormal != [''] * 4:
            faults.append(f'lognormal {lognormal} where the mean is {mean}')
        if faults:
            bad += 1
            print(key, r['let'], '; '.join(faults))
    print(f'{checked} distributions checked ({uncertain} uncertain), {bad} disagree')
    return 0 if bad == 0 and uncertain > 0 else 1


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
