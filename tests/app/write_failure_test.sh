#!/usr/bin/env bash
# Writes that fail after a file was opened: a file-size limit reached in the
# middle of a table (SIGXFSZ ignored, so write() returns EFBIG), and a close()
# that reports a lost write (the close_failure shim, loaded with LD_PRELOAD).
# Each must end in exit status 2 and a message naming the file.
# Usage: write_failure_test.sh BUILD_DIR
set -u
build=$(cd "${1:?usage: write_failure_test.sh BUILD_DIR}" && pwd)
batch=$build/src/quillmore-batch
shim=$build/tests/libquillmore_close_failure.so
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cd "$tmp" || exit 1
"$build/tools/quillmore-sample-data" --out DATA >/dev/null || { echo "FAIL: sample data"; exit 1; }

# expect_failure WHAT FILE_PATTERN COMMAND...: exit 2 and "Cannot ... FILE".
expect_failure() {
  local what=$1 pattern=$2
  shift 2
  rm -rf OUTPUT
  "$@" >out.txt 2>err.txt
  local status=$?
  [ "$status" -eq 2 ] || fail "$what: exit status $status, not 2"
  grep -qE "^quillmore-batch: Cannot (write|close) OUTPUT/$pattern: " err.txt ||
    fail "$what: no message naming $pattern: $(cat err.txt)"
  grep -q "Wrote" out.txt && fail "$what: reported as written: $(cat out.txt)"
}

# With the Lung alone the headings fit in the 1 KiB limit and the rows do not.
for format in txt csv json; do
  expect_failure "$format past the size limit" "Pu-239_.*" \
    bash -c "trap '' XFSZ; ulimit -f 1; exec \"\$0\" --data-set h --regions lung --format $format Pu-239" "$batch"
done
[ -f "$shim" ] || { echo "FAIL: no $shim"; exit 1; }
for suffix in _H.TXT _H.csv _H.json _H_curves.csv quillmore-run.json; do
  expect_failure "close of *$suffix" ".*$suffix" env LD_PRELOAD="$shim" \
    QUILLMORE_FAIL_CLOSE_SUFFIX="$suffix" "$batch" --data-set h --format txt,csv,json --curves Tc-99m
done
printf '%s\n' person,birth_date,nuclide,intake,form,start,end,activity_bq \
  A,1990-01-01,Cs-137,h,F,2000-01-01,2000-03-01,1 >intakes.csv
for suffix in annual_doses.csv annual_doses_by_intake.csv annual_doses_by_nuclide.csv \
  annual_doses.json quillmore-run.json; do
  expect_failure "close of $suffix of an intake history" "$suffix" env LD_PRELOAD="$shim" \
    QUILLMORE_FAIL_CLOSE_SUFFIX="$suffix" "$batch" --intakes intakes.csv --until 2001 \
    --by intake,nuclide --format csv,json
done
expect_failure "close of a gzip file" "annual_doses.csv.gz" env LD_PRELOAD="$shim" \
  QUILLMORE_FAIL_CLOSE_SUFFIX=annual_doses.csv.gz "$batch" --intakes intakes.csv --until 2001 \
  --compress gzip

[ "$failures" -eq 0 ] && echo "write_failure_test: all passed"
exit "$failures"
