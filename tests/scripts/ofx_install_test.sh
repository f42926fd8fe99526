#!/usr/bin/env bash
# cmake --install lays out the OpenFX bundle where applications look, under
# the prefix: OFX/Plugins/Glarewright.ofx.bundle with the binary and icons.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --component ofx --prefix "$prefix" > /dev/null
bundle="$prefix/OFX/Plugins/Glarewright.ofx.bundle/Contents"
test -s "$bundle/Linux-x86-64/Glarewright.ofx"
for id in Glarewright GlarewrightShowcase GlarewrightQuick; do
  test -s "$bundle/Resources/org.glarewright.$id.png"
done
# Nothing else in the component.
count="$(find "$prefix" -type f | wc -l)"
test "$count" -eq 4
echo "bundle installed whole"
