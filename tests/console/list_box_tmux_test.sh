#!/usr/bin/env bash
# The console layer in a real terminal: the demo program under tmux shows the
# blue 80 x 28 screen centred in a 100 x 30 terminal, and its list boxes,
# driven by keys and one Ctrl+click, return the right results.
# Usage: bash list_box_tmux_test.sh BUILD_DIR
set -euo pipefail

build_dir=${1:?usage: $0 BUILD_DIR}
demo="$build_dir/tools/quillmore-console-demo"
if ! command -v tmux >/dev/null 2>&1; then
  echo "SKIP: tmux is not installed"
  exit 0
fi
[[ -x "$demo" ]] || { echo "FAIL: $demo not built"; exit 1; }

tmux_() { tmux -L "qm$$" -f /dev/null "$@"; }
trap 'tmux_ kill-server >/dev/null 2>&1 || true' EXIT

session=app # the tmux session that wait_for and fail look at

fail() {
  echo "FAIL: $*"
  echo "--- screen of $session:"
  tmux_ capture-pane -p -t "$session" || true
  exit 1
}

# Polls the pane until `text` shows (about 5 s at most).
wait_for() {
  local text=$1
  for _ in $(seq 100); do
    tmux_ capture-pane -p -t "$session" | grep -qF -- "$text" && return 0
    sleep 0.05
  done
  fail "no '$text' on the screen"
}

# A wide table for the viewer: a row label of 9 characters, blocks of 19.
table=$(mktemp)
exit_file=$(mktemp)
trap 'tmux_ kill-server >/dev/null 2>&1 || true; rm -f "$table" "$exit_file"' EXIT
{
  printf 'Label    '; for b in 1 2 3 4 5 6 7 8; do printf '|Head%02d            ' "$b"; done; printf '\r\n'
  for r in $(seq 40); do
    printf '%-9s' "Row$r"; for b in 1 2 3 4 5 6 7 8; do printf '%-19s' "|B${b}R$r"; done; printf '\r\n'
  done
} >"$table"

# The shell in the pane writes the demo's exit status to $exit_file; with a
# second argument "exec" the demo replaces the shell (its pid is the pane's).
start_demo() {
  local run="env TERM=${demo_term:-xterm-256color} LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 '$demo' '$table'"
  if [[ ${2:-} == exec ]]; then
    run="exec $run"
  else
    : >"$exit_file"
    run="$run; echo \$? >'$exit_file'"
  fi
  tmux_ new-session -d -x 100 -y 30 -s "$1" "$run" \; set-option -g remain-on-exit on </dev/null
}

# Polls until the demo has ended and prints its exit status.
exit_status() {
  for _ in $(seq 100); do
    [[ -s "$exit_file" ]] && break
    sleep 0.05
  done
  cat "$exit_file"
}
start_demo app

wait_for "Select Target Regions"
[[ "$(tmux_ display -p -t app '#{pane_title}')" == "Console demo" ]] || fail "title not set"

# Too small a terminal gets a notice; the screen comes back when it grows.
tmux_ resize-window -t app -x 70 -y 30
wait_for "Enlarge the terminal to at least 80 x 28"
tmux_ resize-window -t app -x 100 -y 30
wait_for "Select Target Regions"

# Ctrl+C is an ordinary key: the box stays open.
tmux_ send-keys -t app C-c
tmux_ send-keys -t app Down Space Down Down Down Space
wait_for "[x] Region 5"

# Ctrl+click on Region 7 in SGR mouse reports; the release carries no Ctrl,
# as with terminals that drop it, so the Ctrl of the press must count. The
# press moves the highlight (the position shows 7/31) before the release is
# sent: curses loses a press that arrives in one read with its release.
line=$(tmux_ capture-pane -p -t app | grep -n -F "Region 7 " | cut -d: -f1)
[[ "$(tmux_ display -p -t app '#{mouse_sgr_flag}')" == 1 ]] || fail "SGR mouse reports not enabled"
column=30
sgr() { tmux_ send-keys -t app -H $(printf '\033[<%d;%d;%d%s' "$1" "$column" "$line" "$2" | od -An -tx1); }
sgr 16 M
wait_for " 7/31 "
sgr 0 m
wait_for "[x] Region 7"
tmux_ send-keys -t app Enter
wait_for "Marked: [2|5|7]"

