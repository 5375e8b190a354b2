#!/bin/sh
# Proves the one-file release's header on every way out, with the tools of the system it runs
# on: a file damaged, cut or lengthened in either part of its archive, too little space, a
# disk that fills while unpacking, Ctrl+C during the integrity check, a signal to the header
# alone while it unpacks, and names put in the way by another account; and that the parts,
# unpacked at the same time, give every folder its archived mode and time. Each case must end
# with the right status and message, leave nothing in the folder it unpacks in, and leave no
# process behind. Run as root (two accounts
# are needed: the person running the release is nobody, the other account uid 4242).
#
#   check-launcher.sh RELEASE SMALL_FOLDER
#
# SMALL_FOLDER is an empty folder on a file system with less room than the release needs
# unpacked (a tmpfs of a few MiB). Prints one line per case; exit 0 when all pass, 1 otherwise.
set -u
release=$1 small=$2
failures=0
person=65534
other=4242

work=$(mktemp -d /tmp/velmora-launcher-check.XXXXXX) || exit 1
trap 'rm -rf "$work"' EXIT
chmod 0755 "$work"
# The copies the cases run are nobody's to read.
cp "$release" "$work/release.run"
chmod 0755 "$work/release.run"

pass() { echo "check-launcher: ok: $*"; }
fail() { echo "check-launcher: FAILED: $*"; failures=$((failures + 1)); }

# A fresh folder to unpack in, as /tmp is: anyone may make entries, only their own.
fresh_tmp() {
    rm -rf "$work/tmp"
    mkdir -m 1777 "$work/tmp"
}
leftovers() { ls -A "$1"; }

# Runs the release at path $1 as nobody with TMPDIR $2 and the rest as its arguments; the
# status goes to $work/status, standard error to $work/err.
as_person() {
    file=$1 tmpdir=$2
    shift 2
    setpriv --reuid=$person --regid=$person --clear-groups \
        env -i PATH="${shim:+$shim:}/usr/bin:/bin" TMPDIR="$tmpdir" HOME=/nonexistent \
        sh -c 'cd /; umask 022; exec "$@"' sh "$file" "$@" >"$work/out" 2>"$work/err"
    echo $? >"$work/status"
}

# The header's own fields: where the decompressor ends and each part of the archive begins.
field() { LC_ALL=C grep -a -m1 "^$1=" "$work/release.run" | sed "s/^$1=//; s/'//g"; }
header_bytes=$(field header_bytes) tool_bytes=$(field tool_bytes) part_bytes=$(field part_bytes)
set -- $part_bytes
part_count=$# first_part=$((header_bytes + tool_bytes)) first_bytes=${1:-0}
release_bytes=$(stat -c %s "$work/release.run")

# A copy of the release in $1 with the byte at offset $2 changed.
damaged_copy() {
    cp "$work/release.run" "$1"
    byte=$(dd if="$1" bs=1 skip="$2" count=1 2>/dev/null | od -An -tu1 | tr -d ' ')
    printf "$(printf '\\%03o' $(((byte + 1) % 256)))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc 2>/dev/null
}

# 1. The whole file passes its own check and makes nothing.
shim=
fresh_tmp
as_person "$work/release.run" "$work/tmp" --check
if [ "$part_count" -ge 2 ] && [ "$(cat "$work/status")" = 0 ] && [ -z "$(leftovers "$work/tmp")" ]; then
    pass "the whole file passes its check and leaves nothing ($part_count parts)"
else
    fail "--check of the whole file: status $(cat "$work/status"), left $(leftovers "$work/tmp"), parts '$part_bytes'"
fi

