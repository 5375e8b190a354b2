#!/usr/bin/env bash
# Packs a staged program folder into a one-file release: the shell header (stub.sh) with its
# fields filled in, the decompressor, and the folder as zstd-compressed tar archives, one per
# part, which the header unpacks at the same time.
#
#   pack.sh --stage DIR --start SCRIPT --title TEXT --epoch SECONDS --unzstd FILE --out FILE
#           [--parts N]
#
# SCRIPT is the file in DIR the header runs after unpacking. The files are shared among N
# parts (2 unless told) by size: largest first, each to the part that holds the fewest bytes
# so far, the first such part on a tie, equal sizes in name order; so the parts take about as
# long to unpack, and the sharing depends on names and sizes alone. Every part holds every
# folder, so a folder gets its archived mode and time whichever part makes it first. The same
# folder gives the same bytes whoever packs it, wherever and whenever: members in name order,
# owned by 0:0, every member's time the epoch, modes as staged less write permission for group
# and others, and zstd's multi-threaded format, which does not depend on the number of cores.
# Each part is one zstd frame with a checksum of its content, the release's integrity check,
# at level 17 with a 1 MiB window: the decoder's window then stays in the processor's caches,
# two decoders at once included, and unpacking is faster than with the level's own 8 MiB.
set -euo pipefail
# "&" in a replacement text is that text, not the matched pattern (bash 5.2 would expand it).
shopt -u patsub_replacement 2>/dev/null || true

die() { echo "pack: $*" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)

stage= start= title= epoch= unzstd= out= parts=2
while [ $# -gt 0 ]; do
    case "$1" in
        --stage) stage=$2; shift 2 ;;
        --start) start=$2; shift 2 ;;
        --title) title=$2; shift 2 ;;
        --epoch) epoch=$2; shift 2 ;;
        --unzstd) unzstd=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        --parts) parts=$2; shift 2 ;;
        *) die "unknown argument $1" ;;
    esac
done
for need in stage start title epoch unzstd out; do
    [ -n "${!need}" ] || die "--$need is missing"
done
[[ $epoch =~ ^[0-9]+$ ]] || die "--epoch must be seconds since 1970, not $epoch"
[[ $parts =~ ^[1-9]$ ]] || die "--parts must be 1 to 9, not $parts"
[[ $start =~ ^[A-Za-z0-9._-]+$ ]] || die "--start must be a plain file name, not $start"
[[ $title != *"'"* ]] || die "--title may not hold a quote"
[ -x "$stage/$start" ] || die "$stage/$start is not a program"
[ -x "$unzstd" ] || die "no decompressor at $unzstd"
for tool in zstd tar sha256sum; do
    command -v "$tool" >/dev/null || die "$tool is not installed (bash scripts/setup.sh installs it)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The room the unpacked files take: each file and folder rounded up to whole 4 KiB blocks.
unpacked_kib=$(find "$stage" -printf '%s\n' | {
    total=0
    while read -r size; do total=$((total + (size + 4095) / 4096 * 4)); done
    echo "$total"
})

# Every member in the order tar's --sort=name gives (a folder, then its entries in byte order,
# all of a folder's entries before the next name): sorted path component by component, so
# "lib/x" comes before "lib-y".
export LC_ALL=C
depth=$(find "$stage" -printf '%d\n' | sort -n | tail -n 1)
keys=()
for ((field = 1; field <= depth + 1; field++)); do keys+=(-k "$field,$field"); done
members=()
while IFS= read -r -d '' name; do
    members+=("$name")
done < <(cd "$stage" && find . -print0 | sort -z -t / "${keys[@]}")

# Which part each file goes to: largest first, each to the part that holds the fewest bytes.
declare -A part_of=()
totals=()
for ((part = 0; part < parts; part++)); do totals[part]=0; done
while IFS= read -r -d '' entry; do
    size=${entry%% *} name=${entry#* }
    least=0
    for ((part = 1; part < parts; part++)); do
        ((totals[part] < totals[least])) && least=$part
    done
    part_of[$name]=$least
    totals[least]=$((totals[least] + size))
done < <(cd "$stage" && find . ! -type d -printf '%s %p\0' | sort -z -k1,1nr -k2)

part_bytes=
for ((part = 0; part < parts; part++)); do
    : >"$work/list$part"
    for name in "${members[@]}"; do
        if [ -d "$stage/$name" ] && [ ! -L "$stage/$name" ]; then
            printf '%s\0' "$name" >>"$work/list$part"
        elif [ "${part_of[$name]}" = "$part" ]; then
            printf '%s\0' "$name" >>"$work/list$part"
        fi
    done
    tar --format=gnu --owner=0 --group=0 --numeric-owner --mtime="@$epoch" --mode=go-w \
        --no-acls --no-xattrs --no-selinux -C "$stage" --null --no-recursion \
        --verbatim-files-from -T "$work/list$part" -cf - |
        zstd -17 --zstd=wlog=20 -T0 --check -q -c >"$work/part$part"
    part_bytes="$part_bytes${part_bytes:+ }$(stat -c %s "$work/part$part")"
done

# The header's own length is one of its fields: it is filled in until the length it names
# is the length it has.
tool_bytes=$(stat -c %s "$unzstd")
tool_sha256=$(sha256sum <"$unzstd" | cut -d' ' -f1)
stub=$(cat "$here/stub.sh"; echo x)
stub=${stub%x}
stub=${stub//@TITLE@/$title}
stub=${stub//@TOOL_BYTES@/$tool_bytes}
stub=${stub//@TOOL_SHA256@/$tool_sha256}
stub=${stub//@PART_BYTES@/$part_bytes}
stub=${stub//@UNPACKED_KIB@/$unpacked_kib}
stub=${stub//@START_SCRIPT@/$start}
header_bytes=0
while :; do
    header=${stub//@HEADER_BYTES@/$header_bytes}
    length=$(printf '%s' "$header" | LC_ALL=C wc -c)
    [ "$length" -ne "$header_bytes" ] || break
    header_bytes=$length
done

mkdir -p "$(dirname "$out")"
{
    printf '%s' "$header"
    cat "$unzstd"
    for ((part = 0; part < parts; part++)); do cat "$work/part$part"; done
} >"$out.part"
chmod 0755 "$out.part"
mv -f "$out.part" "$out"
echo "$((unpacked_kib / 1024))"
