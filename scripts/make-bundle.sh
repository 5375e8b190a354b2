#!/usr/bin/env bash
# Makes the one-file release VelmoraSetup-<version>-x86_64.run with makeself: the wizard
# (and wizard-tour, for checking a bundle without a person at the screen), every shared
# library they and their Qt platform plugins need beyond the C library and the X11/Wayland
# client libraries every desktop has, the CJK font the skin's text is drawn with, and a
# launcher that points Qt and fontconfig at all of it. Called by the setup-bundle target.
#
#   make-bundle.sh --setup FILE --tour FILE --plugins DIR --font FILE --version V --out FILE
set -euo pipefail

die() { echo "make-bundle: $*" >&2; exit 1; }

setup= tour= plugins= font= version= out=
while [ $# -gt 0 ]; do
    case "$1" in
        --setup) setup=$2; shift 2 ;;
        --tour) tour=$2; shift 2 ;;
        --plugins) plugins=$2; shift 2 ;;
        --font) font=$2; shift 2 ;;
        --version) version=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *) die "unknown argument $1" ;;
    esac
done
for need in setup tour plugins font version out; do
    [ -n "${!need}" ] || die "--$need is missing"
done
for tool in makeself patchelf ldd; do
    command -v "$tool" >/dev/null || die "$tool is not installed (bash scripts/setup.sh installs it)"
done
[ -f "$font" ] || die "no CJK font at $font (package fonts-wqy-microhei)"
[ -f "$plugins/platforms/libqxcb.so" ] || die "no Qt xcb platform plugin in $plugins"

stage="$(dirname "$out")/bundle-stage"
rm -rf "$stage"
mkdir -p "$stage/bin" "$stage/lib" "$stage/plugins" "$stage/fonts"

install -m 0755 "$setup" "$stage/bin/VelmoraSetup"
install -m 0755 "$tour" "$stage/bin/wizard-tour"
# Qt looks for its plugins where this file says, not where the build machine keeps its own,
# so a different Qt installed on the desktop is never mixed in.
printf '[Paths]\nPrefix = ..\nPlugins = plugins\n' >"$stage/bin/qt.conf"

# The platform plugins the wizard uses: X11, and Wayland with its window-shell and
# decoration plugins when the build machine has them; the input-method plugins, so Chinese
# text can be typed into the path field.
plugin_files=(platforms/libqxcb.so)
for optional in platforms/libqwayland-generic.so wayland-shell-integration/libxdg-shell.so \
    wayland-decoration-client/libbradient.so platforminputcontexts/libcomposeplatforminputcontextplugin.so \
    platforminputcontexts/libibusplatforminputcontextplugin.so; do
    [ -f "$plugins/$optional" ] && plugin_files+=("$optional")
done
for plugin in "${plugin_files[@]}"; do
    mkdir -p "$stage/plugins/$(dirname "$plugin")"
    install -m 0644 "$plugins/$plugin" "$stage/plugins/$plugin"
done

# What every desktop has and what must match its display server: the C library and its
# loader, the X11 and Wayland client libraries. The GL dispatch libraries (libglvnd) are
# carried: they are vendor-neutral and load the desktop's own drivers, and a plain X11
# system may lack libEGL.
is_system_library() {
    case "$1" in
        ld-linux*|libc.so.*|libm.so.*|libpthread.so.*|libdl.so.*|librt.so.*|libresolv.so.*|\
        libutil.so.*|libanl.so.*|libnsl.so.*|libnss_*|libmvec.so.*|\
        libX11.so.*|libX11-xcb.so.*|libxcb.so.*|libXau.so.*|libXdmcp.so.*|\
        libwayland-client.so.*|libwayland-cursor.so.*|libwayland-egl.so.*|linux-vdso.so.*)
            return 0 ;;
    esac
    return 1
}

# Every library the binaries and plugins load, found by the loader itself.
declare -A copied=()
collect() {
    local line name path
    while read -r line; do
        name=${line%% *}
        path=$(sed -n 's/.*=> \(\/[^ ]*\).*/\1/p' <<<"$line")
        if [[ "$line" == *"not found"* ]]; then
            die "$1 needs $name, which the build machine does not have"
        fi
        [ -n "$path" ] || continue
        is_system_library "$name" && continue
        [ -n "${copied[$name]:-}" ] && continue
        copied[$name]=1
        install -m 0644 "$(readlink -f "$path")" "$stage/lib/$name"
    done < <(ldd "$1")
}
collect "$stage/bin/VelmoraSetup"
collect "$stage/bin/wizard-tour"
for plugin in "${plugin_files[@]}"; do
    collect "$stage/plugins/$plugin"
done

# Each file finds the bundle's libraries relative to itself, wherever it is unpacked.
patchelf --set-rpath '$ORIGIN/../lib' "$stage/bin/VelmoraSetup" "$stage/bin/wizard-tour"
for plugin in "${plugin_files[@]}"; do
    patchelf --set-rpath '$ORIGIN/../../lib' "$stage/plugins/$plugin"
