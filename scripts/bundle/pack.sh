#!/usr/bin/env bash
# Packs a staged program folder into a one-file release: the shell header (stub.sh) with its
# fields filled in, the decompressor, and the folder as a zstd-compressed tar archive.
#
#   pack.sh --stage DIR --start SCRIPT --title TEXT --epoch SECONDS --unzstd FILE --out FILE
#
# SCRIPT is the file in DIR the header runs after unpacking. The same folder gives the same
# bytes whoever packs it, wherever and whenever: members in name order, owned by 0:0, every
# member's time the epoch, modes as staged less write permission for group and others, and
# zstd's multi-threaded format, which does not depend on the number of cores. The archive is
# one zstd frame with a checksum of its content, the release's integrity check.
set -euo pipefail
# "&" in a replacement text is that text, not the matched pattern (bash 5.2 would expand it).
shopt -u patsub_replacement 2>/dev/null || true

die() { echo "pack: $*" >&2; exit 1; }
here=$(cd "$(dirname "$0")" && pwd)

stage= start= title= epoch= unzstd= out=
while [ $# -gt 0 ]; do
    case "$1" in
        --stage) stage=$2; shift 2 ;;
        --start) start=$2; shift 2 ;;
        --title) title=$2; shift 2 ;;
        --epoch) epoch=$2; shift 2 ;;
        --unzstd) unzstd=$2; shift 2 ;;
        --out) out=$2; shift 2 ;;
        *) die "unknown argument $1" ;;
    esac
done
for need in stage start title epoch unzstd out; do
    [ -n "${!need}" ] || die "--$need is missing"
done
[[ $epoch =~ ^[0-9]+$ ]] || die "--epoch must be seconds since 1970, not $epoch"
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
tar --sort=name --format=gnu --owner=0 --group=0 --numeric-owner --mtime="@$epoch" \
    --mode=go-w --no-acls --no-xattrs --no-selinux -C "$stage" -cf - . |
    zstd -16 -T0 --check -q -c >"$work/archive"

# The header's own length is one of its fields: it is filled in until the length it names
# is the length it has.
tool_bytes=$(stat -c %s "$unzstd")
tool_sha256=$(sha256sum <"$unzstd" | cut -d' ' -f1)
stub=$(cat "$here/stub.sh"; echo x)
stub=${stub%x}
stub=${stub//@TITLE@/$title}
stub=${stub//@TOOL_BYTES@/$tool_bytes}
stub=${stub//@TOOL_SHA256@/$tool_sha256}
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
{ printf '%s' "$header"; cat "$unzstd" "$work/archive"; } >"$out.part"
chmod 0755 "$out.part"
mv -f "$out.part" "$out"
echo "$((unpacked_kib / 1024))"
