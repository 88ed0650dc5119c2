#!/bin/sh
# Builds the release tool (static) and a dynamically linked one, then
# converts N folders (default 1000) with each and with the shell
# baseline, on tmpfs and on the working disk.
# Usage: bench/run.sh [N]
set -eu
cd "$(dirname "$0")/.."
n=${1:-1000}

cmake --preset release >/dev/null
cmake --build --preset release --target folder-migrate folder-migrate-bench >/dev/null
cmake --preset release -B build-release-dynamic -DFOLDER_MIGRATE_STATIC=OFF >/dev/null
cmake --build build-release-dynamic --target folder-migrate -j 2 >/dev/null

echo "machine: $(nproc) cores, $(uname -srm)"
echo "tool: $(file -b build-release/folder-migrate | grep -o "[a-z]*ally linked")"
for where in /dev/shm "$PWD/build-release"; do
  build-release/folder-migrate-bench "$where" "$n" \
    static=build-release/folder-migrate \
    dynamic=build-release-dynamic/folder-migrate \
    "shell=sh bench/baseline.sh"
done
