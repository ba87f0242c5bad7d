#!/usr/bin/env bash
# The golden tables recomputed by the independent Python checker from a freshly
# generated sample data set. Usage: golden_verify_test.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: golden_verify_test.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x /usr/bin/python3 ]; then
  echo "/usr/bin/python3 not found: golden tables not recomputed (skipped)"
  exit 0
fi
exec /usr/bin/python3 "$here/golden/verify_row_group.py" --sample-data "$build/tools/quillmore-sample-data"
