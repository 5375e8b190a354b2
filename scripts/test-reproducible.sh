#!/usr/bin/env bash
# Proves that a commit builds to the same bytes wherever and whenever it is built: two fresh
# checkouts of the tree's commit (with the uncommitted changes to tracked files applied, so a
# developer tests what they have), in folders of different depth with their files stamped at
# different times, built from scratch one after the other in release build folders of
# different names, with different file masks, time zones and locales, must give identical
# VelmoraSetup, setup-cli, payload and VelmoraSetup-3.0-x86_64.run.
#
# The compiler cache would hide differences made at compile time if one build could take the
# other's objects. So the two builds never share an object:
#  - the first (build/reproducible/a) takes its objects from the cache the way the tree's own
#    builds do (paths relative to the tree, so it mostly finds the objects build/run made in
#    the tree's folder): the compiler saw relative paths and another folder;
#  - the second (/var/tmp/velmora-reproducible/deeper/folder/b, the same for every clone on
#    the machine) uses the cache without that rewriting, so its objects are keyed by its own
#    absolute paths: each was compiled in that folder, with absolute paths, by this test now
#    or by an earlier run of it from any clone, and never by the first build. It also makes __DATE__, __TIME__ and __TIMESTAMP__ errors (-Werror=date-time,
#    which changes no code): the time of a compile cannot reach an object.
# Equal bytes then prove that neither the folder nor the time reaches the outputs. The first
# run in a tree compiles the second build whole (one release build, about 10 minutes on the
# 2-core machine when it is not shared); later runs compile only what changed.
#
# Exit 0 passed, 1 failed, 77 skipped (no git checkout or a tool missing; the reason is printed).
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$PWD

skip() { echo "test-reproducible: SKIPPED: $*"; exit 77; }
fail() { echo "test-reproducible: FAILED: $*" >&2; exit 1; }

for tool in git cmake ninja patchelf zstd icupkg fc-cache bwrap; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (bash scripts/setup.sh installs it)"
done
git -C "$tree" rev-parse --verify -q HEAD >/dev/null || skip "$tree is not a git checkout"
commit=$(git -C "$tree" rev-parse HEAD)
# The commit time is what the builds must take, not a value from the caller.
unset SOURCE_DATE_EPOCH

base="$tree/build/reproducible"
# Outside the clone, so that its absolute paths, and so its cached objects, are the same
# whichever clone runs the test; one run at a time uses it.
fixed=/var/tmp/velmora-reproducible
rm -rf "$base"
mkdir -p "$base" "$fixed"
exec 9>"$fixed/lock"
flock 9
rm -rf "$fixed/deeper"
git -C "$tree" diff --binary HEAD >"$base/changes.diff"
trap 'rm -rf "$base/a" "$fixed/deeper"' EXIT

# A checkout of the commit plus the uncommitted changes, its files stamped at time $2.
checkout() {
    git clone --quiet --shared --no-checkout "$tree" "$1"
    git -C "$1" checkout --quiet --detach "$commit"
    [ ! -s "$base/changes.diff" ] || git -C "$1" apply --whitespace=nowarn "$base/changes.diff"
    find "$1" -path "$1/.git" -prune -o -exec touch -h -d "$2" {} +
}
checkout "$base/a" "2001-02-03 04:05:06"
checkout "$fixed/deeper/folder/b" "2011-12-13 14:15:16"

# The files compared, relative to a build folder.
outputs=(installer/wizard/app/VelmoraSetup tools/setup-cli/setup-cli assets/payload/RESOURCES
         VelmoraSetup-3.0-x86_64.run)
targets=(VelmoraSetup setup-cli payload_archive setup-bundle)

started=$SECONDS
(
    cd "$base/a"
    umask 022
    export TZ=UTC LC_ALL=C.UTF-8 CCACHE_BASEDIR="$base/a" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=5G
    cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
    nice cmake --build build/run --target "${targets[@]}" >"$base/a.log" 2>&1
) || { tail -20 "$base/a.log" >&2; fail "the first build failed"; }
echo "test-reproducible: first build in $((SECONDS - started)) s"

started=$SECONDS
(
    cd "$fixed/deeper/folder/b"
    umask 002
    export TZ=Asia/Shanghai LC_ALL=C CCACHE_BASEDIR= CCACHE_MAXSIZE=5G
    cmake -S . -B out/release-x86_64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF \
        -DCMAKE_C_FLAGS=-Werror=date-time -DCMAKE_CXX_FLAGS=-Werror=date-time >/dev/null
    nice cmake --build out/release-x86_64 --target "${targets[@]}" >"$base/b.log" 2>&1
) || { tail -20 "$base/b.log" >&2; fail "the second build failed"; }
echo "test-reproducible: second build in $((SECONDS - started)) s"

different=()
for output in "${outputs[@]}"; do
    a="$base/a/build/run/$output" b="$fixed/deeper/folder/b/out/release-x86_64/$output"
    [ -f "$a" ] && [ -f "$b" ] || fail "$output was not built"
    if cmp -s "$a" "$b"; then
        echo "test-reproducible: $output: identical ($(stat -c %s "$a") bytes, sha256 $(sha256sum <"$a" | cut -c1-16))"
    else
        different+=("$output")
        echo "test-reproducible: $output differs: $(cmp "$a" "$b" 2>&1 | head -1)" >&2
    fi
done
if [ ${#different[@]} -gt 0 ]; then
    # What differs inside the release, to start looking from.
    (cd "$base/a/build/run/bundle-stage" && find . -type f -exec sha256sum {} + | sort -k2) \
        >"$base/a.sums"
    (cd "$fixed/deeper/folder/b/out/release-x86_64/bundle-stage" &&
        find . -type f -exec sha256sum {} + | sort -k2) >"$base/b.sums"
    diff "$base/a.sums" "$base/b.sums" | sed 's/^/test-reproducible: staged: /' >&2 || true
    fail "${different[*]} differ between the two builds"
fi
echo "test-reproducible: passed (commit ${commit:0:12}, two folders, two times, no object shared)"
