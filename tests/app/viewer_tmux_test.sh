#!/usr/bin/env bash
# The table viewer and its plots in a real terminal: the viewer fills a large
# terminal (more regions in 160 x 45 than in 80 x 28), always shows its quit
# key, keeps a cut region apart from the time column; `g` draws the curves
# with labelled axes, `s` saves them as figures, a resize redraws them, `q`
# returns to the same place.
# Usage: bash viewer_tmux_test.sh BUILD_DIR
set -euo pipefail

build_dir=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
program="$build_dir/src/quillmore"
sample_data="$build_dir/tools/quillmore-sample-data"
if ! command -v tmux >/dev/null 2>&1; then
  echo "SKIP: tmux is not installed"
  exit 0
fi
for binary in "$program" "$sample_data"; do
  [[ -x "$binary" ]] || { echo "FAIL: $binary not built"; exit 1; }
done

tmux_() { tmux -L "qv$$" -f /dev/null "$@"; }
workspace=$(mktemp -d)
trap 'tmux_ kill-server >/dev/null 2>&1 || true; rm -rf "$workspace"' EXIT

fail() {
  echo "FAIL: $*"
  echo "--- screen:"
  tmux_ capture-pane -p -t app || true
  exit 1
}

screen() { tmux_ capture-pane -p -t app; }

# Polls until `command` succeeds (about 5 s at most).
wait_until() {
  for _ in $(seq 100); do
    eval "$1" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  fail "never: $1"
}
wait_for() { wait_until "screen | grep -qF -- '$1'"; }
# The status line is on the terminal's last row, whatever its size.
status_on_row() { wait_until "screen | sed -n '${1}p' | grep -qF -- '$2'"; }
# Region headings on the table's second row.
regions_shown() { screen | sed -n 3p | grep -o 'low      high' | wc -l; }

"$sample_data" --out "$workspace/run/DATA" >/dev/null
tmux_ new-session -d -x 160 -y 45 -s app \
  "cd '$workspace/run' && env TERM=xterm-256color LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 '$program'" </dev/null

wait_for "to continue..."
tmux_ send-keys -t app Enter
wait_for "Select Data Set to Process"
tmux_ send-keys -t app Enter
wait_for "Select Age Groups"
tmux_ send-keys -t app Down Down Down Space Enter # 10 y-old
wait_for "Select Target Regions"
tmux_ send-keys -t app End Space Enter # ALL ORGANS
wait_for "Enter Nuclide"
tmux_ send-keys -t app -l 'pu-239'
tmux_ send-keys -t app Enter

status_on_row 45 "Pu-239_3650_H.TXT  Row 4/"
screen | sed -n 45p | grep -qF "q quit" || fail "no quit key in 160 x 45"
wide=$(regions_shown)
tmux_ resize-window -t app -x 80 -y 28
status_on_row 28 "q quit"
narrow=$(regions_shown)
((wide > narrow && narrow >= 3)) || fail "regions shown: $wide in 160 x 45, $narrow in 80 x 28"

# Scrolled to the right end, the cut region stays apart from the time column.
for _ in $(seq 30); do tmux_ send-keys -t app Right; done
status_on_row 28 "Col 5"
screen | sed -n 4p | grep -qE '^Pu-239 F  1\.0E\+00( |│)' || fail "a column glued to the time column"
tmux_ send-keys -t app Home
tmux_ resize-window -t app -x 160 -y 45
status_on_row 45 "q quit"

# The plot of the marked region and form, and back to the same place.
tmux_ send-keys -t app Left Left Down
status_on_row 45 "q quit"
sleep 0.2
before=$(screen)
tmux_ send-keys -t app g
wait_for "time after intake (d)"
screen | grep -qF "Absorbed dose rate (Gy/Bq per day)" || fail "no rate axis title"
screen | grep -qF "Absorbed dose from intake (Gy/Bq)" || fail "no dose axis title"
screen | grep -qE '^1E-[0-9][0-9] ' || fail "no decade ticks"
screen | grep -qF "Pu-239  inhalation, class M  10 y-old" || fail "plot title"
# s saves the plot shown as figures and says where.
tmux_ send-keys -t app s
status_on_row 45 "Saved OUTPUT/Pu-239_H_3650_f2_r"
saved=$(screen | sed -n 45p | grep -oE 'Pu-239_H_3650_f2_r[0-9]+')
for ext in svg png; do
  [[ -s "$workspace/run/OUTPUT/$saved.$ext" ]] || fail "s wrote no $saved.$ext"
done
tmux_ resize-window -t app -x 100 -y 30
status_on_row 30 "q back"
screen | grep -qF "time after intake (d)" || fail "resize did not redraw the plot"
tmux_ resize-window -t app -x 160 -y 45
status_on_row 45 "q back"
tmux_ send-keys -t app q
status_on_row 45 "q quit"
sleep 0.2
[[ "$(screen)" == "$before" ]] || fail "not back at the same place"

tmux_ send-keys -t app q
wait_for "to continue...."
echo "PASS"
