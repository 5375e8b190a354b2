#!/usr/bin/env bash
# Builds a release upgrade-bench and payload-tool, packs the 91.6 MB benchmark tree and times
# an upgrade of it against the in-place upgrade (see bench/upgrade/UpgradeBench.cpp).
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
make_payload=${MAKE_PAYLOAD:-$repo/../shared/bench/make-payload.py}
# bench/run passes --no-build and its own tree; by hand, this builds build/bench.
build=${VELMORA_BENCH_BUILD:-$repo/build/bench}
if [ "${1:-}" = --no-build ]; then
    shift
else
    cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
    cmake --build "$build" --target payload-tool upgrade-bench
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-upgrade-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 "$make_payload" "$work/source"
"$build/tools/payload-tool/payload-tool" build "$work/source" -o "$work/payload.bin" >/dev/null
"$build/bench/upgrade/upgrade-bench" "$work/payload.bin" "$work" "$@"
