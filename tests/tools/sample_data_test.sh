#!/bin/bash
# The quillmore-sample-data program from the command line: its usage errors,
# equal bytes for equal seeds, and data files kept unless --force. Argument:
# the build folder.
set -u
tool="$1/tools/quillmore-sample-data"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect_status() {  # expected status, then the arguments
  local expected=$1
  shift
  "$tool" "$@" >"$tmp/stdout" 2>"$tmp/stderr"
  local status=$?
  [ "$status" -eq "$expected" ] || fail "$* gave status $status, expected $expected"
}

expect_status 0 --help
grep -q -- "--nuclides" "$tmp/stdout" || fail "--help does not describe --nuclides"
expect_status 0 --version
grep -qx "quillmore-sample-data [0-9.]*" "$tmp/stdout" || fail "--version: $(cat "$tmp/stdout")"
expect_status 2
expect_status 2 --nuclides 5
expect_status 2 --out "$tmp/x" --nuclides 0
expect_status 2 --out "$tmp/x" --nuclides 12x
expect_status 2 --out "$tmp/x" --nuclides 9998
expect_status 2 --out "$tmp/x" --seed -1
expect_status 2 --out "$tmp/x" --colour blue
expect_status 2 --out
grep -q "Usage:" "$tmp/stderr" || fail "a usage error does not show the usage"
[ ! -e "$tmp/x" ] || fail "a usage error still wrote files"
touch "$tmp/file"
expect_status 1 --out "$tmp/file/sub"

files="DoseInd.NDX TQV27INH2.DRT TQV27ING2.DRT Quillmore.ini"
expect_status 0 --out "$tmp/a" --nuclides 40 --seed 9
expect_status 0 --out "$tmp/b" --nuclides 40 --seed 9
expect_status 0 --out "$tmp/c" --nuclides 40 --seed 10
for f in $files; do
  [ -s "$tmp/a/$f" ] || fail "$f missing or empty"
  cmp -s "$tmp/a/$f" "$tmp/b/$f" || fail "$f differs for the same seed"
done
cmp -s "$tmp/a/TQV27INH2.DRT" "$tmp/c/TQV27INH2.DRT" && fail "another seed gave the same rates"
[ "$(($(wc -l <"$tmp/a/DoseInd.NDX") - 2))" -eq 40 ] || fail "index does not list 40 nuclides"

# Data files already there (in any case) are kept unless --force is given.
expect_status 1 --out "$tmp/a" --nuclides 40 --seed 10
grep -q "DoseInd.NDX, TQV27INH2.DRT, TQV27ING2.DRT, Quillmore.ini" "$tmp/stderr" ||
  fail "refusal does not name the files: $(cat "$tmp/stderr")"
cmp -s "$tmp/a/TQV27INH2.DRT" "$tmp/b/TQV27INH2.DRT" || fail "a refused run changed the files"
mkdir "$tmp/d" && echo START >"$tmp/d/quillmore.ini"
expect_status 1 --out "$tmp/d"
[ ! -e "$tmp/d/DoseInd.NDX" ] || fail "a refused run wrote the index"
expect_status 0 --out "$tmp/a" --nuclides 40 --seed 10 --force
cmp -s "$tmp/a/TQV27INH2.DRT" "$tmp/c/TQV27INH2.DRT" || fail "--force did not replace the files"

[ "$failures" -eq 0 ] && echo "sample_data_test: all passed"
exit "$failures"
