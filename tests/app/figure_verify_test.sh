#!/usr/bin/env bash
# quillmore-batch's figures read back: SVG markers through their metadata,
# the PNG decoded, the PDF through pdfinfo, a comparison of three age groups.
# Usage: figure_verify_test.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: figure_verify_test.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
for tool in /usr/bin/python3 pdfinfo; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool not found (make deps)"; exit 1; }
done
exec /usr/bin/python3 "$here/figures/verify_figures.py" "$build"
