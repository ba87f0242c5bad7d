#!/usr/bin/env bash
# quillmore-batch --intakes end to end: every annual dose of a hand-built
# history against exact rational arithmetic, the sum of annual doses against
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
# time (36500 d) of both blocks.
cat >intakes.csv <<'CSV'
person,birth_date,nuclide,intake,form,start,end,activity_bq
A,1990-02-28,Cs-137,inhalation,F,2020-12-31,,1000
B,2016-02-29,Pu-239,h,M,2017-01-01,2019-03-01,100
A,1990-02-28,sr-90,g,1,2001-06-01,2010-03-01,5000
C,1900-01-01,Am-241,ingestion,5.0E-04,1925-06-30,,20
C,1900-01-01,Cs-137,g,1,1926-03-01,1929-01-01,400
B,2016-02-29,I-131,inhalation,1,2020-02-29,2020-03-01,3000
CSV
if "$batch" --intakes intakes.csv --regions lung,liver,29,1 --until 2035 --by-intake \
  --format csv,json -q --output-dir out; then
  "$python" "$here/annual_doses_exact.py" DATA intakes.csv out/annual_doses.csv 2035 ||
    fail "annual doses differ from the exact values"
  grep -q '"sha256"' out/annual_doses.json || fail "annual_doses.json lacks the provenance"
  "$python" - out/annual_doses_by_intake.csv out/annual_doses.csv <<'PY' || fail "the parts do not add up to the totals"
import csv, math, sys
parts = {}
for r in csv.DictReader(open(sys.argv[1])):
    parts.setdefault((r['person'], r['year'], r['region']), []).append(float(r['low_let_gy']))
totals = list(csv.DictReader(open(sys.argv[2])))
bad = [r for r in totals if abs(math.fsum(parts.get((r['person'], r['year'], r['region']), [0]))
                                - float(r['low_let_gy'])) > 1e-12 * abs(float(r['low_let_gy']))]
sys.exit(1 if bad or not parts else 0)
PY
else
  fail "the history run failed"
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
refused 'bad.csv:1: column "activity_bq" is missing' $'person,birth_date,nuclide,intake,form,start,end\nA,1990-01-01,Cs-137,h,F,2000-01-01,\n'
refused 'bad.csv:1: unknown column "dose"' "$header,dose"$'\n'"$ok_row,1"$'\n'
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
refused 'bad.csv:2: column "start": intake on 2000-01-01, after the last year reported, --until 1999' "$header"$'\n'"$ok_row"$'\n' --until 1999
refused 'bad.csv:2: column "form": "V": the code is ambiguous for C-14 inhalation' "$header"$'\n'"A,1990-01-01,C-14,h,V,2000-01-01,,1"$'\n'
# "all" stands only for the whole list, as in a table run.
refused 'unknown region "all"' "$header"$'\n'"$ok_row"$'\n' --regions all,lung
refused 'bad.csv: the file is empty' ''
# A bad row in the file does not hide one that only the data show.
refused 'bad.csv:3: column "nuclide": no data are available for "Xx-1"' "$header"$'\n'"A,1990-01-01,Cs-137,h,F,2023-02-30,,1"$'\n'"A,1990-01-01,Xx-1,h,F,2000-01-01,,1"$'\n'
# A byte-order mark and CR LF line ends are read as any spreadsheet writes them.
printf '\xef\xbb\xbf%s\r\n%s\r\n' "$header" "$ok_row" >bom.csv
"$batch" --intakes bom.csv -q --output-dir bom || fail "a file with a byte-order mark and CR LF is refused"

# Warnings (exit 1), the files still written: years that rest on a curve
# continued far past its data, and a block the tables do not integrate.
printf '%s\nOld,1880-01-01,Pu-239,h,M,1900-01-01,,1\n' "$header" >old.csv
status=0
"$batch" --intakes old.csv --until 2300 --regions lung -q --output-dir old 2>err.txt || status=$?
{ [ "$status" = 1 ] && grep -q 'old.csv:2: Pu-239: .* on are marked unbounded' err.txt &&
  grep -q ',unbounded$' old/annual_doses.csv; } || fail "no unbounded warning: $status $(cat err.txt)"
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

[ "$failures" = 0 ] && echo "intake histories: all checks passed"
exit "$failures"