wait_for "Select Data Set to Process"
tmux_ send-keys -t app Down Enter
wait_for "Chosen: [SECOND.DAT]"

wait_for "Type a line:"
tmux_ send-keys -t app -l 'tc-99m é'
tmux_ send-keys -t app BSpace Enter

# The viewer: first row and 9 columns frozen.
wait_for "Row 2/41  Col 10"
tmux_ send-keys -t app Right S-Right Down
wait_for "Row 3/41  Col 30"
# The viewer fills the pane; the block cut by Shift+Right stays apart.
[[ "$(tmux_ capture-pane -p -t app | sed -n 2p)" == "Row2     │B2R2 "* ]] || fail "viewer columns"
tmux_ send-keys -t app q
wait_for "to exit..."
wait_for "Typed: [tc-99m ]"

# The screen: rows 2 to 29 of the pane, columns 11 to 90.
screen=$(tmux_ capture-pane -p -t app)
[[ "$(sed -n 2p <<<"$screen")" == "          |left"*"right|" ]] || fail "top row not centred"
[[ "$(sed -n 2p <<<"$screen" | wc -L)" == 90 ]] || fail "top row does not end in column 90"
[[ "$(sed -n 29p <<<"$screen")" == "          |bottom" ]] || fail "bottom row not on pane row 29"
colours=$(tmux_ capture-pane -p -e -t app)
for row in 1 30; do
  ! sed -n "${row}p" <<<"$colours" | grep -qF $'\e[44m' || fail "blue outside the screen, row $row"
done
for row in $(seq 2 29); do
  text=$(sed -n "${row}p" <<<"$colours")
  [[ "$text" == *$'\e[44m'* ]] || fail "pane row $row is not blue"
  before_blue=$(sed -E $'s/\e\\[[0-9;]*m//g' <<<"${text%%$'\e[44m'*}")
  [[ "$before_blue" == "          " ]] || fail "pane row $row does not turn blue at column 11"
done

tmux_ send-keys -t app x
status=$(exit_status)
[[ "$status" == 0 ]] || fail "demo did not end with status 0 (status '$status')"

# An eight-colour terminal with X10 mouse reports (TERM=screen): the release
# never carries Ctrl, yet Ctrl+click adds Region 7 to the marked Region 1, and
# the blue area is bright white on blue.
session=x10
demo_term=screen start_demo x10
wait_for "Region 7 "
line=$(tmux_ capture-pane -p -t x10 | grep -n -F "Region 7 " | cut -d: -f1)
x10() { tmux_ send-keys -t x10 -H 1b 5b 4d "$(printf '%x' $((32 + $1)))" 3e "$(printf '%x' $((32 + line)))"; }
tmux_ send-keys -t x10 Space
x10 16 # Ctrl + left press in column 30 (0x3e = 32 + 30)
wait_for " 7/31 "
x10 3 # release, no button and no modifier in X10
tmux_ send-keys -t x10 Enter
wait_for "Marked: [1|7]"
tmux_ capture-pane -p -e -t x10 | sed -n 5p | grep -qF $'\e[1m\e[37m\e[44m' ||
  fail "no bright white on blue with eight colours"

# SIGTERM ends the program with the terminal restored: no alternate screen,
# no mouse reporting.
session=term
start_demo term exec
wait_for "Select Target Regions"
[[ "$(tmux_ display -p -t term '#{alternate_on} #{mouse_any_flag}')" == "1 1" ]] ||
  fail "demo did not take the terminal"
kill -TERM "$(tmux_ display -p -t term '#{pane_pid}')"
for _ in $(seq 100); do
  [[ "$(tmux_ display -p -t term '#{pane_dead}')" == 1 ]] && break
  sleep 0.05
done
[[ "$(tmux_ display -p -t term '#{pane_dead} #{alternate_on} #{mouse_any_flag}')" == "1 0 0" ]] ||
  fail "terminal not restored after SIGTERM"
echo "PASS"
