#!/usr/bin/env bash
# cmake --install lays out the OpenFX bundle where applications look, under
# the prefix: OFX/Plugins/Glarewright.ofx.bundle with the binary and icons,
# and the Lens Editor's program beside the binary where it is built (the
# second argument is 1).
set -euo pipefail
build="$1"
editor="${2:-0}"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --component ofx --prefix "$prefix" > /dev/null
bundle="$prefix/OFX/Plugins/Glarewright.ofx.bundle/Contents"
test -s "$bundle/Linux-x86-64/Glarewright.ofx"
for id in Glarewright GlarewrightShowcase GlarewrightQuick; do
  test -s "$bundle/Resources/org.glarewright.$id.png"
done
if [ "$editor" = 1 ]; then
  test -x "$bundle/Linux-x86-64/glarewright-edit"
fi
# Nothing else in the component.
count="$(find "$prefix" -type f | wc -l)"
test "$count" -eq $((4 + editor))
echo "bundle installed whole"
