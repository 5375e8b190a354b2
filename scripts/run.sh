#!/usr/bin/env bash
# Builds the release and runs the main job on the embedded default payload: extracts it,
# with progress, into a fresh folder and lists what was written.
set -euo pipefail
cd "$(dirname "$0")/.."
# Cached objects are keyed on paths relative to the tree, so any clone reuses them.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=5G
bash scripts/setup.sh
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build/run
target=$(mktemp -d /tmp/velmora-install.XXXXXX)
build/run/tools/payload-tool/payload-tool extract build/run/assets/payload/RESOURCES "$target/"
echo "written below $target:"
find "$target" -type f -printf '%10s  %P\n' | sort -k2
