#!/usr/bin/env bash
# The picture of the README's "The OpenFX edition": the Showcase edition in
# our OpenFX host over a float plate, a flare on each lamp of its location
# layer, rendered as four tiles from four threads (docs/ofx_showcase.png).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${GW_BUILD:-$ROOT/build}"
"$BUILD/tests/render_ofx_png" \
  "$BUILD/plugins/Glarewright.ofx.bundle/Contents/Linux-x86-64/Glarewright.ofx" \
  "$ROOT/docs/ofx_showcase.png" 960 540
