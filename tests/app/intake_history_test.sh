#!/usr/bin/env bash
# quillmore-batch --intakes end to end: every annual dose and its part from
# past the data of a hand-built history against exact arithmetic under each
# tail, the note on the values past the data, the sum of annual doses against
# a coefficient, and each kind of bad row refused with nothing written.
# Usage: intake_history_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: intake_history_test.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
batch=$build/src/quillmore-batch
python=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$build/tools/quillmore-sample-data" --out DATA >/dev/null
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Acute and spread intakes by both routes; B's spread intake crosses two
# birthdays (born 29 February) and the leap day of 2020 is inside A's years;
# A's first intake is on 31 December; C's years reach past the last tabulated
# time (36500 d) of both blocks; D's spread intakes lie between the birthdays
# at 7 (2017-06-15) and 12, the second ending on the 12th.
cat >intakes.csv <<'CSV'
person,birth_date,nuclide,intake,form,start,end,activity_bq
A,1990-02-28,Cs-137,inhalation,F,2020-12-31,,1000
B,2016-02-29,Pu-239,h,M,2017-01-01,2019-03-01,100
A,1990-02-28,sr-90,g,1,2001-06-01,2010-03-01,5000
C,1900-01-01,Am-241,ingestion,5.0E-04,1925-06-30,,20
C,1900-01-01,Cs-137,g,1,1926-03-01,1929-01-01,400
B,2016-02-29,I-131,inhalation,1,2020-02-29,2020-03-01,3000
D,2010-06-15,Cs-137,h,2,2018-01-01,2018-07-01,700
D,2010-06-15,Cs-137,h,M,2021-01-01,2022-06-15,300
CSV
# The parts of each person add up to the totals, whose status is the worst of
# the parts' in that year and region (none where no part is).
parts_add_up() {  # BY_INTAKE_CSV ANNUAL_DOSES_CSV
  "$python" - "$@" <<'PY'
import csv, math, sys
rank = {'none': 0, 'bounded': 1, 'unbounded': 2}
parts = {}
for r in csv.DictReader(open(sys.argv[1])):
    parts.setdefault((r['person'], r['year'], r['region']), []).append(r)
totals = list(csv.DictReader(open(sys.argv[2])))
bad = 0
for r in totals:
    mine = parts.get((r['person'], r['year'], r['region']), [])
    worst = max((rank[p['extrapolation']] for p in mine), default=0)
    for column in ('low_let_gy', 'high_let_tail_gy'):
        total = math.fsum(float(p[column]) for p in mine)
        if abs(total - float(r[column])) > 1e-12 * abs(float(r[column])):
            bad += 1
            print(r['person'], r['year'], r['region'], column, r[column], total)
    if rank[r['extrapolation']] != worst:
        bad += 1
        print(r['person'], r['year'], r['region'], r['extrapolation'], worst)
sys.exit(1 if bad or not parts else 0)
PY
}
if "$batch" --intakes intakes.csv --regions lung,liver,29,1 --until 2035 --by-intake \
  --high-let-weight 20 --format csv,json -q --output-dir out 2>out.err; then
  "$python" "$here/annual_doses_exact.py" DATA intakes.csv out/annual_doses.csv 2035 ||
    fail "annual doses differ from the exact values"
  grep -q 'note:' out.err && fail "--quiet shows the note: $(cat out.err)"
  grep -q '"sha256"' out/annual_doses.json || fail "annual_doses.json lacks the provenance"
  parts_add_up out/annual_doses_by_intake.csv out/annual_doses.csv ||
    fail "the parts do not add up to the totals"
  "$python" - out <<'PY' || fail "weighted doses, form columns, D's parts or the manifest are wrong"
import csv, hashlib, json, os, sys
from fractions import Fraction
out = sys.argv[1]
bad = []
by_intake = list(csv.DictReader(open(f'{out}/annual_doses_by_intake.csv')))
for name in ('annual_doses.csv', 'annual_doses_by_intake.csv'):
    rows = list(csv.DictReader(open(f'{out}/{name}')))
    for r in rows:  # weighted_gy = low + 20 x high, to the rounding of a double
        exact = Fraction(r['low_let_gy']) + 20 * Fraction(r['high_let_gy'])
        if abs(Fraction(r['weighted_gy']) - exact) > Fraction(1, 10 ** 15) * abs(exact):
            bad.append(f"{name}: weighted {r['weighted_gy']} for {r['low_let_gy']}, {r['high_let_gy']}")
    if not any(float(r['high_let_gy']) > 0 for r in rows):
        bad.append(f'{name}: no high-LET dose to weigh')
