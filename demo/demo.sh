#!/bin/sh
# Converts a sample folder in the old layout and shows it before and
# after, then shows the refusal of a second run.
# Usage: demo.sh TOOL WORKDIR
set -eu
tool=$1
folder=$2/sample/box/517

show() {
  echo "== $1"
  # shellcheck disable=SC2012 # a listing for a person to read, not parsed
  (cd "$folder" && ls -l | sed 1d)
  for info in "$folder"/*_.dat; do
    echo "-- $(basename "$info"), $(wc -c <"$info") bytes:"
    od -A d -t x1 "$info"
  done
}

rm -rf "$2/sample"
mkdir -p "$folder/00000000"
echo "sample content" >"$folder/00000000/item"
echo "sample data" >"$folder/00000000.dat"
: >"$folder/00000000_.dat"

show "before: an old-layout folder"
echo
echo "\$ folder-migrate $folder 5a"
"$tool" "$folder" 5a
echo "exit status $?"
echo
show "after: entries renamed, header written (flag 1, changed id, mode 2)"
echo
echo "\$ folder-migrate $folder 5a"
status=0
"$tool" "$folder" 5a || status=$?
echo "exit status $status"
[ "$status" -eq 255 ]
