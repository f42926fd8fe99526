#!/usr/bin/env bash
# Renders every one-element lens of docs/gallery/lenses/ through the program
# (full edition, over a black 640x360 frame, light at 192,108) into docs/gallery/,
# and the default flare into docs/flare.png.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
GW="${GLAREWRIGHT:-$ROOT/build/cli/glarewright}"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
oiiotool --pattern constant:color=0,0,0 640x360 3 -d uint8 -o "$TMP/black.png"
for json in "$ROOT"/docs/gallery/lenses/*.json; do
  name="$(basename "$json" .json)"
  "$GW" lens import "$json" -o "$TMP/$name.gwr"
  "$GW" render "$TMP/black.png" --light 192,108 --lens "$TMP/$name.gwr" -q \
    -o "$ROOT/docs/gallery/$name.png"
done
"$GW" render --size 960x540 -q -o "$ROOT/docs/flare.png"
