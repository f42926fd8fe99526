#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the built-in default.
source "$(dirname "$0")/common.sh"
install_packages
build_release
cd "$ROOT"
"$BUILD/cli/glarewright" lens new -o default.gwr
"$BUILD/cli/glarewright" lens show default.gwr
echo "Wrote $ROOT/default.gwr"
