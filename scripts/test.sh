#!/usr/bin/env bash
# Builds everything with AddressSanitizer + UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# Cached objects are keyed on paths relative to the tree, so any clone reuses them.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=5G
bash scripts/setup.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Asan -DVELMORA_WERROR=ON >/dev/null
cmake --build build/test
# Tests run as root here; none may change a folder that is not its own (see the script).
folders=$(mktemp)
trap 'rm -f "$folders"' EXIT
bash scripts/shared-folders.sh snapshot "$folders"
status=0
ctest --test-dir build/test --output-on-failure -j "$(nproc)" || status=$?
bash scripts/shared-folders.sh compare "$folders" || status=1
exit "$status"
