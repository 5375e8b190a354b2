#!/bin/sh
# @TITLE@: the setup wizard and everything it needs beyond the desktop's C library and
# display libraries, as one file. Run it; "--help" lists the options.
#
# This shell header is followed by the release's own decompressor, whose size and SHA-256 the
# header knows, and a zstd-compressed tar archive of the program folder, which carries a
# checksum of its content. It needs only a POSIX shell, coreutils and tar.
header_bytes=@HEADER_BYTES@
tool_bytes=@TOOL_BYTES@
tool_sha256=@TOOL_SHA256@
unpacked_kib=@UNPACKED_KIB@
start_script=@START_SCRIPT@
title='@TITLE@'

say() { [ -n "$quiet" ] || printf '%s\n' "$*" >&2; }
die() { printf '%s: %s\n' "$title" "$*" >&2; exit 1; }

usage() {
    cat <<USAGE
$title

usage: $0 [OPTION...] [-- ARGUMENT...]

Unpacks the file into a new private folder below \$TMPDIR (or /tmp), checking it meanwhile,
runs the setup wizard with the ARGUMENTs given after "--" ("-- --tour --out DIR" walks it
with wizard-tour), and removes the folder when the wizard ends, is interrupted or fails.

  --check         check the file's integrity and exit
  --list          list what the archive holds and exit
  --target DIR    unpack into DIR (made if missing; must be empty), keep it, run from there
  --noexec        unpack only, do not run the wizard (needs --target)
  --quiet         say nothing but errors
  --help          show this text
USAGE
}

quiet= check_only= list_only= noexec= target=
while [ $# -gt 0 ]; do
    case $1 in
        --) shift; break ;;
        --check) check_only=1 ;;
        --list) list_only=1 ;;
        --noexec) noexec=1 ;;
        --quiet) quiet=1 ;;
        --target)
            [ $# -ge 2 ] && [ -n "$2" ] || { usage >&2; exit 2; }
            target=$2
            shift ;;
        --help) usage; exit 0 ;;
        *) printf '%s: unknown option %s (arguments for the wizard follow "--")\n' "$title" "$1" >&2
           exit 2 ;;
    esac
    shift
done
[ -z "$noexec" ] || [ -n "$target" ] ||
    { printf '%s: --noexec needs --target DIR (a temporary folder would be removed at once)\n' \
        "$title" >&2; exit 2; }

# The file itself, by a path that stays right after "cd".
self=$0
case $self in
    */*) ;;
    *) self=$(command -v -- "$self") || die "cannot find myself ($0)" ;;
esac
case $self in
    /*) ;;
    *) self=$PWD/$self ;;
esac
[ -f "$self" ] && [ -r "$self" ] || die "cannot read $self"
start_folder=$PWD
run_folder=${self%/*}
[ -n "$run_folder" ] || run_folder=/

# Every way out removes the private folder and stops what was started in the background.
# A signal sets the status and leaves through "exit", so the EXIT trap does the work, once.
# Background jobs ignore SIGINT (POSIX), so they are stopped with SIGTERM.
work= jobs_running=
cleanup() {
    trap '' HUP INT QUIT TERM
    [ -z "$jobs_running" ] || kill $jobs_running 2>/dev/null
    wait
    if [ -n "$work" ]; then
        # A tree the wizard left unwritable for its owner is made writable to be removed.
        rm -rf -- "$work" 2>/dev/null || { chmod -R u+rwx -- "$work"; rm -rf -- "$work"; }
    fi
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 131' QUIT
trap 'exit 143' TERM

# The folder everything is unpacked to, and where the unpacking needs room.
base=${TMPDIR:-/tmp}
[ -d "$base" ] || die "$base is not a folder (TMPDIR names the folder to unpack in)"
case $base$target in
    *'
'*) die "the folder to unpack in has a line break in its name" ;;
esac
if [ -n "$target" ]; then
    caller_umask=$(umask)
    mkdir -p -- "$target" && target=$(cd -- "$target" && pwd) || die "cannot make $target"
    [ -z "$(ls -A -- "$target")" ] || die "$target is not empty"
    space=$target
else
    space=$base
fi
# Room for the unpacked files (each rounded up to whole blocks), before anything is written.
free_kib=$(stat -f -c '%a %S' -- "$space" 2>/dev/null |
    { read -r blocks size && echo $((blocks * size / 1024)); })
need_kib=$((unpacked_kib + tool_bytes / 1024 + 8))
[ -n "$free_kib" ] && [ "$free_kib" -ge "$need_kib" ] ||
    die "not enough space in $space: $need_kib KiB needed, ${free_kib:-unknown} KiB free (TMPDIR names another folder)"

# A new private folder (mode 0700, a name no one can guess or take first). Only the caller
# may look into it; the programs set their own file mask.
umask 077
work=$(mktemp -d "$base/velmora-setup.XXXXXXXXXX") ||
    { work=; die "cannot make a private folder in $base (TMPDIR names another folder)"; }

# Starts a command in the background and notes it, so the cleanup can stop it.
started() {
    "$@" &
    jobs_running="$jobs_running $!"
}
# Waits for job $1 and forgets it (its process id may be reused once it is reaped); answers
# its status.
reaped() {
    wait "$1"
    status=$?
    remaining=
    for pid in $jobs_running; do
        [ "$pid" = "$1" ] || remaining="$remaining $pid"
    done
    jobs_running=$remaining
    return $status
}

# The decompressor is checked before it runs; the archive is checked as it is unpacked (its
# content checksum, which the decompressor holds it to), and nothing it holds runs before the
# whole of it has passed: a cut or damaged file fails here, and what was unpacked goes with
# the private folder. Reading the archive once, rather than once to check it and again to
# unpack it, is what keeps the release's start short. Each step runs in the background and is
# waited for, so a signal is acted on at once rather than when the step ends.
damaged="this file is damaged or incomplete; download it again"
say "Checking and unpacking ${self##*/}..."
dd if="$self" of="$work/.unzstd" bs=4096 skip="$header_bytes" count="$tool_bytes" \
    iflag=skip_bytes,count_bytes 2>/dev/null && chmod 0700 "$work/.unzstd" ||
    die "cannot write into $work"
