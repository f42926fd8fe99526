#!/usr/bin/env bash
# Writes the seed files of fuzz/corpus/ with the program itself: lens files
# of 1, 50 and 100 elements (every element type in turn), their JSON forms,
# the stored sequence data of the largest for each edition, and Lens Editor
# sessions on small lenses. Run from the top of the repository after both
# builds (scripts/test.sh, then scripts/fuzz.sh):
#   fuzz/make_seeds.sh [build/cli/glarewright] [build-fuzz/fuzz/seeds]
set -euo pipefail
program="${1:-build/cli/glarewright}"
seeds="${2:-build-fuzz/fuzz/seeds}"
types=(GlowBall SpikeBall StarFilter PolySpread CircleSpread "Elliptical Caustic"
       "Star Caustic" FadedRing Stripe RandomFan PolySpikeBall PhotonSpikeBall
       "Aperture Reflection" "Chroma Hoop" "Single Poly" Disc Ellipse Sparkle "Chroma Fan")
lens_of() {  # lens_of COUNT FILE
  local file="$2"
  "$program" lens import /dev/stdin -o "$file" <<<'{"elements": []}'
  for ((i = 0; i < $1; ++i)); do
    "$program" lens add "$file" "${types[i % ${#types[@]}]}" >/dev/null
  done
}
mkdir -p fuzz/corpus/lens_file fuzz/corpus/lens_json
for count in 1 50 100; do
  lens_of "$count" "fuzz/corpus/lens_file/elements_$count.gwr"
done
for count in 1 50; do
  "$program" lens export "fuzz/corpus/lens_file/elements_$count.gwr" \
    -o "fuzz/corpus/lens_json/elements_$count.json"
done
# The choice byte: edition (0 full, 1 Showcase, 2 Quick), then the render
# path's bits (4 motion blur, 8 high quality, 16 half size, 32 a location layer).
mkdir -p fuzz/corpus/sequence_data
for choice in 0x08 0x25 0x1a; do
  "$seeds" sequence-data fuzz/corpus/lens_file/elements_100.gwr "$choice" \
    "fuzz/corpus/sequence_data/elements_100_${choice#0x}"
done
# Small lenses: the editor renders its preview whole after every change.
mkdir -p fuzz/corpus/editor
for lens in elements_1 default; do
  "$seeds" editor "fuzz/corpus/lens_file/$lens.gwr" "fuzz/corpus/editor/$lens"
done
