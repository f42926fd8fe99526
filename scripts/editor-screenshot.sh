#!/usr/bin/env bash
# Pictures of the Lens Editor at two window sizes, taken in a virtual X
# display: scripts/editor-screenshot.sh OUT_FOLDER [glarewright program]
# writes OUT_FOLDER/editor.png (the default lens, 1100 x 720) and
# OUT_FOLDER/editor-small.png (a preset, 860 x 600).
set -euo pipefail
out="$1"
program="${2:-$(dirname "$0")/../build/cli/glarewright}"
command -v xvfb-run > /dev/null || { echo "xvfb-run is not installed: no picture"; exit 77; }
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
shoot() {
  XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work" xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$program" edit "$work/lens.gwr" --screenshot "$1" --window-size "$2" "${@:3}"
  test -s "$1"
  echo "Wrote $1"
}
shoot "$out/editor.png" 1100x720
shoot "$out/editor-small.png" 860x600 --preset "Desert Sun"
