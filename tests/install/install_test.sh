#!/bin/bash
# cmake --install into a temporary prefix, then the installed files used as a
# user would: stripped programs, manual pages that man renders without
# warnings, bash completion from the prefix, quillmore-batch run from another
# folder. Argument: the build folder.
set -u
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log"; echo "FAIL: cmake --install"; exit 1; }

for program in quillmore quillmore-batch quillmore-sample-data; do
  binary="$prefix/bin/$program"
  [ -x "$binary" ] || { fail "$program not installed"; continue; }
  readelf -S "$binary" | grep -qE '\.symtab|\.debug_info' && fail "$program is not stripped"
done

# Every page renders, without a warning from man or groff.
pages=(man1/quillmore.1 man1/quillmore-batch.1 man1/quillmore-sample-data.1
       man5/quillmore-data.5)
for page in "${pages[@]}"; do
  file="$prefix/share/man/$page.gz"
  [ -s "$file" ] || { fail "$page not installed"; continue; }
  MANWIDTH=80 man --warnings=w -l "$file" >"$tmp/page.txt" 2>"$tmp/warnings.txt" ||
    fail "man -l $page failed"
  [ -s "$tmp/warnings.txt" ] && fail "$page: $(cat "$tmp/warnings.txt")"
  grep -q '^NAME' "$tmp/page.txt" || fail "$page has no NAME section"
done
# The pages come from --help: every option it lists is in the page.
for program in quillmore quillmore-batch quillmore-sample-data; do
  MANWIDTH=200 man -l "$prefix/share/man/man1/$program.1.gz" >"$tmp/page.txt" 2>/dev/null
  for option in $("$prefix/bin/$program" --help | grep -oE -- '--[a-z-]+'); do
    grep -q -- "$option" "$tmp/page.txt" || fail "$program(1) leaves out $option"
  done
done
for doc in README.md formats.md; do
  [ -s "$prefix/share/doc/quillmore/$doc" ] || fail "$doc not installed"
done

# A working folder elsewhere, with sample data made by the installed program.
work="$tmp/work"
mkdir "$work"
cd "$work" || exit 1
export PATH="$prefix/bin:$PATH"
quillmore-sample-data --out DATA >/dev/null || fail "quillmore-sample-data"
quillmore-batch --data-set h --ages 10y --regions "1,R Marrow" tc-99m >"$tmp/out" 2>&1 ||
  fail "installed quillmore-batch: $(cat "$tmp/out")"
[ -s OUTPUT/Tc-99m_3650_H.TXT ] || fail "installed quillmore-batch wrote no table"

# The Python module, where Debian's python3 looks under this prefix
# (/usr/local/lib/python3.X/dist-packages for the default prefix), imported
# from this other folder and used on the sample data.
if [ -d "$build/python/quillmore" ]; then
  site=$(/usr/bin/python3 -c 'import sys; print("lib/python%d.%d/dist-packages" % sys.version_info[:2])')
  /usr/bin/python3 -c 'import sys; sys.exit("/usr/local/'"$site"'" not in sys.path)' ||
    fail "Debian's python3 does not look in /usr/local/$site"
  ls "$prefix/$site"/quillmore/_core.*.so >/dev/null 2>&1 || fail "no module in $prefix/$site"
  PYTHONPATH="$prefix/$site" /usr/bin/python3 -c '
import quillmore as qm
assert qm.__file__.startswith("'"$prefix"'"), qm.__file__
frame = qm.open(data_set="h").coefficients("Tc-99m", ages="10y", regions="1")
assert len(frame) > 0 and frame.nuclide[0] == "Tc-99m"' >"$tmp/out" 2>&1 ||
    fail "installed Python module: $(cat "$tmp/out")"
fi

# Completion: found by bash-completion under the prefix, as `bash` loads it on
# first use. Prints the candidates for the words given (the last one is
# being completed).
complete_words() {
  XDG_DATA_DIRS="$prefix/share" bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    __load_completion quillmore-batch || { echo "no completion found"; exit 1; }
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    $(complete -p quillmore-batch | sed -E "s/.* -F ([^ ]+) .*/\1/") \
      quillmore-batch "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort' completion "$@"
}
expect_completion() {  # expected candidates (one a line), then the words
  local expected=$1
  shift
  local got
  got=$(complete_words "$@")
  [ "$got" = "$expected" ] || fail "completing '$*' gave '$got', expected '$expected'"
}
expect_completion $'ingestion\ninhalation' quillmore-batch --data-set ""
expect_completion 'inhalation' quillmore-batch --data-set in --data-set=inh
expect_completion 'R\ Marrow' quillmore-batch --data-set h --regions "r m"
expect_completion $'1,R\\ Marrow\n1,Rest\\ Body' quillmore-batch --regions "1,R"
expect_completion $'Lung BB\nLung bb' quillmore-batch --regions '"Lung b'
# A person's figure takes at most 8 regions: "all" is not offered for it.
expect_completion 'all' quillmore-batch --intakes i.csv --regions al
expect_completion '' quillmore-batch --intakes i.csv --figures svg --regions al
expect_completion '10y' quillmore-batch --ages 10
expect_completion $'txt,csv\ntxt,json\ntxt,risk' quillmore-batch --format txt,
expect_completion 'Tc-99m' quillmore-batch --data-set g tc
expect_completion '--list-nuclides' quillmore-batch --list-n
expect_completion $'svg,pdf\nsvg,png' quillmore-batch --figures svg,
expect_completion 'nuclides' quillmore-batch --compare n
expect_completion $'--figure-size\n--figures' quillmore-batch --fig
# The data folder named on the line is the one listed.
mv DATA ELSEWHERE
expect_completion $'Am-241\nAm-242m' quillmore-batch --data-dir ELSEWHERE --data-set g am-24
expect_completion '' quillmore-batch --data-set g am-24

[ "$failures" -eq 0 ] && echo "install_test: all passed"
exit "$failures"