# Cs-137 inhalation at ages 7 to 11 has forms 1 (F) and 2 (M): D's rows name
# the second by its number and by its code.
d = [r for r in by_intake if r['person'] == 'D']
if {(r['row'], r['form'], r['form_code']) for r in d} != {('8', '2', 'M'), ('9', '2', 'M')}:
    bad.append('D: form and form_code are not 2 and M')
# Each of D's intakes lies in one age group: one part, the whole intake.
parts = {(r['row'], r['age_group'], r['part_start'], r['part_end']) for r in d}
if parts != {('8', '10 y-old', '2018-01-01', '2018-07-01'),
             ('9', '10 y-old', '2021-01-01', '2022-06-15')}:
    bad.append(f'D: parts {sorted(parts)}')
# The JSON and the manifest name the tail, the default too.
manifest = json.load(open(f'{out}/quillmore-run.json'))
history = json.load(open(f'{out}/annual_doses.json'))
for where, provenance in (('json', history['provenance']), ('manifest', manifest['provenance'])):
    if provenance['options'].get('tail') != 'exponential':
        bad.append(f"{where}: options {provenance['options']}")
# The manifest lists every file written, by its size and SHA-256 on disk.
listed = {f['name']: f for f in manifest['files']}
written = sorted(n for n in os.listdir(out) if n != 'quillmore-run.json')
if sorted(listed) != written:
    bad.append(f'manifest lists {sorted(listed)}, written {written}')
for name in written:
    data = open(f'{out}/{name}', 'rb').read()
    f = listed.get(name, {})
    if f.get('size') != len(data) or f.get('sha256') != hashlib.sha256(data).hexdigest():
        bad.append(f'manifest: {name}: {f}')
print('\n'.join(bad))
sys.exit(1 if bad else 0)
PY
else
  fail "the history run failed"
fi

# An intake in the --until year is accepted, also one that ends on 1 January
# of the next; without --until a person's years run to 50 after the year of
# the last day of intake.
printf '%s\n' person,birth_date,nuclide,intake,form,start,end,activity_bq \
  E,1980-01-01,Cs-137,h,F,1998-06-01,2000-01-01,10 F,1980-01-01,Cs-137,h,F,1999-12-31,,1 >until.csv
for until in 1999 ""; do
  rm -rf until
  if "$batch" --intakes until.csv ${until:+--until "$until"} -q --output-dir until 2>err.txt; then
    years=$(for p in E F; do grep "^$p," until/annual_doses.csv | cut -d, -f3 | sed -n '1p;$p'; done)
    [ "$(echo $years)" = "1998 ${until:-2049} 1999 ${until:-2049}" ] ||
      fail "--until '$until': first and last years $(echo $years)"
  else
    fail "--until '$until': refused: $(cat err.txt)"
  fi
done

# Each person followed to their own end, every value exact and each row's age
# its year less the birth year: V to its follow_up_end in 2001 (its spread
# Sr-90 running past it), W (born 29 February) to 1 March at 70, X to its
# 70th birthday on 1 January 2030 before its follow_up_end; Y's only intake
# and Z's second start after their 70th birthdays and are left out, in one note.
cat >ends.csv <<'CSV'
person,birth_date,nuclide,intake,form,start,end,activity_bq,follow_up_end
V,1950-03-15,Cs-137,h,F,1990-06-01,,1000,2001-09-20
V,1950-03-15,Sr-90,g,1,1995-01-01,2005-01-01,500,2001-09-20
W,2012-02-29,Pu-239,h,M,2013-01-01,2016-06-01,100,
X,1960-01-01,I-131,h,1,2000-02-01,,3000,2040-01-01
Y,1930-01-01,Cs-137,h,F,2005-01-01,,10,
Z,1940-05-05,Cs-137,g,1,2000-01-01,,10,
Z,1940-05-05,Cs-137,h,F,2010-05-05,,10,
CSV
status=0
"$batch" --intakes ends.csv --until-age 70 --regions lung,liver --by-intake --format csv,json \
  --output-dir ends 2>ends.err >/dev/null || status=$?
