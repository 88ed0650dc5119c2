#!/bin/sh
# The same conversion as a plain POSIX shell script with mv -n, od and
# dd: what a user would otherwise write, kept as the benchmark's
# baseline.  Handles the ordinary cases only: a unique id of at most
# eight hex digits with bit 23 clear, and a target whose last path
# component is its directory number.
# Usage: baseline.sh TARGET UNIQUE-ID
set -eu
dir=$1
[ -d "$dir" ] || { printf 'Error.\nCannot open dir : %s\n' "$dir"; exit 255; }
id=$((0x$2))
[ "$id" -ne 0 ] || { printf 'Error.\nInvalid UniqueId : %s\n' "$2"; exit 255; }
text=$(printf '%08x' "$id")

mode=1
if [ ! -d "$dir/$text" ]; then
  mode=2
  for suffix in "" .dat _.dat; do
    # mv -n succeeds silently when the new name exists: check the result.
    mv -n "$dir/00000000$suffix" "$dir/$text$suffix" 2>/dev/null || true
    if [ -e "$dir/00000000$suffix" ] || [ ! -e "$dir/$text$suffix" ]; then
      printf 'Error.\nBroken data or wrong uniqueId.\n'
      exit 255
    fi
  done
fi

info=$dir/$text"_.dat"
[ -f "$info" ] || { printf 'Error.\nBroken data.\n'; exit 255; }
flag=$(od -A n -t u1 -N 1 "$info" | tr -d ' ')
if [ -n "$flag" ] && [ "$flag" -ne 0 ]; then
  printf 'Error.\nAlready new version.\n'
  exit 255
fi

number=${dir##*/}
low=$(( ((id << 8) & 0xffffffff) ^ (number & 0xffffffff) ^ 0x2B6D81A4 ))
high=$(( 0x00040000 ^ ((number >> 32) & 0xffffffff) ^ 0x913E0C7B ))

# Bytes as printf %b escapes, least significant first.
bytes() {
  value=$1
  i=0
  while [ $i -lt 4 ]; do
    printf '\\0%03o' $(( (value >> (8 * i)) & 255 ))
    i=$((i + 1))
  done
}
body="$(bytes "$low")$(bytes "$high")$(bytes "$mode")$(bytes 0)"
printf '%b' "$body" | dd of="$info" bs=1 seek=8 conv=notrunc,fsync status=none
printf '\001' | dd of="$info" bs=1 seek=0 conv=notrunc,fsync status=none
