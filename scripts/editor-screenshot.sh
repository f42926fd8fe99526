#!/usr/bin/env bash
# A picture of the Lens Editor with the default lens, taken in a virtual X
# display: scripts/editor-screenshot.sh OUT.png [glarewright program]
set -euo pipefail
out="$1"
program="${2:-$(dirname "$0")/../build/cli/glarewright}"
command -v xvfb-run > /dev/null || { echo "xvfb-run is not installed: no picture"; exit 77; }
mkdir -p "$(dirname "$out")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
XDG_RUNTIME_DIR="$work" xvfb-run -a -s "-screen 0 1024x768x24" \
  "$program" edit "$work/lens.gwr" --screenshot "$out"
test -s "$out"
echo "Wrote $out"
