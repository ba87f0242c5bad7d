#!/usr/bin/env bash
# quillmore in a real terminal: in a workspace made by the sample-data program,
# the start screen shows, one nuclide is walked through by keyboard only, its
# file is written (the same bytes as quillmore-batch writes) and an empty
# answer ends the program with the terminal restored and status 0. A list box
# closed without a choice ends it with 1, missing data with 2. Without a usable
# terminal it ends at once with a message; --help and --version answer without
# taking the terminal over.
# Usage: bash quillmore_tmux_test.sh BUILD_DIR
set -euo pipefail

build_dir=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
program="$build_dir/src/quillmore"
batch="$build_dir/src/quillmore-batch"
sample_data="$build_dir/tools/quillmore-sample-data"
if ! command -v tmux >/dev/null 2>&1; then
  echo "SKIP: tmux is not installed"
  exit 0
fi
for binary in "$program" "$batch" "$sample_data"; do
  [[ -x "$binary" ]] || { echo "FAIL: $binary not built"; exit 1; }
done

tmux_() { tmux -L "qm$$" -f /dev/null "$@"; }
workspace=$(mktemp -d)
trap 'tmux_ kill-server >/dev/null 2>&1 || true; rm -rf "$workspace"' EXIT

# The session the helpers below look at.
target=app

fail() {
  echo "FAIL: $*"
  echo "--- screen:"
  tmux_ capture-pane -p -t "$target" || true
  exit 1
}

screen() { tmux_ capture-pane -p -t "$target"; }

# Polls the pane until `text` shows (about 5 s at most).
wait_for() {
  for _ in $(seq 100); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.05
  done
  fail "no '$1' on the screen"
}

# Polls the pane and the lines scrolled off its top until a line matches the
# extended regular expression $1.
wait_printed() {
  for _ in $(seq 100); do
    tmux_ capture-pane -p -S - -t "$target" | grep -qE -- "$1" && return 0
    sleep 0.05
  done
  fail "nothing printed matches '$1'"
}

# Polls the pane until `text` has gone.
wait_gone() {
  for _ in $(seq 100); do
    screen | grep -qF -- "$1" || return 0
    sleep 0.05
  done
  fail "'$1' stays on the screen"
}

"$sample_data" --out "$workspace/DATA" >/dev/null
mkdir "$workspace/run"
mv "$workspace/DATA" "$workspace/run/DATA"

# The shell in the pane writes the program's exit status to a file; the pane
# is exactly the program's 80 x 28 screen.
exit_file="$workspace/exit_status"
tmux_ new-session -d -x 80 -y 28 -s app \
  "cd '$workspace/run' && env TERM=xterm-256color LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 '$program'; echo \$? >'$exit_file'" \
  \; set-option -g remain-on-exit on </dev/null

wait_for "to continue..."
[[ "$(tmux_ display -p -t app '#{pane_title}')" == "Quillmore  Ver. 1.2" ]] || fail "window title"
expected_start=$(cat "$(dirname "$0")/golden/start_screen.txt")
[[ "$(screen | sed 's/ *$//')" == "$expected_start" ]] || fail "start screen differs"
# Bright white on blue, the pause in yellow (tmux shows only changes of colour).
colours=$(tmux_ capture-pane -p -e -t app)
grep -qF $'\e[44m' <<<"$colours" || fail "no blue background"
sed -n 5p <<<"$colours" | grep -qF $'\e[97mQuillmore computes' || fail "text not bright white"
sed -n 27p <<<"$colours" | grep -qF $'\e[93m Press a key' || fail "pause not yellow"

tmux_ send-keys -t app Enter
wait_for "Select Data Set to Process"
tmux_ send-keys -t app Enter
wait_for "Select Age Groups"
# Too small a terminal gets the console layer's notice until it grows again;
# keys pressed meanwhile are dropped, not applied to the hidden box. The
# second size shows once the keys before it have been read.
tmux_ resize-window -t app -x 70 -y 28
wait_for "Enlarge the terminal to at least 80 x 28"
tmux_ send-keys -t app Down Space
tmux_ resize-window -t app -x 75 -y 28
wait_for "(now 75 x 28)"
tmux_ resize-window -t app -x 80 -y 28
wait_for "Select Age Groups"
screen | grep -qF "[ ] 1 y-old" || fail "keys acted on the hidden box"
tmux_ send-keys -t app Down Down Down Space Enter # 10 y-old
wait_for "Select Target Regions"
tmux_ send-keys -t app End Up Space Enter # Lung
wait_for "Enter Nuclide"
[[ "$(screen | sed -n 7p)" == " # Ages selected: 1"* ]] || fail "age count"
[[ "$(screen | sed -n 9p)" == " # Organs/Tissues selected: 1"* ]] || fail "region count"