if [ "$status" = 0 ]; then
  "$python" "$here/annual_doses_exact.py" DATA ends.csv ends/annual_doses.csv "" exponential 70 ||
    fail "annual doses to each person's end differ from the exact values"
  grep -qx 'quillmore-batch: note: 2 intakes start on or after the end of follow-up set by --until-age 70 and contribute nothing (ends.csv lines 6, 8); 1 person is left with no intake and has no rows: Y' ends.err ||
    fail "the note on the intakes left out: $(cat ends.err)"
  "$python" - ends <<'PY' || fail "ends: ages, part dates, follow-up ends or options are wrong"
import csv, json, sys
out = sys.argv[1]
bad = []
rows = list(csv.DictReader(open(f'{out}/annual_doses_by_intake.csv')))
bad += [f"age {r['age']} in {r['year']}" for r in rows
        if int(r['age']) != int(r['year']) - int(r['birth_date'][:4])]
last = {}
for r in csv.DictReader(open(f'{out}/annual_doses.csv')):
    last[r['person']] = max(last.get(r['person'], 0), int(r['year']))
if last != {'V': 2001, 'W': 2082, 'X': 2029, 'Z': 2010}:
    bad.append(f'last years {last}')
sr = {(r['part_start'], r['part_end']) for r in rows if r['nuclide'] == 'Sr-90'}
if sr != {('1995-01-01', '2005-01-01')}:
    bad.append(f'Sr-90 parts {sr}')
history = json.load(open(f'{out}/annual_doses.json'))
ends = {p['person']: p['follow_up_end'] for p in history['persons']}
if ends != {'V': '2001-09-20', 'W': '2082-03-01', 'X': '2030-01-01', 'Z': '2010-05-05'}:
    bad.append(f'follow-up ends {ends}')
if history['provenance']['options'].get('until_age') != 70:
    bad.append(f"options {history['provenance']['options']}")
print('\n'.join(bad))
sys.exit(1 if bad else 0)
PY
else
  fail "the run to each person's end failed: $(cat ends.err)"
fi

# The sum of the annual doses of 1 Bq taken on 1 January 2000 through 2009 is
# the coefficient for the 3653 days to 1 January 2010.
printf 'START\n3653\nEND\n' >ten-years.ini
printf 'person,birth_date,nuclide,intake,form,start,end,activity_bq\nP,1970-05-05,Pu-239,h,2,2000-01-01,,1\n' >one.csv
"$batch" --intakes one.csv --until 2009 -q --output-dir sums
"$batch" --data-set h Pu-239 --ages adult --times ten-years.ini --format csv -q --output-dir coefficients
"$python" - sums/annual_doses.csv coefficients/Pu-239_H.csv <<'PY' || fail "annual sums differ from the coefficient"
import csv, math, sys
sums = {}
for row in csv.DictReader(open(sys.argv[1])):
    for c in ('low_let_gy', 'high_let_gy'):
        sums.setdefault((row['region'], c), []).append(float(row[c]))
bad = 0
rows = [r for r in csv.DictReader(open(sys.argv[2])) if r['form'] == '2']
for row in rows:
    for c in ('low_let_gy', 'high_let_gy'):
        total, coefficient = math.fsum(sums[(row['region'], c)]), float(row[c + '_per_bq'])
        if abs(total - coefficient) > 1e-12 * abs(coefficient):
            bad += 1
            print(row['region'], c, total, coefficient)
sys.exit(1 if bad or len(rows) != 30 else 0)
PY

# Years to 150 years after intake under each tail, every value and its part
# from past the data exact: S's acute Sr-90 and spread Cs-137 (across the
# birthday at 1), T's spread Pu-239 long past its data; U's intake stays
# within its data. One note under the exponential and zero tails, none under
# the cubic; the exponential's share is the largest of the written values'
# (every last rate of the sample data falls: no block keeps its last rate).
cat >far.csv <<'CSV'
person,birth_date,nuclide,intake,form,start,end,activity_bq
S,1960-04-29,Sr-90,ingestion,1.0E-02,1960-08-27,,1000
S,1960-04-29,Cs-137,inhalation,F,1961-01-01,1963-06-01,500
T,1900-01-01,Pu-239,h,M,1920-03-01,1921-03-01,50
U,1990-01-01,Cs-137,h,F,2050-01-01,,10
CSV
statuses=""
for tail in exponential zero cubic; do
  status=0
  "$batch" --intakes far.csv --until 2110 --regions adrenals,lung,liver --tail "$tail" \
    --output-dir "far-$tail" 2>"far-$tail.err" >/dev/null || status=$?
  statuses="$statuses $status"
  [ "$status" = 2 ] && { fail "--tail $tail: $(cat "far-$tail.err")"; continue; }
  "$python" "$here/annual_doses_exact.py" DATA far.csv "far-$tail/annual_doses.csv" 2110 "$tail" ||
    fail "--tail $tail: annual doses or their parts past the data differ from the exact values"
  grep -q "\"tail\": \"$tail\"" "far-$tail/quillmore-run.json" ||
    fail "--tail $tail: the manifest does not name the tail"
