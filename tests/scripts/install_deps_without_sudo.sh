#!/bin/sh
# install-deps run by a user who is not root, on a machine without sudo where packages are
# missing: it names them and the command to run as root, and stops without calling apt-get.
set -eu
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
ln -s "$(command -v bash)" "$fake/bash"
ln -s "$(command -v grep)" "$fake/grep"
printf '#!/bin/sh\necho 1000\n' >"$fake/id"
printf '#!/bin/sh\nexit 1\n' >"$fake/dpkg-query"
printf '#!/bin/sh\ntouch "%s/apt-get-ran"\n' "$fake" >"$fake/apt-get"
chmod +x "$fake/id" "$fake/dpkg-query" "$fake/apt-get"

status=0
PATH=$fake "$1" >"$fake/out" 2>&1 || status=$?
cat "$fake/out"
[ "$status" -ne 0 ]
grep -q '^Missing packages: g++ make cmake ' "$fake/out"
grep -q '^  apt-get update && apt-get install -y --no-install-recommends g++ make cmake ' "$fake/out"
[ ! -e "$fake/apt-get-ran" ]
