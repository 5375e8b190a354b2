#!/usr/bin/env bash
# Builds a release payload-tool and setup-cli and runs the extraction benchmark against
# tar -xzf, with the peak memory of a whole install.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
make_payload=${MAKE_PAYLOAD:-$repo/../shared/bench/make-payload.py}
cmake -S "$repo" -B "$repo/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$repo/build/bench" --target payload-tool setup-cli
python3 "$repo/bench/payload/bench_extract.py" "$repo/build/bench/tools/payload-tool/payload-tool" \
    "$make_payload" --setup-cli "$repo/build/bench/tools/setup-cli/setup-cli" "$@"