done
{ [ "${statuses% *}" = " 0 0" ] && [ "$(grep -c 'note:' far-exponential.err)" = 1 ] &&
  [ "$(grep -c 'note:' far-zero.err)" = 1 ] &&
  ! grep -q 'note:' far-cubic.err && ! grep -q 'warning:' far-exponential.err far-zero.err &&
  ! grep -q unbounded far-exponential/annual_doses.csv far-zero/annual_doses.csv; } ||
  fail "notes and warnings by tail: $(cat far-*.err)"
grep -qx 'quillmore-batch: note: 3 of 4 intakes run past the last tabulated time of their data; past it the rate follows the zero tail' far-zero.err ||
  fail "the zero tail's note: $(cat far-zero.err)"
"$python" - far-exponential.err far-exponential/annual_doses.csv <<'PY' || fail "the exponential tail's note"
import csv, sys
note = open(sys.argv[1]).read().strip()
share = 0  # the first largest, in the file's order
for r in csv.DictReader(open(sys.argv[2])):
    for let in ('low', 'high'):
        value, tail = float(r[f'{let}_let_gy']), float(r[f'{let}_let_tail_gy'])
        if value > 0 and tail / value > share:
            share, person, year, region = tail / value, r['person'], r['year'], r['region']
            component = let
expected = ('quillmore-batch: note: 3 of 4 intakes run past the last tabulated time of their '
            'data; past it the rate follows the exponential tail (columns low_let_tail_gy, '
            f'high_let_tail_gy); the largest share from past the data is {round(share * 100)} % '
            f'(person {person}, year {year}, region {region}, {component} LET)')
if share == 0 or note != expected:
    print(f'{note}\nexpected {expected if share else "a share above 0"}')
    sys.exit(1)
PY

# Each bad row: exit 2, a message naming the file, line and column, no file written.
header=person,birth_date,nuclide,intake,form,start,end,activity_bq
refused() {  # EXPECTED-MESSAGE CSV-TEXT [OPTION...]
  local expected=$1 text=$2
  shift 2
  printf '%s' "$text" >bad.csv
  rm -rf refused
  local status=0
  "$batch" --intakes bad.csv --output-dir refused "$@" 2>err.txt >/dev/null || status=$?
  if [ "$status" != 2 ] || ! grep -qF -- "$expected" err.txt || [ -e refused ]; then
    fail "expected exit 2 and \"$expected\", got $status: $(cat err.txt)"
  fi
}
ok_row='A,1990-01-01,Cs-137,h,F,2000-01-01,,1'
refused 'bad.csv:1: no column "activity_bq" in the header, split by comma, semicolon or tab' $'person,birth_date,nuclide,intake,form,start,end\nA,1990-01-01,Cs-137,h,F,2000-01-01,\n'
refused 'bad.csv:1: column "activty_bq" is not known; did you mean "activity_bq"?' "${header%activity_bq}activty_bq"$'\n'"$ok_row"$'\n'
# A column not known is read past, in one note on stderr and in the manifest.
printf '%s\n%s\n' "$header,dose,Cohort" "$ok_row,1,c" >extra.csv
"$batch" --intakes extra.csv --output-dir extra 2>err.txt >/dev/null ||
  fail "a column not known is refused: $(cat err.txt)"
[ "$(cat err.txt)" = 'quillmore-batch: note: extra.csv:1: columns "dose", "Cohort" are not known and ignored' ] ||
  fail "the note on columns not known: $(cat err.txt)"
grep -qF '"message": "extra.csv:1: columns \"dose\", \"Cohort\" are not known and ignored"' extra/quillmore-run.json ||
  fail "the manifest keeps no note on columns not known"
