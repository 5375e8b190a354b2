#!/usr/bin/env bash
# Makes a smaller ICU data library for the one-file release: the same file name, soname and
# symbol (icudt<N>_dat) as the build machine's libicudata, holding only the data items the
# programs open. Qt's core library links ICU, so the library must exist; of its 31 MB only
# collation is used (QCollator, which sorts names in the folder dialog in the desktop's
# language). Every other item (time-zone names, currencies, units, converters, break
# rules...) is a lookup the programs never make; ICU answers a missing item with an error
# code that the callers already handle.
#
#   icu-data.sh LIBICUDATA OUT_LIBICUDATA PATTERN...
#
# PATTERNs are shell patterns matched against the item names "icupkg -l" prints
# ("coll/*", "cnvalias.icu"). Same input, same patterns -> same bytes.
set -euo pipefail

die() { echo "icu-data: $*" >&2; exit 1; }
[ $# -ge 3 ] || die "usage: icu-data.sh LIBICUDATA OUT_LIBICUDATA PATTERN..."
library=$1 out=$2
shift 2
for tool in icupkg objcopy nm cc; do
    command -v "$tool" >/dev/null || die "$tool is not installed (bash scripts/setup.sh installs it)"
done

# The data is one symbol spanning the library's whole read-only data section.
symbol=$(nm -D --defined-only "$library" | sed -n 's/^[0-9a-f]* R \(icudt[0-9]*_dat\)$/\1/p')
[ -n "$symbol" ] || die "$library exports no icudt<N>_dat symbol"
package=${symbol%_dat}l
soname=$(objdump -p "$library" | sed -n 's/^ *SONAME *//p')
[ -n "$soname" ] || die "$library has no soname"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# icupkg wants a package's file named as the package.
mkdir "$work/in"
objcopy -O binary --only-section=.rodata "$library" "$work/in/$package.dat"
icupkg -l "$work/in/$package.dat" >"$work/all" || die "$library holds no ICU data package $package"

: >"$work/keep.txt"
while read -r item; do
    for pattern in "$@"; do
        # shellcheck disable=SC2053 # the pattern is a pattern
        if [[ $item == $pattern ]]; then
            echo "$item" >>"$work/keep.txt"
            break
        fi
    done
done <"$work/all"
[ -s "$work/keep.txt" ] || die "no item matches $*"
mkdir "$work/items"
icupkg -d "$work/items" -x "$work/keep.txt" "$work/in/$package.dat"
# "new" starts an empty package; its name comes from the output file's name. A list must
# end in .txt, or it is taken for an item.
icupkg -s "$work/items" -a "$work/keep.txt" new "$work/$package.dat"

cat >"$work/data.S" <<ASM
    .section .rodata
    .globl $symbol
    .type $symbol, @object
    .balign 16
$symbol:
    .incbin "$work/$package.dat"
    .size $symbol, . - $symbol
    .section .note.GNU-stack, "", @progbits
ASM
cc -shared -nostdlib -Wl,-soname,"$soname" -Wl,--build-id=sha1 -o "$out" "$work/data.S"
echo "icu-data: $(wc -l <"$work/keep.txt") of $(wc -l <"$work/all") items," \
    "$(stat -c %s "$work/$package.dat") of $(stat -c %s "$work/in/$package.dat") bytes"
