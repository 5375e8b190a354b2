#!/usr/bin/env bash
# Proves the one-file release where nothing else helps it: on a minimal Debian 12 system
# folder holding only the C library, the X11 client libraries and Xvfb (no Qt, no fonts),
# the bundle walks the wizard with wizard-tour as an unprivileged user under a private Xvfb.
# Its pictures must equal those the build machine takes with the unbundled wizard-tour and
# the same font, and the staged install must hold exactly the payload's files and valid
# desktop entries. Its header is then tried on every way out there (scripts/bundle/
# check-launcher.sh): a file damaged or cut in either part of its archive, too little room, a
# disk that fills, Ctrl+C during the integrity check, a signal while unpacking, names put in
# the way by another account; none may leave a folder behind. The system folder is made once with mmdebstrap and kept
# under build/bundle-chroot/, so later runs need no network.
#
# Exit 0 passed, 1 failed, 77 skipped (not root, or a tool is missing; the reason is printed).
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$PWD

skip() { echo "test-bundle: SKIPPED: $*"; exit 77; }
fail() { echo "test-bundle: FAILED: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "needs root to make and enter the system folder"
for tool in mmdebstrap bwrap patchelf zstd icupkg fc-cache Xvfb python3; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (bash scripts/setup.sh installs it)"
done
bwrap --ro-bind / / --dev /dev --proc /proc --unshare-pid --unshare-net true 2>/dev/null ||
    skip "bwrap cannot make the namespaces it needs on this machine"

# The bundle, from the release tree that scripts/run.sh builds.
export CCACHE_BASEDIR="$tree" CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=5G
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
nice cmake --build build/run --target setup-bundle wizard-tour payload-tool >/dev/null
bundle="$tree/build/run/VelmoraSetup-3.0-x86_64.run"
[ -x "$bundle" ] || fail "no bundle at $bundle"

# The plain system: the C library and the X11 client libraries (with the essential
# packages that give it a shell and tar to unpack the bundle with), and Xvfb.
suite=bookworm
mirror=${VELMORA_DEBIAN_MIRROR:-http://deb.debian.org/debian}
packages=libc6,libx11-6,libx11-xcb1,libxcb1,libxau6,libxdmcp6,libwayland-client0,libwayland-cursor0,libwayland-egl1,xvfb
key=$(printf '%s %s %s' "$suite" "$mirror" "$packages" | sha256sum | cut -c1-16)
system="$tree/build/bundle-chroot/debian12-$key"
if [ ! -f "$system.complete" ]; then
    # A folder made for another package list is of no further use.
    rm -rf "$(dirname "$system")"/debian12-*
    mkdir -p "$(dirname "$system")"
    echo "test-bundle: making the Debian 12 system folder (once; kept in $system)"
    started=$SECONDS
    # Without the mirror (no network, a proxy in the way) there is nothing to test on: that is
    # the machine's state, not the bundle's.
    nice mmdebstrap --quiet --variant=essential --include="$packages" "$suite" "$system" "$mirror" ||
        skip "mmdebstrap could not make the system folder from $mirror"
    touch "$system.complete"
    echo "test-bundle: system folder made in $((SECONDS - started)) s"
fi
qt=$(dpkg-query --admindir="$system/var/lib/dpkg" -W -f '${Package}\n' | grep -i 'qt' || true)
[ -z "$qt" ] || fail "the system folder holds Qt packages: $qt"
[ -z "$(find "$system" -name 'libQt6*' -print -quit)" ] || fail "the system folder holds Qt libraries"

work=$(mktemp -d /tmp/velmora-bundle-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bundled" "$work/reference"
chmod 0777 "$work/bundled" "$work/reference"

# Runs a command as nobody inside a sandbox whose / is $1, under a private Xvfb, with the
# folder $2 at /tmp/out; its output goes to /tmp/out/run.log, its status to /tmp/out/status.
# The network namespace is private, so the display number cannot meet another server.
in_sandbox() {
    local root=$1 out=$2
    shift 2
    bwrap --ro-bind "$root" / --dev /dev --proc /proc --tmpfs /tmp --bind "$out" /tmp/out \
        --unshare-pid --unshare-net --unshare-ipc --die-with-parent \
        --clearenv --setenv PATH /usr/bin:/bin --setenv LANG C.UTF-8 "${extra[@]}" \
        /bin/sh -c '
            mkdir -m 1777 -p /tmp/.X11-unix; chmod 1777 /tmp
            # Folders the sandbox made in its /tmp to hold a bind below it (a checkout below
            # /tmp) are root'"'"'s alone; the person the programs run as must pass through them.
            find /tmp -xdev -mindepth 1 -type d -user 0 ! -perm -o=x -exec chmod o+x {} + \
                2>/dev/null
            exec setpriv --reuid=65534 --regid=65534 --clear-groups -- /bin/sh -c "
                mkdir -p /tmp/home
                # The server says its display once it accepts connections.
                Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>/tmp/display \\
                    >/tmp/out/xvfb.log 2>&1 & server=\$!
                i=0
                while ! grep -q . /tmp/display 2>/dev/null && [ \$i -lt 300 ]; do
                    sleep 0.1; i=\$((i+1))
                done
                # Started two folders down, as from ~/Downloads/release.
                mkdir -p /tmp/out/start/here && cd /tmp/out/start/here
                HOME=/tmp/home DISPLAY=:\$(cat /tmp/display) \"\$@\" >/tmp/out/run.log 2>&1
                echo \$? >/tmp/out/status
                kill \$server
                ls -A /tmp >/tmp/out/tmp-after" sh "$@"' sh "$@"
}

extra=(--ro-bind "$bundle" /tmp/VelmoraSetup-3.0-x86_64.run)
started=$SECONDS
in_sandbox "$system" "$work/bundled" /tmp/VelmoraSetup-3.0-x86_64.run -- --tour --out /tmp/out/tour
echo "test-bundle: the bundle walked the wizard on the plain system in $((SECONDS - started)) s"
[ "$(cat "$work/bundled/status" 2>/dev/null)" = 0 ] ||
    { cat "$work/bundled/run.log" "$work/bundled/xvfb.log" >&2; fail "the bundle's wizard-tour did not finish"; }
left=$(grep -E '^(velmora-setup\.|selfgz)' "$work/bundled/tmp-after" || true)
[ -z "$left" ] || fail "the bundle left $left in /tmp"
# Nothing of fontconfig's outside the release's folder: the font's cache came with it (a
# relative cache folder once put caches two folders above where the release was started).
caches=$(find "$work/bundled" -name 'fontcache' -o -name '*.cache-[0-9]*' | head -3)
[ -z "$caches" ] || fail "fontconfig wrote outside the release's folder: $caches"

# Every way out of the header, on the plain system's own shell and tools, as nobody (with a
# second account putting names in the way) and with a 4 MiB file system for too little room.
bwrap --ro-bind "$system" / --dev /dev --proc /proc --tmpfs /tmp --size 4194304 --tmpfs /tmp/small \
    --ro-bind "$bundle" /tmp/VelmoraSetup-3.0-x86_64.run \
    --ro-bind "$tree/scripts/bundle/check-launcher.sh" /tmp/check-launcher.sh \
    --unshare-pid --unshare-net --unshare-ipc --die-with-parent \
    --clearenv --setenv PATH /usr/bin:/bin --setenv LANG C.UTF-8 /bin/sh -c '
        chmod 1777 /tmp/small && exec /bin/sh /tmp/check-launcher.sh \
            /tmp/VelmoraSetup-3.0-x86_64.run /tmp/small' >"$work/launcher.log" 2>&1 ||
    { cat "$work/launcher.log" >&2; fail "the header failed a way out"; }
sed 's/^/test-bundle: /' "$work/launcher.log"

# Every program and plugin in the bundle, the Wayland ones too (the test has no compositor to
# start them on), finds all it needs on the plain system: the loader looks for each library
# through the run path of the program or plugin it is loaded for, as it does at run time, so
# this covers every bundled library too.
mkdir -p "$work/unpacked"
chmod 0777 "$work/unpacked"
extra=()
bwrap --ro-bind "$system" / --dev /dev --proc /proc --tmpfs /tmp --bind "$work/unpacked" /tmp/out \
    --ro-bind "$bundle" /tmp/VelmoraSetup-3.0-x86_64.run --unshare-all --die-with-parent \
    --clearenv --setenv PATH /usr/bin:/bin /bin/sh -c '
        /tmp/VelmoraSetup-3.0-x86_64.run --quiet --noexec --target /tmp/out/b >/dev/null &&
        find /tmp/out/b/bin /tmp/out/b/plugins -type f -name "*.so*" -o \
            -type f -perm -u+x -path "*/bin/*" | while read -r file; do
            ldd "$file" 2>&1 | sed -n "s|^|$file: |; /not found/p"
        done' >"$work/unpacked/missing" || fail "the bundle could not be unpacked on the plain system"
[ ! -s "$work/unpacked/missing" ] || { cat "$work/unpacked/missing" >&2; fail "bundled files lack libraries"; }
[ -f "$work/unpacked/b/plugins/platforms/libqwayland-generic.so" ] ||
    echo "test-bundle: note: the bundle has no Wayland plugin (the build machine lacks qt6-wayland)"

# The reference: the unbundled wizard-tour on the build machine, in the same sandbox shape,
# with fontconfig seeing exactly the font the bundle carries.
font=$(sed -n 's/^VELMORA_CJK_FONT:FILEPATH=//p' build/run/CMakeCache.txt)
mkdir -p "$work/fonts"
cat >"$work/fonts/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>$(dirname "$font")</dir>
  <cachedir>/tmp/fontcache</cachedir>
</fontconfig>
CONF
# The tree is bound at its own path again: the sandbox's fresh /tmp would hide a checkout
# that lives below /tmp.
extra=(--ro-bind "$work/fonts" /tmp/fonts --setenv FONTCONFIG_FILE /tmp/fonts/fonts.conf
    --ro-bind "$tree" "$tree")
in_sandbox / "$work/reference" "$tree/build/run/tools/wizard-tour/wizard-tour" --out /tmp/out/tour
[ "$(cat "$work/reference/status" 2>/dev/null)" = 0 ] ||
    { cat "$work/reference/run.log" >&2; fail "the reference wizard-tour did not finish"; }

pictures=0
for reference in "$work"/reference/tour/pictures/*.png; do
    name=$(basename "$reference")
    [ -f "$work/bundled/tour/pictures/$name" ] || fail "the bundle took no picture $name"
    # A caret may blink between the two runs: a handful of pixels, never a glyph.
    share=$(python3 scripts/compare-pictures.py "$reference" "$work/bundled/tour/pictures/$name" \
        --max-share 0.001) || fail "$name differs from the build machine's: share $share"
    pictures=$((pictures + 1))
done
[ "$pictures" -ge 11 ] || fail "only $pictures pictures to compare"

# The staged install holds exactly the payload's files, byte for byte.
payload="$tree/build/run/assets/payload/RESOURCES"
mkdir -p "$work/extracted"
"$tree/build/run/tools/payload-tool/payload-tool" extract "$payload" "$work/extracted/" >/dev/null 2>&1
diff -r "$work/extracted" "$work/bundled/tour/custom/Norvane" >/dev/null ||
    fail "the staged install differs from the payload"
# Its shortcuts show the installed icon and are valid desktop entries.
for entry in "$work"/bundled/tour/root/desktop/Velmora3.0.desktop \
    "$work"/bundled/tour/root/menu/user/Velmora3.0/*.desktop; do
    [ -f "$entry" ] || fail "missing shortcut $entry"
    grep -qx 'Icon=/tmp/out/tour/custom/Norvane/Velmora/Corvex.png' "$entry" ||
        fail "$entry does not show the product icon"
    if command -v desktop-file-validate >/dev/null; then
        says=$(desktop-file-validate "$entry" 2>&1) && [ -z "$says" ] || fail "$entry: $says"
    fi
done
echo "test-bundle: passed ($pictures pictures equal to the build machine's, no Qt on the system)"
