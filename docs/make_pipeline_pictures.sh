#!/usr/bin/env bash
# The pictures of the README's "In a compositing pipeline": a flare-only pass
# (docs/pipeline_flare_only.png), a light keyed by tracking data, five of its
# frames laid over one another (docs/pipeline_tracked.png), and a cropped
# plate's render over the whole plate's (docs/pipeline_crop.png; oiiotool,
# from openimageio-tools, crops and lays them out).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
GW="${GLAREWRIGHT:-$ROOT/build/cli/glarewright}"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

# The flare alone on transparent black, premultiplied: ready for over, screen or add.
"$GW" render --size 640x360 --light 30%,35% --flare-only -q -o "$ROOT/docs/pipeline_flare_only.png"

# A tracker's export, y counted from the bottom of the frame.
cat > "$TMP/track.txt" <<'TRACK'
# frame  x    y
0        90   280
10       250  210
20       400  230
30       560  120
TRACK
# Each frame's flare is screened over the picture so far: five frames in one.
"$GW" render --size 640x360 --frames 0 --light-track "$TMP/track.txt" \
  --track-origin bottom-left --brightness 45 -q -o "$TMP/step.png"
for frame in 5 15 25 30; do
  "$GW" render "$TMP/step.png" --frames "$frame" --light-track "$TMP/track.txt" \
    --track-origin bottom-left --brightness 45 -q -o "$TMP/next.png"
  mv "$TMP/next.png" "$TMP/step.png"
done
cp "$TMP/step.png" "$ROOT/docs/pipeline_tracked.png"

# A plate and its crop (a data window inside the display window), each
# rendered with the light at the same place: the crop's render, at full
# strength, lies exactly on the whole plate's, dimmed around it.
"$GW" render --size 640x360 --brightness 0 --depth half -q -o "$TMP/plate.exr"
oiiotool "$TMP/plate.exr" --crop 380x220+120+70 -o "$TMP/crop.exr"
"$GW" render "$TMP/plate.exr" --light 30%,35% -q -o "$TMP/plate_flare.exr"
"$GW" render "$TMP/crop.exr" --light 30%,35% -q -o "$TMP/crop_flare.exr"
oiiotool "$TMP/crop_flare.exr" "$TMP/plate_flare.exr" --mulc 0.3 --paste +0+0 -d uint8 \
  -o "$ROOT/docs/pipeline_crop.png"