started sh -c 'exec sha256sum "$1" >"$2"' sh "$work/.unzstd" "$work/.sha256"
reaped $!
read -r sum _ <"$work/.sha256" || sum=
[ "$sum" = "$tool_sha256" ] || die "$damaged (its decompressor's SHA-256 differs)"
offset=$((header_bytes + tool_bytes))
# The decompressor's status: 0 whole, 3 damaged or cut, anything else a failed write.
unpack_status() {
    case $1 in
        0) ;;
        3) die "$damaged (the archive's checksum or length is wrong)" ;;
        *) return 1 ;;
    esac
}
if [ -n "$check_only" ]; then
    started sh -c 'exec "$1" "$2" <"$3" >/dev/null' sh "$work/.unzstd" "$offset" "$self"
    reaped $!
    unpack_status $? || die "the archive could not be read"
    say "The file is whole."
    exit 0
fi

# The archive through the decompressor into tar; both are waited for, so a failed write (a
# full disk) or a damaged archive is seen whichever of the two notices it first. A FIFO hands
# over what the decompressor has written so far, so tar is told to wait for whole records
# (-B).
mkfifo "$work/.archive" || die "cannot write into $work"
folder=${target:-$work/release}
if [ -n "$list_only" ]; then
    started tar -t -v -B -f "$work/.archive"
else
    mkdir -p -- "$folder" || die "cannot write into $work"
    # A folder asked for gets the caller's file mask; the private one stays private.
    started sh -c '[ -z "$3" ] || umask "$3"; exec tar -x -B -f "$1" -C "$2" --no-same-owner' \
        sh "$work/.archive" "$folder" "${target:+$caller_umask}"
fi
tar_job=$!
started sh -c 'exec "$1" "$2" <"$3" >"$4"' sh "$work/.unzstd" "$offset" "$self" "$work/.archive"
reaped $!
unpacked=$?
reaped "$tar_job"
untarred=$?
if ! unpack_status "$unpacked" || [ "$untarred" -ne 0 ]; then
    [ -n "$list_only" ] && die "the archive cannot be read"
    # A folder asked for was empty: what this run put there goes again.
    [ -z "$target" ] || find "$target" -mindepth 1 -delete 2>/dev/null
    die "unpacking failed (is $space full?); nothing was run"
fi
[ -z "$list_only" ] || exit 0

if [ -n "$noexec" ]; then
    say "Unpacked into $folder."
    exit 0
fi
# The wizard runs in the foreground, so Ctrl+C reaches it as it reaches this shell; this
# shell removes the folder once the wizard has ended.
VELMORA_RUN_FOLDER=$run_folder VELMORA_START_FOLDER=$start_folder VELMORA_RELEASE_FOLDER=$folder \
    "$folder/$start_script" "$@"
exit $?