# A file the system cannot read: its reason.
status=0
"$batch" --intakes missing.csv --output-dir refused 2>err.txt >/dev/null || status=$?
[ "$status" = 2 ] &&
  [ "$(cat err.txt)" = 'quillmore-batch: unable to read the intake file missing.csv: No such file or directory' ] ||
  fail "a missing intake file: $status $(cat err.txt)"
refused 'bad.csv:2: column "person": is empty' "$header"$'\n'",1990-01-01,Cs-137,h,F,2000-01-01,,1"$'\n'
refused 'bad.csv:2: column "start": "2023-02-30" is not a date' "$header"$'\n'"A,1990-01-01,Cs-137,h,F,2023-02-30,,1"$'\n'
refused 'bad.csv:2: column "start": "1989-12-31" is before the birth date' "$header"$'\n'"A,1990-01-01,Cs-137,h,F,1989-12-31,,1"$'\n'
refused 'bad.csv:2: column "end": "2000-01-01" is not after the start' "$header"$'\n'"A,1990-01-01,Cs-137,h,F,2000-01-01,2000-01-01,1"$'\n'
refused 'bad.csv:2: column "activity_bq": "-5" is not a positive' "$header"$'\n'"A,1990-01-01,Cs-137,h,F,2000-01-01,,-5"$'\n'
refused 'bad.csv:2: column "activity_bq": "inf" is not a positive' "$header"$'\n'"A,1990-01-01,Cs-137,h,F,2000-01-01,,inf"$'\n'
refused 'bad.csv:3: column "birth_date": "1990-01-02" differs' "$header"$'\n'"$ok_row"$'\n'"A,1990-01-02,Cs-137,h,F,2000-01-01,,1"$'\n'
refused 'bad.csv:2: column "nuclide": no data are available for "Xx-1"' "$header"$'\n'"A,1990-01-01,Xx-1,h,F,2000-01-01,,1"$'\n'
refused 'bad.csv:2: column "nuclide": Kr-85 has no data in TQV27ING2.DRT' "$header"$'\n'"A,1990-01-01,Kr-85,g,1,2000-01-01,,1"$'\n'
refused 'bad.csv:2: column "form": "Q": no such form for Cs-137 inhalation, age group 10 y-old; its forms: 1 (F), 2 (M)' "$header"$'\n'"A,1990-01-01,Cs-137,h,Q,2000-01-01,,1"$'\n'
refused 'bad.csv:2: column "start": "2000-01-01" is not before the follow-up end 2000-01-01' "$header,follow_up_end"$'\n'"$ok_row,2000-01-01"$'\n'
refused 'bad.csv:2: column "form": "V": the code is ambiguous for C-14 inhalation' "$header"$'\n'"A,1990-01-01,C-14,h,V,2000-01-01,,1"$'\n'
# "all" stands only for the whole list, as in a table run.
refused 'unknown region "all"' "$header"$'\n'"$ok_row"$'\n' --regions all,lung
refused 'bad.csv: the file is empty' ''
refused 'bad.csv:2: column "form": "12345678901": no such form for Cs-137 inhalation' "$header"$'\n'"A,1990-01-01,Cs-137,h,12345678901,2000-01-01,,1"$'\n'
# 25 bad rows: the first 20 listed, then how many more.
{ echo "$header"; for n in $(seq 25); do echo ",1990-01-01,Cs-137,h,F,2000-01-01,,$n"; done; } >bad.csv
status=0
"$batch" --intakes bad.csv --output-dir refused 2>err.txt >/dev/null || status=$?
{ [ "$status" = 2 ] && [ "$(grep -c '^quillmore-batch: bad.csv:[0-9]*: column "person": is empty$' err.txt)" = 20 ] &&
  grep -q '^quillmore-batch: bad.csv:21: ' err.txt && ! grep -q '^quillmore-batch: bad.csv:22: ' err.txt &&
  grep -qx 'quillmore-batch: bad.csv: 5 more bad rows not shown' err.txt &&
  grep -qx 'quillmore-batch: nothing written: 25 bad rows in bad.csv' err.txt; } ||
  fail "25 bad rows: $status $(cat err.txt)"
