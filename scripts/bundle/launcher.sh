#!/bin/sh
# Starts the wizard from the unpacked release; "--tour ARGS" walks it with wizard-tour instead
# (every system folder staged, pictures taken). The release's header runs this with
# VELMORA_RELEASE_FOLDER (the unpacked folder), VELMORA_RUN_FOLDER (where the .run file is)
# and VELMORA_START_FOLDER (where it was started), and removes the unpacked folder when this
# script returns; run by hand from a folder unpacked with --target, the folders default to
# this script's and the current one.
#
# The header keeps a private file mask while unpacking; what the installer makes is for
# everyone.
umask 022
# The bundle's own libraries, not another Qt someone's search path points at.
unset LD_LIBRARY_PATH QT_PLUGIN_PATH QT_QPA_PLATFORM_PLUGIN_PATH
# Every program started before the first window costs time, so the header's folder names
# are taken as given and the rest is done with the shell's own commands.
here=${VELMORA_RELEASE_FOLDER:-}
[ -n "$here" ] || here=$(cd "${0%/*}/" && pwd)
start_folder=${VELMORA_START_FOLDER:-$PWD}
run_folder=${VELMORA_RUN_FOLDER:-$start_folder}
unset VELMORA_START_FOLDER VELMORA_RUN_FOLDER VELMORA_RELEASE_FOLDER
# fontconfig finds the bundled CJK font beside the desktop's own fonts, reads the cache made
# for it when the release was built (for the stand-in path the font folder is mapped to
# here), and writes any cache it makes inside this folder: the first cache folder listed is
# the one written. fontconfig takes a relative cache folder from the working folder, not
# from the file, so the paths are written out whole (etc/fonts comes in the archive).
escaped=$here
case $escaped in
    *[\&\<\>]*) escaped=$(printf '%s' "$here" | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g') ;;
esac
printf '%s\n' '<?xml version="1.0"?>' \
    '<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">' '<fontconfig>' \
    "  <cachedir>$escaped/fontcache</cachedir>" \
    '  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>' \
    "  <remap-dir as-path=\"/velmora-release/fonts\">$escaped/fonts</remap-dir>" \
    '</fontconfig>' >"$here/etc/fonts/fonts.conf"
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
cd "$start_folder" 2>/dev/null || cd "$here"
# Ctrl+C ends the wizard, not this script before it has kept the logs: the signal only
# interrupts the wait (a trap, unlike an ignored signal, is not passed on to the wizard).
trap : HUP INT QUIT TERM
"$here/bin/$program" "$@"
status=$?
# The logs are written beside the program, in the folder that is about to go: each one
# that exists is kept under a fresh name beside the .run file, or in the per-user state
# folder when that cannot be written. Root acting for a person writes there as that person,
# so the file is theirs and a link they put in the way leads only to what they may write
# anyway; root for itself keeps logs beside the file only in a folder root owns, otherwise
# in /var/log/velmora.
person=${PKEXEC_UID:-${SUDO_UID:-}}
# Copies standard input to a new file in folder $1 named after $2; prints its path.
keep='umask 077; f=$(mktemp --suffix=.log "$1/$2-XXXXXX" 2>/dev/null) && cat >"$f" && echo "$f"'
for log in InstallLog SkinEngine; do
    kept=
    [ -s "$here/bin/$log.log" ] || continue
    if [ "$(id -u)" = 0 ] && [ -n "$person" ] && [ "$person" != 0 ]; then
        group=$(id -g "$person" 2>/dev/null) || continue
        kept=$(setpriv --reuid="$person" --regid="$group" --clear-groups \
            sh -c "$keep" sh "$run_folder" "$log" <"$here/bin/$log.log")
    elif [ "$(id -u)" = 0 ]; then
        folder=$run_folder
        [ "$(stat -c %u "$folder" 2>/dev/null)" = 0 ] ||
            { folder=/var/log/velmora; mkdir -p -m 0700 "$folder"; }
        kept=$(sh -c "$keep" sh "$folder" "$log" <"$here/bin/$log.log")
    else
        state_dir="${XDG_STATE_HOME:-${HOME:-/tmp}/.local/state}/Velmora"
        kept=$(sh -c "$keep" sh "$run_folder" "$log" <"$here/bin/$log.log") ||
            kept=$(mkdir -p "$state_dir" && sh -c "$keep" sh "$state_dir" "$log" <"$here/bin/$log.log")
    fi
    [ -n "$kept" ] && echo "velmora-setup: $log.log kept as $kept" >&2
done
exit $status
