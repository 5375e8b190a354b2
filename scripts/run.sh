#!/usr/bin/env bash
# Builds the release and runs the main job: the setup wizard. On a desktop (DISPLAY or
# WAYLAND_DISPLAY set) it starts VelmoraSetup; without one it walks the wizard under a
# virtual X server with wizard-tour, every system folder staged below a fresh folder, and
# prints the pictures it took and the files it installed.
set -euo pipefail
cd "$(dirname "$0")/.."
# Cached objects are keyed on paths relative to the tree, so any clone reuses them.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=5G
bash scripts/setup.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build/run
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/run/installer/wizard/app/VelmoraSetup
fi
stage=$(mktemp -d /tmp/velmora-tour.XXXXXX)
xvfb-run -a -s "-screen 0 1024x768x24" build/run/tools/wizard-tour/wizard-tour --out "$stage"