# A bad row in the file does not hide one that only the data show.
refused 'bad.csv:3: column "nuclide": no data are available for "Xx-1"' "$header"$'\n'"A,1990-01-01,Cs-137,h,F,2023-02-30,,1"$'\n'"A,1990-01-01,Xx-1,h,F,2000-01-01,,1"$'\n'
# A byte-order mark and CR LF line ends are read as any spreadsheet writes them.
printf '\xef\xbb\xbf%s\r\n%s\r\n' "$header" "$ok_row" >bom.csv
"$batch" --intakes bom.csv -q --output-dir bom || fail "a file with a byte-order mark and CR LF is refused"

# Warnings (exit 1), the files still written: under the cubic tail, years that
# rest on a curve continued far past its data, and a block the tables do not
# integrate. Old's second intake stays within its data, whose years are
# unbounded all the same.
printf '%s\nOld,1880-01-01,Pu-239,h,M,1900-01-01,,1\nOld,1880-01-01,Cs-137,h,F,2290-01-01,,1\n' \
  "$header" >old.csv
status=0
"$batch" --intakes old.csv --until 2300 --regions lung --by-intake --tail cubic -q --output-dir old \
  2>err.txt || status=$?
{ [ "$status" = 1 ] && grep -q 'old.csv:2: Pu-239: .* on are marked unbounded' err.txt &&
  grep -q ',unbounded$' old/annual_doses.csv; } || fail "no unbounded warning: $status $(cat err.txt)"
parts_add_up old/annual_doses_by_intake.csv old/annual_doses.csv ||
  fail "Old's years are not the worst of its intakes'"
first=$(awk -F, '$3 == 2 && $NF == "unbounded" { print $11; exit }' old/annual_doses_by_intake.csv)
grep -q "old.csv:2: Pu-239: .* doses from $first on are marked unbounded" err.txt ||
  fail "the warning does not name $first, the first year marked unbounded: $(cat err.txt)"
grep -q "old.csv:3: " err.txt && fail "a warning for an intake within its data: $(cat err.txt)"
grep -q '^Old,.*,2295,415,30,.*,unbounded$' old/annual_doses.csv && grep -q '^Old,.*,2295,415,30,.*,none$' old/annual_doses_by_intake.csv ||
  fail "no year where the intakes' statuses differ"
# 22 intakes with unbounded years: 20 warnings, then how many more.
{ echo "$header"; for n in $(seq 10 31); do echo "Old,1880-01-01,Pu-239,h,M,1900-01-$n,,1"; done; } >many.csv
status=0
"$batch" --intakes many.csv --until 2300 --regions lung --tail cubic -q --output-dir many 2>err.txt ||
  status=$?
{ [ "$status" = 1 ] && [ "$(grep -c ': Pu-239: .* on are marked unbounded' err.txt)" = 20 ] &&
  grep -qx 'quillmore-batch: warning: many.csv: 2 more intakes with doses marked unbounded not shown' err.txt &&
  [ "$(grep -c 'marked unbounded' many/quillmore-run.json)" = 21 ]; } ||
  fail "22 unbounded intakes: $status $(cat err.txt)"
