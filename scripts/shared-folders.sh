#!/usr/bin/env bash
# Guards the machine the tests run on: records the mode and owner of the folders that are
# not the tests' own (the file-system top levels, /tmp and what already was in it, the
# checkout's parents) and, after the tests, fails when any of them changed. A test that
# loosens or tightens /tmp breaks every later program that makes files there.
#
#   shared-folders.sh snapshot FILE     write the list
#   shared-folders.sh compare FILE      exit 1, naming each folder, when a mode or owner differs
set -euo pipefail
export LC_ALL=C

list() {
    local tree
    tree=$(cd "$(dirname "$0")/.." && pwd -P)
    {
        find / -maxdepth 3 \( -path /proc -o -path /sys -o -path /dev -o -path "$tree" \) -prune \
            -o -type d -printf '%m\t%U\t%G\t%p\n' 2>/dev/null
        find /dev/shm /tmp /var/tmp -maxdepth 1 -type d -printf '%m\t%U\t%G\t%p\n' 2>/dev/null
        local up="$tree"
        while [ "$up" != / ]; do
            up=$(dirname "$up")
            stat -c $'%a\t%u\t%g\t%n' "$up"
        done
    } | sort -t $'\t' -u -k4
}

case "${1:-}" in
snapshot)
    list >"$2"
    ;;
compare)
    # Folders that went away (a test's own, or another program's) are not compared; a folder
    # that is still there must have kept its mode and owner.
    changed=$(join -t $'\t' -1 4 -2 4 -o 1.4,1.1,1.2,1.3,2.1,2.2,2.3 <(sort -t $'\t' -k4 "$2") \
        <(list | sort -t $'\t' -k4) |
        awk -F '\t' '$2 != $5 || $3 != $6 || $4 != $7 {
                 printf "  %s: mode %s owner %s:%s became mode %s owner %s:%s\n",
                        $1, $2, $3, $4, $5, $6, $7 }')
    if [ -n "$changed" ]; then
        echo "The tests changed folders that are not theirs:" >&2
        echo "$changed" >&2
        exit 1
    fi
    ;;
*)
    echo "usage: $0 snapshot|compare FILE" >&2
    exit 2
    ;;
esac
