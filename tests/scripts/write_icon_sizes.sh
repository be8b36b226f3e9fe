#!/bin/sh
# loomara-write-icon enlarges the 32 x 32 drawing only by whole factors, up to 512 pixels, block
# by block so that it keeps its palette of inks; any other size is refused and nothing is written.
set -eu
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Width, height, bit depth and colour type from the PNG header; colour type 3 is a palette image.
header() { od -An -tu1 -j16 -N10 "$1" | tr -s ' \n' '  '; }
expect_icon() {
  high=$(($2 / 256))
  low=$(($2 % 256))
  got=$(header "$1")
  case "$got" in
  " 0 0 $high $low 0 0 $high $low "[0-9]" 3 ") ;;
  *)
    echo "FAIL: $1 should be a $2 x $2 palette PNG; its header reads$got"
    exit 1
    ;;
  esac
}

"$tool" "$work/plain.png"
expect_icon "$work/plain.png" 32
for size in 32 64 128 256 512; do
  "$tool" "$work/$size.png" "$size"
  expect_icon "$work/$size.png" "$size"
done
cmp -s "$work/plain.png" "$work/32.png" || {
  echo "FAIL: size 32 is not the drawing as it is"
  exit 1
}
# The studio's icon is drawn and enlarged alike, and is not the designer's.
"$tool" --studio "$work/studio.png" 64
expect_icon "$work/studio.png" 64
if cmp -s "$work/64.png" "$work/studio.png"; then
  echo "FAIL: --studio wrote the designer's icon"
  exit 1
fi

for size in 0 16 31 33 100 544 1024 -32 +64 064 " 64" 64x 0x40 abc ""; do
  status=0
  "$tool" "$work/refused.png" "$size" 2>"$work/err" || status=$?
  if [ "$status" -ne 2 ] || [ -e "$work/refused.png" ] ||
    ! grep -qx "SIZE must be a multiple of 32 from 32 to 512, not $size" "$work/err"; then
    echo "FAIL: size '$size' gave status $status: $(cat "$work/err")"
    exit 1
  fi
done

status=0
"$tool" "$work/no-such-folder/icon.png" 64 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && grep -qx "cannot write $work/no-such-folder/icon.png" "$work/err" || {
  echo "FAIL: writing into a missing folder gave status $status: $(cat "$work/err")"
  exit 1
}
