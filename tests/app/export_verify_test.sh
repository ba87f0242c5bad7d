#!/usr/bin/env bash
# CSV, JSON and run manifest of quillmore-batch checked against its text
# tables, the independent exact computation and sha256sum.
# Usage: export_verify_test.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: export_verify_test.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x /usr/bin/python3 ]; then
  echo "/usr/bin/python3 not found: exports not checked (skipped)"
  exit 0
fi
exec /usr/bin/python3 "$here/golden/verify_export.py" "$build"
