#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the built-in
# default: the default lens rendered over the built-in frame into flare.png.
source "$(dirname "$0")/common.sh"
install_packages
build_release
cd "$ROOT"
"$BUILD/cli/glarewright" render -o flare.png
echo "Wrote $ROOT/flare.png"