done
for lib in "$stage"/lib/*; do
    patchelf --set-rpath '$ORIGIN' "$lib"
done

install -m 0644 "$font" "$stage/fonts/$(basename "$font")"

cat >"$stage/velmora-setup" <<'LAUNCHER'
#!/bin/sh
# Starts the wizard from the folder makeself unpacked it to; "--tour ARGS" walks it with
# wizard-tour instead (every system folder staged, pictures taken). makeself removes the
# folder when this script returns.
# The archive tool leaves a private file mask; what the installer makes is for everyone.
umask 022
# The bundle's own libraries, not another Qt someone's search path points at.
unset LD_LIBRARY_PATH QT_PLUGIN_PATH QT_QPA_PLATFORM_PLUGIN_PATH
here=$(cd "$(dirname "$0")" && pwd)
# fontconfig finds the bundled CJK font beside the desktop's own fonts and keeps its cache
# inside the unpacked folder (the first cache folder listed is the one written). Paths are
# relative to this file, so no folder name needs quoting for XML.
mkdir -p "$here/etc/fonts" "$here/fontcache"
cat >"$here/etc/fonts/fonts.conf" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <cachedir prefix="relative">../../fontcache</cachedir>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <dir prefix="relative">../../fonts</dir>
</fontconfig>
CONF
export FONTCONFIG_FILE="$here/etc/fonts/fonts.conf"
# Programs the wizard starts (the product, the web page) do not get this set-up: the folder
# it points into is gone when the wizard ends.
export VELMORA_PRIVATE_ENV=FONTCONFIG_FILE
program=VelmoraSetup
if [ "${1:-}" = "--tour" ]; then
    program=wizard-tour
    shift
fi
# A path typed in the wizard is taken from where the person started the file, not from the
# temporary folder.
cd "${USER_PWD:-$here}" 2>/dev/null || cd "$here"
"$here/bin/$program" "$@"
status=$?
# The logs are written beside the program, in the folder that is about to go: each one
# that exists is kept under a fresh name beside the .run file, or in the per-user state
# folder when that cannot be written. Root acting for a person writes there as that person,
# so the file is theirs and a link they put in the way leads only to what they may write
# anyway; root for itself keeps logs beside the file only in a folder root owns, otherwise
# in /var/log/velmora.
case "${ARCHIVE_DIR:-.}" in
    /*) archive_dir=$ARCHIVE_DIR ;;
    *) archive_dir="${USER_PWD:-.}/${ARCHIVE_DIR:-.}" ;;
esac
person=${PKEXEC_UID:-${SUDO_UID:-}}
# Copies standard input to a new file in folder $1 named after $2; prints its path.
keep='umask 077; f=$(mktemp --suffix=.log "$1/$2-XXXXXX" 2>/dev/null) && cat >"$f" && echo "$f"'
for log in InstallLog SkinEngine; do
    [ -s "$here/bin/$log.log" ] || continue
    if [ "$(id -u)" = 0 ] && [ -n "$person" ] && [ "$person" != 0 ]; then
        group=$(id -g "$person" 2>/dev/null) || continue
        kept=$(setpriv --reuid="$person" --regid="$group" --clear-groups \
            sh -c "$keep" sh "$archive_dir" "$log" <"$here/bin/$log.log")
    elif [ "$(id -u)" = 0 ]; then
        folder=$archive_dir
        [ "$(stat -c %u "$folder" 2>/dev/null)" = 0 ] ||
            { folder=/var/log/velmora; mkdir -p -m 0700 "$folder"; }
        kept=$(sh -c "$keep" sh "$folder" "$log" <"$here/bin/$log.log")
    else
        state_dir="${XDG_STATE_HOME:-${HOME:-/tmp}/.local/state}/Velmora"
        kept=$(sh -c "$keep" sh "$archive_dir" "$log" <"$here/bin/$log.log") ||
            kept=$(mkdir -p "$state_dir" && sh -c "$keep" sh "$state_dir" "$log" <"$here/bin/$log.log")
    fi
    [ -n "$kept" ] && echo "velmora-setup: $log.log kept as $kept" >&2
done
exit $status
LAUNCHER
chmod 0755 "$stage/velmora-setup"

mkdir -p "$(dirname "$out")"
# Files owned by root, whoever built the bundle; unpacked by root they must not belong to an
# account of the build machine.
makeself --nox11 --sha256 --nomd5 --tar-quietly --quiet --packaging-date "bundle" \
    --tar-extra "--owner=0 --group=0 --numeric-owner" \
    "$stage" "$out" "VelmoraSetup $version" ./velmora-setup >/dev/null
echo "make-bundle: $out ($(du -h "$out" | cut -f1), ${#copied[@]} libraries, ${#plugin_files[@]} plugins)"
