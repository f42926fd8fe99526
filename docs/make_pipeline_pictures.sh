#!/usr/bin/env bash
# The pictures of the README's "In a compositing pipeline": a flare-only pass
# (docs/pipeline_flare_only.png) and a light keyed by tracking data, five of its
# frames laid over one another (docs/pipeline_tracked.png).
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
