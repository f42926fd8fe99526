#!/usr/bin/env bash
# The picture of the README's "In OpenFX applications": a flare rendered
# through the OpenFX edition (glarewright render --api ofx) over a
# scene-linear float plate whose sun is far brighter than white, then
# tone-mapped for the page (x / (1 + x), then sRGB) with oiiotool
# (docs/ofx_float_plate.png).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${GW_BUILD:-$ROOT/build}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

# A dusk sky over dark ground, scene-linear, with a sun of value 8.
oiiotool --pattern fill:top=0.08,0.12,0.35:bottom=1.6,0.7,0.25 960x540 3 \
         --fill:top=0.05,0.04,0.03:bottom=0.01,0.01,0.012 960x160+0+380 \
         --fill:color=8,6.5,4.5 34x34+646+264 -d float -o "$WORK/plate.exr"
"$BUILD/cli/glarewright" render --api ofx -q "$WORK/plate.exr" --preset "Warm Sunflare" \
    --light 663,281 -o "$WORK/flare.exr"
oiiotool "$WORK/flare.exr" --dup --addc 1,1,1 --div --colorconvert linear sRGB -d uint8 \
         -o "$ROOT/docs/ofx_float_plate.png"