# 2. A changed byte in either part, a file cut inside either part and a file with bytes added
# are refused before anything runs, whatever the other part holds, and leave nothing; so is a
# damaged file unpacked into a folder asked for, which is left empty again.
damaged_copy "$work/first-changed.run" $((first_part + first_bytes / 2))
damaged_copy "$work/second-changed.run" $((release_bytes - 1000))
head -c $((first_part + first_bytes / 2)) "$work/release.run" >"$work/first-cut.run"
head -c $((release_bytes - 4096)) "$work/release.run" >"$work/second-cut.run"
{ cat "$work/release.run"; printf 'more'; } >"$work/lengthened.run"
chmod 0755 "$work"/*-changed.run "$work"/*-cut.run "$work/lengthened.run"
for copy in first-changed second-changed first-cut second-cut lengthened; do
    for where in private target; do
        fresh_tmp
        if [ "$where" = target ]; then
            as_person "$work/$copy.run" "$work/tmp" --target "$work/tmp/asked" -- --tour \
                --out /nonexistent
            left=$(leftovers "$work/tmp/asked"; leftovers "$work/tmp" | grep -vx asked)
        else
            as_person "$work/$copy.run" "$work/tmp" -- --tour --out /nonexistent
            left=$(leftovers "$work/tmp")
        fi
        if [ "$(cat "$work/status")" = 1 ] && grep -q 'damaged or incomplete' "$work/err" &&
            [ -z "$left" ]; then
            pass "a file with $copy is refused and leaves nothing ($where folder)"
        else
            fail "a file with $copy ($where folder): status $(cat "$work/status"), said '$(cat "$work/err")', left $left"
        fi
    done
done

# 2b. Unpacked into a folder asked for, every folder has its archived mode (less the caller's
# file mask) and every member the archive's time, although the parts were unpacked at the
# same time into the same folders: a part that wrote into a folder after another part had
# given it its time would leave the time of the writing.
fresh_tmp
as_person "$work/release.run" "$work/tmp" --quiet --noexec --target "$work/tmp/asked"
modes=$(find "$work/tmp/asked" -type d -printf '%m\n' | sort -u)
times=$(find "$work/tmp/asked" -printf '%T@\n' | sort -u)
listed=$(find "$work/tmp/asked" | wc -l)
folders=$(find "$work/tmp/asked" -type d | wc -l)
if [ "$(cat "$work/status")" = 0 ] && [ "$modes" = 755 ] && [ "$(echo "$times" | wc -l)" = 1 ] &&
    [ "$listed" -gt 20 ]; then
    pass "both parts unpack into the same folders with their archived modes and times"
else
    fail "unpacked folders: status $(cat "$work/status"), folder modes '$modes', times '$times', said '$(cat "$work/err")'"
fi

# 3. Too little room: refused before anything is written.
as_person "$work/release.run" "$small" -- --tour --out /nonexistent
if [ "$(cat "$work/status")" = 1 ] && grep -q 'not enough space' "$work/err" &&
    [ -z "$(leftovers "$small")" ]; then
    pass "too little room is refused and leaves nothing"
else
    fail "too little room: status $(cat "$work/status"), said '$(cat "$work/err")', left $(leftovers "$small")"
fi

# 4. A disk that fills while unpacking (the header here claims a tiny size, which its
# checksum does not cover): the unpacking fails and everything it wrote goes.
cp "$work/release.run" "$work/lying.run"
found=$(LC_ALL=C grep -a -b -o -m1 '^unpacked_kib=[0-9]*' "$work/release.run")
# The same length, or nothing after the header would be found where it says.
offset=${found%%:*} text=${found#*:}
claim=unpacked_kib=1
while [ ${#claim} -lt ${#text} ]; do claim="$claim "; done
printf '%s' "$claim" | dd of="$work/lying.run" bs=1 seek="$offset" conv=notrunc 2>/dev/null
chmod 0755 "$work/lying.run"
if [ -z "$found" ] || ! grep -q -a '^unpacked_kib=1 ' "$work/lying.run"; then
    fail "could not make a copy claiming a smaller size"
else
    as_person "$work/lying.run" "$small" -- --tour --out /nonexistent
    if [ "$(cat "$work/status")" = 1 ] && grep -q 'unpacking failed' "$work/err" &&
        [ -z "$(leftovers "$small")" ]; then
        pass "a disk that fills while unpacking leaves nothing"
    else
        fail "a full disk while unpacking: status $(cat "$work/status"), said '$(cat "$work/err")', left $(leftovers "$small")"
    fi
fi

# Starts the release as nobody in a session of its own (its own process group, as a shell
# gives a command), with SIGINT and SIGQUIT acted on as they are in a terminal (a background
# job of this script would ignore them); answers its process id in $started.
start_person() {
    file=$1 tmpdir=$2
    shift 2
    setpriv --reuid=$person --regid=$person --clear-groups \
        env -i --default-signal=INT,QUIT PATH="$shim:/usr/bin:/bin" TMPDIR="$tmpdir" \
        HOME=/nonexistent setsid sh -c 'cd /; exec "$@"' sh "$file" "$@" >"$work/out" 2>"$work/err" &
    started=$!
}
# Waits up to $2 tenths of a second for file $1 to exist.
await() {
    i=0
    while [ ! -e "$1" ] && [ $i -lt "$2" ]; do sleep 0.1; i=$((i + 1)); done
    [ -e "$1" ]
}
# Waits up to 5 s for process $1 to end; its status goes to $work/status.
await_end() {
    i=0
    while kill -0 "$1" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
    if kill -0 "$1" 2>/dev/null; then
        echo running >"$work/status"
        kill -s KILL -- "-$1" 2>/dev/null
    fi
    wait "$1"
    echo $? >"$work/status"
}
# A stand-in for command $1 that says it started, then waits a minute.
make_shim() {
    rm -rf "$work/shim"
    mkdir "$work/shim"
    printf '#!/bin/sh\n: >%s/%s.started\nexec sleep 60\n' "$work/marks" "$1" >"$work/shim/$1"
    chmod 0755 "$work/shim/$1"
    rm -rf "$work/marks"
    mkdir -m 0777 "$work/marks"
    shim=$work/shim
}
# Whether any process of group $1 is left.
group_left() { kill -s 0 -- "-$1" 2>/dev/null; }

# 5. Ctrl+C during the integrity check: the whole group gets SIGINT; the header must stop
# the check at once and leave nothing.
make_shim sha256sum
fresh_tmp
start_person "$work/release.run" "$work/tmp" -- --tour --out /nonexistent
if await "$work/marks/sha256sum.started" 100; then
    kill -s INT -- "-$started"
    await_end "$started"
    if [ "$(cat "$work/status")" = 130 ] && [ -z "$(leftovers "$work/tmp")" ] &&
        ! group_left "$started"; then
        pass "Ctrl+C during the integrity check ends it at once and leaves nothing"
    else
        fail "Ctrl+C during the integrity check: status $(cat "$work/status"), left $(leftovers "$work/tmp")"
    fi
else
    fail "the integrity check never started"
    kill -s KILL -- "-$started" 2>/dev/null
fi

# 6. A signal to the header alone while it unpacks (a session closing, kill PID).
make_shim tar
fresh_tmp
start_person "$work/release.run" "$work/tmp" -- --tour --out /nonexistent
if await "$work/marks/tar.started" 100; then
    kill -TERM "$started"
    await_end "$started"
    if [ "$(cat "$work/status")" = 143 ] && [ -z "$(leftovers "$work/tmp")" ] &&
        ! group_left "$started"; then
        pass "a signal while unpacking ends it at once and leaves nothing"
    else
        fail "a signal while unpacking: status $(cat "$work/status"), left $(leftovers "$work/tmp")"
    fi
else
    fail "the unpacking never started"
    kill -s KILL -- "-$started" 2>/dev/null
fi

# 6b. The same into a folder asked for, once the parts have begun to write there: the folder
# is left as empty as it was found.
rm -rf "$work/shim"
mkdir "$work/shim"
cat >"$work/shim/tar" <<SHIM
#!/bin/sh
while [ \$# -gt 0 ]; do
    [ "\$1" != -C ] || : >"\$2/partial.\$\$"
    shift
done
: >"$work/marks/tar.started"
exec sleep 60
SHIM
chmod 0755 "$work/shim/tar"
rm -rf "$work/marks"
mkdir -m 0777 "$work/marks"
shim=$work/shim
fresh_tmp
start_person "$work/release.run" "$work/tmp" --target "$work/tmp/asked" -- --tour --out /nonexistent
if await "$work/marks/tar.started" 100; then
    sleep 0.2
    kill -TERM "$started"
    await_end "$started"
    left=$(leftovers "$work/tmp/asked"; leftovers "$work/tmp" | grep -vx asked)
    if [ "$(cat "$work/status")" = 143 ] && [ -z "$left" ] && ! group_left "$started"; then
        pass "a signal while unpacking into a folder asked for leaves it empty"
    else
        fail "a signal while unpacking into a folder asked for: status $(cat "$work/status"), left $left"
    fi
else
    fail "the unpacking into a folder asked for never started"
    kill -s KILL -- "-$started" 2>/dev/null
fi

# 7. Another account fills the shared folder with names first (the names the archive tool
# used to take, and names of this header's pattern, folders and links): the release still
# unpacks into a folder of its own that only its person may enter, and leaves the other
# account's entries as they were.
fresh_tmp
# In a fresh process-id namespace (the plain system's sandbox) the release's process ids are
# among the first two thousand.
setpriv --reuid=$other --regid=$other --clear-groups sh -c '
    cd "$1" || exit 1
    mkdir decoy
    names= i=1
    while [ $i -le 2000 ]; do names="$names selfgz$i"; i=$((i + 1)); done
    i=1
    while [ $i -le 200 ]; do names="$names velmora-setup.$i"; i=$((i + 1)); done
    mkdir $names
    for i in 1 2 3 4 5 6 7 8 9; do ln -s decoy "velmora-setup.link$i"; done' sh "$work/tmp"
ls -l "$work/tmp" >"$work/before"
rm -rf "$work/shim"
mkdir "$work/shim"
# tar shows the folder its listing goes to, as the release made it, then does its work.
cat >"$work/shim/tar" <<SHIM
#!/bin/sh
listing=\$(readlink /proc/\$\$/fd/1)
stat -c '%a %u %n' "\${listing%/*}" >>"$work/marks/folders"
PATH=/usr/bin:/bin exec tar "\$@"
SHIM
chmod 0755 "$work/shim/tar"
rm -rf "$work/marks"
mkdir -m 0777 "$work/marks"
shim=$work/shim
as_person "$work/release.run" "$work/tmp" --list
ls -l "$work/tmp" >"$work/after"
# Each part's tar lists into the same folder.
folder=$(sort -u "$work/marks/folders" 2>/dev/null)
case $folder in
    "700 $person $work/tmp/velmora-setup."??????????) private=yes ;;
    *) private=no ;;
esac
if [ "$(cat "$work/status")" = 0 ] && [ "$private" = yes ] && cmp -s "$work/before" "$work/after"; then
    pass "names put first by another account block nothing; the folder was private ($folder)"
else
    fail "names put first by another account: status $(cat "$work/status"), folder '$folder', said '$(cat "$work/err")'"
fi
# Its listing names every member once, though each part holds every folder.
twice=$(sort "$work/out" | uniq -d)
if [ -z "$twice" ] && [ "$(grep -c '^d' "$work/out")" = "$folders" ] &&
    [ "$(wc -l <"$work/out")" = "$listed" ]; then
    pass "the listing names each of the $listed members once"
else
    fail "the listing: $(wc -l <"$work/out") lines for $listed members, folders listed twice: $twice"
fi

[ "$failures" -eq 0 ] || exit 1
echo "check-launcher: all cases passed"
