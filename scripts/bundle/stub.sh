#!/bin/sh
# @TITLE@: the setup wizard and everything it needs beyond the desktop's C library and
# display libraries, as one file. Run it; "--help" lists the options.
#
# This shell header is followed by the release's own decompressor, whose size and SHA-256 the
# header knows, and the program folder as zstd-compressed tar archives, one per part (the
# sizes in part_bytes, one after the other), each of which carries a checksum of its content.
# It needs only a POSIX shell, coreutils and tar.
header_bytes=@HEADER_BYTES@
tool_bytes=@TOOL_BYTES@
tool_sha256=@TOOL_SHA256@
part_bytes='@PART_BYTES@'
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
work= jobs_running= filling_target=
cleanup() {
    trap '' HUP INT QUIT TERM
    [ -z "$jobs_running" ] || kill $jobs_running 2>/dev/null
    wait
    # A folder asked for was empty: what an unpacking that did not pass put there goes again.
    [ -z "$filling_target" ] || find "$target" -mindepth 1 -delete 2>/dev/null
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
# Whether folder $1 holds nothing, by the shell's own patterns (a program started costs more
# than the whole test).
is_empty() {
    for entry in "$1"/* "$1"/.[!.]* "$1"/..?*; do
        [ -e "$entry" ] || [ -L "$entry" ] && return 1
    done
    return 0
}
if [ -n "$target" ]; then
    [ -d "$target" ] || mkdir -p -- "$target" || die "cannot make $target"
    # Its whole path: the shell enters it and comes back ("./" keeps CDPATH out of it).
    case $target in
        /*) ;;
        *) target=./$target ;;
    esac
    cd -- "$target" && target=$PWD && cd -- "$start_folder" || die "cannot enter $target"
    is_empty "$target" || die "$target is not empty"
    space=$target
else
    space=$base
fi
# Room for the unpacked files (each rounded up to whole blocks): $1 is what stat said of the
# file system that is to hold them; dies when it is too little or nothing could be learnt.
need_kib=$((unpacked_kib + tool_bytes / 1024 + 8))
room_check() {
    free_kib=
    case $1 in
        *[!0-9\ ]* | *' '*' '*) ;;
        [0-9]*' '[0-9]*) free_kib=$((${1% *} * ${1#* } / 1024)) ;;
    esac
    [ -n "$free_kib" ] && [ "$free_kib" -ge "$need_kib" ] ||
        die "not enough space in $space: $need_kib KiB needed, ${free_kib:-unknown} KiB free (TMPDIR names another folder)"
}
free_space() { stat -f -c '%a %S' -- "$space" 2>/dev/null; }

# A new private folder (mode 0700, a name no one can guess or take first). Only the caller
# may look into it; the programs set their own file mask. What is unpacked there keeps a
# private file mask; a folder asked for gets the caller's. Where it cannot be made for want
# of room, that is what is said.
[ -n "$target" ] || umask 077
work=$(mktemp -d "$base/velmora-setup.XXXXXXXXXX") || {
    work=
    room_check "$(free_space)"
    die "cannot make a private folder in $base (TMPDIR names another folder)"
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

# The decompressor is checked before it runs; the archive is checked as it is unpacked (each
# part's content checksum, which the decompressor holds it to), and nothing it holds runs
# before every part has passed: a cut or damaged file fails here, and what was unpacked goes
# with the private folder. Reading the archive once, rather than once to check it and again
# to unpack it, is what keeps the release's start short. Each step runs in the background and
# is waited for, so a signal is acted on at once rather than when the step ends.
damaged="this file is damaged or incomplete; download it again"
say "Checking and unpacking ${self##*/}..."
dd if="$self" of="$work/.unzstd" bs=64K skip="$header_bytes" count="$tool_bytes" \
    iflag=skip_bytes,count_bytes 2>/dev/null || {
    room_check "$(free_space)"
    die "cannot write into $work"
}
# The decompressor's checksum and the room left are worked out at the same time (each program
# started costs a few milliseconds), and both are known before anything is unpacked.
sha256sum -- "$work/.unzstd" >"$work/.sha256" &
checksum_job=$!
stat -f -c '%a %S' -- "$space" >"$work/.free" 2>/dev/null &
room_job=$!
jobs_running="$checksum_job $room_job"
chmod 0700 "$work/.unzstd" || die "cannot write into $work"
reaped "$room_job"
read -r free <"$work/.free" || free=
room_check "$free"
reaped "$checksum_job"
read -r sum _ <"$work/.sha256" || sum=
[ "$sum" = "$tool_sha256" ] || die "$damaged (its decompressor's SHA-256 differs)"
# The private folder is the release's folder too.
folder=${target:-$work}

# The parts are unpacked at the same time, each by a decompressor that reads its own frame
# and feeds a tar of its own through a pipe. Every part holds every folder, so each folder
# gets its archived mode whichever part makes it first. The file's size is the sum of its
# pieces; each decompressor holds the file to it.
size=$((header_bytes + tool_bytes))
for length in $part_bytes; do size=$((size + length)); done
# Starts one job per part; $1 says what is done with each: check, list or unpack.
start_parts() {
    part=0 offset=$((header_bytes + tool_bytes))
    for length in $part_bytes; do
        part=$((part + 1))
        case $1 in
            check) "$work/.unzstd" "$offset" "$length" "$size" <"$self" >/dev/null & ;;
            list) "$work/.unzstd" "$offset" "$length" "$size" tar -t -v -B -f - \
                <"$self" >"$work/.list$part" & ;;
            unpack) "$work/.unzstd" "$offset" "$length" "$size" \
                tar -x -B -b 256 -f - -C "$folder" --no-same-owner <"$self" & ;;
        esac
        jobs_running="$jobs_running $!"
        offset=$((offset + length))
    done
}
# Waits for every part. The decompressor's status covers its tar's: 0 both passed, 3 the part
# is damaged or the file cut, anything else a failed write. Answers 0 when every part passed,
# 3 when any is damaged, 1 otherwise.
parts_status() {
    verdict=0
    for job in $jobs_running; do
        reaped "$job"
        case $? in
            0) ;;
            3) verdict=3 ;;
            *) [ "$verdict" = 3 ] || verdict=1 ;;
        esac
    done
    return "$verdict"
}

if [ -n "$check_only" ]; then
    start_parts check
    parts_status
    case $? in
        0) say "The file is whole."; exit 0 ;;
        3) die "$damaged (the archive's checksum or length is wrong)" ;;
        *) die "the archive could not be read" ;;
    esac
fi
if [ -n "$list_only" ]; then
    start_parts list
    parts_status
    case $? in
        0) ;;
        3) die "$damaged (the archive's checksum or length is wrong)" ;;
        *) die "the archive cannot be read" ;;
    esac
    # Every part lists every folder: each line once, in name order.
    LC_ALL=C sort -b -k 6 -u -- "$work"/.list* || die "the archive cannot be read"
    exit 0
fi

filling_target=$target
start_parts unpack
parts_status
case $? in
    0) filling_target= ;;
    3) die "$damaged (the archive's checksum or length is wrong)" ;;
    *) die "unpacking failed (is $space full?); nothing was run" ;;
esac

if [ -n "$noexec" ]; then
    say "Unpacked into $folder."
    exit 0
fi
# The wizard runs in the foreground, so Ctrl+C reaches it as it reaches this shell; this
# shell removes the folder once the wizard has ended.
VELMORA_RUN_FOLDER=$run_folder VELMORA_START_FOLDER=$start_folder VELMORA_RELEASE_FOLDER=$folder \
    "$folder/$start_script" "$@"
exit $?
