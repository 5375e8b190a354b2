#!/usr/bin/env bash
# Makes the one-file release VelmoraSetup-<version>-x86_64.run: the wizard (and wizard-tour,
# for checking a release without a person at the screen), every shared library they and
# their Qt platform plugins need beyond the C library and the X11/Wayland client libraries
# every desktop has, the CJK font the skin's text is drawn with and its fontconfig cache, and
# a launcher that points Qt and fontconfig at all of it; behind our own shell header
# (scripts/bundle/stub.sh) and decompressor (scripts/bundle/unzstd.c), as a zstd-compressed
# tar archive. Called by the setup-bundle target.
#
#   make-bundle.sh --setup FILE --tour FILE --plugins DIR --font FILE --unzstd FILE
#                  --version V --epoch SECONDS --out FILE
#
# The same inputs give the same bytes (scripts/bundle/pack.sh says how); the epoch is the
# commit's time.
set -euo pipefail

die() { echo "make-bundle: $*" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)

setup= tour= plugins= translations= font= unzstd= version= epoch= out=
while [ $# -gt 0 ]; do
    case "$1" in
        --setup) setup=$2; shift 2 ;;
        --tour) tour=$2; shift 2 ;;
        --plugins) plugins=$2; shift 2 ;;
        --translations) translations=$2; shift 2 ;;
        --font) font=$2; shift 2 ;;
        --unzstd) unzstd=$2; shift 2 ;;
        --version) version=$2; shift 2 ;;
        --epoch) epoch=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *) die "unknown argument $1" ;;
    esac
done
for need in setup tour plugins translations font unzstd version epoch out; do
    [ -n "${!need}" ] || die "--$need is missing"
done
[[ $epoch =~ ^[0-9]+$ ]] || die "--epoch must be seconds since 1970, not $epoch"
for tool in patchelf ldd strip fc-cache icupkg objcopy bwrap; do
    command -v "$tool" >/dev/null || die "$tool is not installed (bash scripts/setup.sh installs it)"
done
[ -f "$font" ] || die "no CJK font at $font (package fonts-wqy-microhei)"
[ -x "$unzstd" ] || die "no decompressor at $unzstd (it needs the static libzstd of libzstd-dev)"
[ -f "$plugins/platforms/libqxcb.so" ] || die "no Qt xcb platform plugin in $plugins"
[ -f "$translations/qtbase_zh_CN.qm" ] ||
    die "no Chinese Qt translation in $translations (package qt6-translations-l10n)"

stage="$(dirname "$out")/bundle-stage"
rm -rf "$stage"
mkdir -p "$stage/bin" "$stage/lib" "$stage/plugins" "$stage/translations" "$stage/fonts" "$stage/fontcache" "$stage/etc/fonts"

install -m 0755 "$setup" "$stage/bin/VelmoraSetup"
install -m 0755 "$tour" "$stage/bin/wizard-tour"
install -m 0755 "$here/bundle/launcher.sh" "$stage/velmora-setup"
# Qt looks for its plugins where this file says, not where the build machine keeps its own,
# so a different Qt installed on the desktop is never mixed in.
printf '[Paths]\nPrefix = ..\nPlugins = plugins\nTranslations = translations\n' >"$stage/bin/qt.conf"
# Qt's own texts (the folder chooser's buttons and columns) in the wizard's language.
install -m 0644 "$translations/qtbase_zh_CN.qm" "$stage/translations/qtbase_zh_CN.qm"

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

# Every library the binaries and plugins load, found by the loader itself: what the loader
# maps at start (the programs' and the loaded plugins' needs) and nothing else.
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
        copied[$name]=$(readlink -f "$path")
        install -m 0644 "${copied[$name]}" "$stage/lib/$name"
    done < <(ldd "$1")
}
collect "$stage/bin/VelmoraSetup"
collect "$stage/bin/wizard-tour"
for plugin in "${plugin_files[@]}"; do
    collect "$stage/plugins/$plugin"
done

# ICU's data library is 31 MB, of which the programs open only the collation data (see
# icu-data.sh): that part alone is carried, under the same name.
for name in "${!copied[@]}"; do
    [[ $name == libicudata.so.* ]] || continue
    bash "$here/bundle/icu-data.sh" "${copied[$name]}" "$stage/lib/$name" 'coll/*' >/dev/null
done

# No symbol tables or debugging sections: the loader needs neither.
strip --strip-all "$stage/bin/VelmoraSetup" "$stage/bin/wizard-tour"
strip --strip-unneeded "$stage"/lib/* "${plugin_files[@]/#/$stage/plugins/}"

# The programs and plugins find the bundle's libraries relative to themselves, wherever it is
# unpacked: an old-style run path (DT_RPATH) is searched for every library loaded on their
# behalf, their libraries' own needs and what those open at run time included, so the
# libraries themselves need none. (Giving each library a run path costs half a megabyte per
# large library: patchelf moves its dynamic section to a new page-aligned segment.) A
# library that came with a run path of its own gets one that points into the bundle.
patchelf --force-rpath --set-rpath '$ORIGIN/../lib' "$stage/bin/VelmoraSetup" "$stage/bin/wizard-tour"
for plugin in "${plugin_files[@]}"; do
    patchelf --force-rpath --set-rpath '$ORIGIN/../../lib' "$stage/plugins/$plugin"
done
for lib in "$stage"/lib/*; do
    [ -z "$(patchelf --print-rpath "$lib")" ] || patchelf --set-rpath '$ORIGIN' "$lib"
done

# The font and the fontconfig cache for its folder, made here so that no start scans it.
# The cache holds the folder's path, so it is made where the folder is seen at the stand-in
# path the launcher's configuration maps the unpacked folder to (a private mount namespace),
# never at the build folder's path: the same commit then gives the same cache in any
# folder. It holds while the folder's time is the one the archive gives it.
install -m 0644 "$font" "$stage/fonts/$(basename "$font")"
touch -d "@$epoch" "$stage/fonts"
cat >"$stage/fontcache.conf" <<'CONF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/velmora-release/fonts</dir>
  <cachedir>/velmora-release/fontcache</cachedir>
</fontconfig>
CONF
bwrap --ro-bind /usr /usr --ro-bind /etc /etc --symlink usr/lib /lib --symlink usr/lib64 /lib64 \
    --symlink usr/bin /bin --proc /proc --dev /dev \
    --bind "$stage/fonts" /velmora-release/fonts --bind "$stage/fontcache" /velmora-release/fontcache \
    --ro-bind "$stage/fontcache.conf" /velmora-release/fontcache.conf \
    --setenv FONTCONFIG_FILE /velmora-release/fontcache.conf fc-cache -f >/dev/null ||
    die "fc-cache failed"
rm "$stage/fontcache.conf"
[ -n "$(find "$stage/fontcache" -name '*.cache-*' -print -quit)" ] || die "fc-cache made no cache"

# The release: the header, the decompressor and the staged folder as one file.
files=$(find "$stage" -type f | wc -l)
unpacked_mib=$(bash "$here/bundle/pack.sh" --stage "$stage" --start velmora-setup \
    --title "VelmoraSetup $version for x86_64 Linux" --epoch "$epoch" --unzstd "$unzstd" --out "$out")
echo "make-bundle: $out ($(du -h "$out" | cut -f1); $files files, $unpacked_mib MiB unpacked," \
    "${#copied[@]} libraries, ${#plugin_files[@]} plugins)"