# One age group: the viewer opens at once, frozen after 3 rows and 17 columns.
tmux_ send-keys -t app -l 'tc-99m'
tmux_ send-keys -t app Enter
wait_for "Tc-99m_3650_H.TXT  Row 4/"
screen | grep -qF "Col 18 " || fail "viewer columns"
tmux_ send-keys -t app q
wait_for "to continue...."
[[ "$(screen | sed -n 17p)" == "         Tc-99m_3650_H.TXT        10 y-old"* ]] || fail "file list"
tmux_ send-keys -t app Space
wait_gone "to continue...."
wait_for "Enter Nuclide"

# An empty answer ends the program; the terminal is itself again.
tmux_ send-keys -t app Enter
for _ in $(seq 100); do
  [[ -s "$exit_file" ]] && break
  sleep 0.05
done
[[ "$(cat "$exit_file")" == 0 ]] || fail "exit status '$(cat "$exit_file")'"
for _ in $(seq 100); do
  [[ "$(tmux_ display -p -t app '#{pane_dead}')" == 1 ]] && break
  sleep 0.05
done
[[ "$(tmux_ display -p -t app '#{alternate_on} #{mouse_any_flag}')" == "0 0" ]] ||
  fail "terminal not restored"

[[ "$(ls "$workspace/run/OUTPUT")" == "Tc-99m_3650_H.TXT" ]] || fail "files written: $(ls "$workspace/run/OUTPUT")"
"$batch" --quiet --data-set inhalation --data-dir "$workspace/run/DATA" \
  --output-dir "$workspace/batch" --ages 4 --regions 30 Tc-99m
cmp "$workspace/run/OUTPUT/Tc-99m_3650_H.TXT" "$workspace/batch/Tc-99m_3650_H.TXT" ||
  fail "quillmore and quillmore-batch wrote different bytes"
# Without a terminal, or with a terminal type the library does not know, the
# program says so and ends with status 2 before touching anything.
set +e
message=$(cd "$workspace/run" && ASAN_OPTIONS=detect_leaks=0 "$program" </dev/null 2>&1)
status=$?
set -e
[[ $status == 2 && "$message" == *"needs a terminal"*"quillmore-batch"* ]] ||
  fail "no-terminal run: status $status, '$message'"
: >"$exit_file"
tmux_ new-session -d -x 80 -y 28 -s unknown \
  "cd '$workspace/run' && env TERM=no-such-terminal ASAN_OPTIONS=detect_leaks=0 '$program' 2>'$workspace/err'; echo \$? >'$exit_file'" </dev/null
for _ in $(seq 100); do
  [[ -s "$exit_file" ]] && break
  sleep 0.05
done
[[ "$(cat "$exit_file")" == 2 ]] || fail "unknown terminal type: status '$(cat "$exit_file")'"
grep -qF "terminal type is unknown" "$workspace/err" || fail "unknown terminal type: '$(cat "$workspace/err")'"

# Runs the program with arguments $3... in folder $2 as session $1, which the
# helpers then look at; exit_status waits for its status.
start() {
  target=$1
  : >"$exit_file"
  tmux_ new-session -d -x 80 -y 28 -s "$1" \
    "cd '$2' && env TERM=xterm-256color ASAN_OPTIONS=detect_leaks=0 '$program' ${*:3}; echo \$? >'$exit_file'" </dev/null
}
exit_status() {
  for _ in $(seq 100); do
    [[ -s "$exit_file" ]] && break
    sleep 0.05
  done
  cat "$exit_file"
}

start options "$workspace/run" --version
[[ "$(exit_status)" == 0 ]] || fail "--version: status '$(cat "$exit_file")'"
wait_printed '^quillmore [0-9]+\.[0-9]+'
start usage "$workspace/run" --help
[[ "$(exit_status)" == 0 ]] || fail "--help: status '$(cat "$exit_file")'"
wait_printed '^Usage: quillmore \[--help \| --version\]$'

# The data-set box closed without a choice: status 1.
start aborted "$workspace/run"
wait_for "to continue..."
tmux_ send-keys -t aborted Enter
wait_for "Select Data Set to Process"
tmux_ send-keys -t aborted Escape
wait_for "to abort...."
tmux_ send-keys -t aborted Enter
[[ "$(exit_status)" == 1 ]] || fail "aborted: status '$(cat "$exit_file")'"

# No DATA folder: status 2 after the message.
mkdir "$workspace/empty"
start missing "$workspace/empty"
wait_for "to continue..."
tmux_ send-keys -t missing Enter
wait_for " Unable to locate the folder DATA."
tmux_ send-keys -t missing Enter
[[ "$(exit_status)" == 2 ]] || fail "no DATA: status '$(cat "$exit_file")'"
echo "PASS"