cp -r DATA damaged
"$python" - damaged <<'PY'
import sys
folder = sys.argv[1]
index = open(f'{folder}/DoseInd.NDX', 'rb').read()
entries = [index[n * 25:n * 25 + 25] for n in range(len(index) // 25)]
start = next(int(e[15:23]) for e in entries if e[0:7] == b'Cs-137 ')
with open(f'{folder}/TQV27INH2.DRT', 'r+b') as f:  # the first block's LET letter
    f.seek((start - 1) * 301 + 34)
    assert f.read(1) in b'LH'
    f.seek((start - 1) * 301 + 34)
    f.write(b'X')
PY
printf '%s\nBaby,2000-01-01,Cs-137,h,1,2000-02-01,,1\n' "$header" >baby.csv
status=0
"$batch" --intakes baby.csv --data-dir damaged -q --output-dir baby 2>err.txt || status=$?
{ [ "$status" = 1 ] && grep -q 'baby.csv:2: Cs-137 form 1 .* LET letter is unknown.* contributes nothing' err.txt &&
  [ -s baby/annual_doses.csv ]; } || fail "no warning for a block left out: $status $(cat err.txt)"

# Uncertain intakes: three lognormal (U's Pu-239 in 2015, U's Cs-137 spread
# over the birthday at 7, so two parts of one draw, and T's Sr-90) and two
# exact (U's Cs-137 of 2015 with an empty GSD and its Pu-239 of 2016 with 1):
# every distribution against exact arithmetic, the JSON's the same as the
# CSV's, the file in the manifest, the sex in the JSON as written.
cat >uncertain.csv <<'CSV'
person,birth_date,nuclide,intake,form,start,end,activity_bq,activity_gsd,sex
U,2010-06-15,Pu-239,h,M,2015-03-01,,200,2.5,F
U,2010-06-15,Cs-137,g,1,2015-09-01,,1000,,f
U,2010-06-15,Cs-137,h,F,2016-01-01,2018-01-01,500,1.8,female
U,2010-06-15,Pu-239,h,M,2016-05-01,,50,1,F
T,1980-01-01,Sr-90,g,1,2000-01-01,,3000,3.0,
CSV
status=0
"$batch" --intakes uncertain.csv --until 2030 --regions lung,liver --format csv,json -q \
  --output-dir uncertain 2>err.txt || status=$?
if [ "$status" = 0 ]; then
  "$python" "$here/annual_doses_exact.py" DATA uncertain.csv uncertain/annual_doses.csv 2030 ||
    fail "doses at the median activities differ from the exact values"
  "$python" "$here/annual_dose_distributions_exact.py" DATA uncertain.csv \
    uncertain/annual_doses.csv uncertain/annual_dose_distributions.csv 2030 ||
    fail "dose distributions differ from the exact values"
  "$python" - uncertain <<'PY' || fail "the distributions in the JSON or the manifest are wrong"
import csv, json, math, sys
out = sys.argv[1]
rows = list(csv.DictReader(open(f'{out}/annual_dose_distributions.csv')))
persons = json.load(open(f'{out}/annual_doses.json'))['persons']
manifest = json.load(open(f'{out}/quillmore-run.json'))
bad = []
if 'annual_dose_distributions.csv' not in json.dumps(manifest):
    bad.append('not in the manifest')
if [p.get('sex') for p in persons] != ['female', None]:
    bad.append(f"sexes {[p.get('sex') for p in persons]}")
at = 0
for p in persons:
    for y, year in enumerate(p['years']):
        for region in p['regions']:
            for let in ('low', 'high'):
                r = rows[at]
                at += 1
                d = region['distributions'][let]
                for key in ('mean_gy', 'sd_gy', 'gm_gy', 'gsd'):
                    want = float(r[key]) if r[key] else None
                    if d[key][y] != want:
                        bad.append(f"{p['person']} {year} {region['region']} {let} {key}: {d[key][y]} {want}")
bad += ['rows left'] if at != len(rows) else []
print('\n'.join(bad[:10]))
sys.exit(1 if bad else 0)
PY
else
  fail "uncertain intakes: exit $status $(cat err.txt)"
fi
# Compressed as the other CSV files, to the same bytes; only with the CSV format.
"$batch" --intakes uncertain.csv --until 2030 --regions lung,liver --compress gzip -q \
  --output-dir uncertain-gz 2>/dev/null || fail "uncertain intakes, gzip: refused"
gzip -dc uncertain-gz/annual_dose_distributions.csv.gz | cmp -s - uncertain/annual_dose_distributions.csv ||
  fail "the gzip distributions differ"
"$batch" --intakes uncertain.csv --until 2030 --regions lung,liver --format json -q \
  --output-dir uncertain-json 2>/dev/null || fail "uncertain intakes, json: refused"
[ -e uncertain-json/annual_dose_distributions.csv ] && fail "distributions CSV written with --format json"
# Without the column no distributions; a bad GSD or sex is a bad row.
[ -e out/annual_dose_distributions.csv ] && fail "distributions written without activity_gsd"
printf '%s\n%s\n' 'person,birth_date,nuclide,intake,form,start,end,activity_bq,activity_gsd,sex' \
  'U,2010-06-15,Pu-239,h,M,2015-03-01,,200,0.5,X' >badgsd.csv
status=0
"$batch" --intakes badgsd.csv -q --output-dir badgsd 2>err.txt || status=$?
{ [ "$status" = 2 ] && grep -q 'badgsd.csv:2: column "activity_gsd": "0.5" is not a geometric standard deviation' err.txt &&
  grep -q 'badgsd.csv:2: column "sex": "X" is neither female' err.txt && [ ! -e badgsd ]; } ||
  fail "a bad GSD or sex: $status $(cat err.txt)"

[ "$failures" = 0 ] && echo "intake histories: all checks passed"
exit "$failures"
