#!/bin/sh
# The .deb that make package built carries exactly the files a Debian desktop expects, owned by
# root with the usual modes, each naming the package's version where it names one; its copyright
# file names the program's licence and the reference lists' own; and its Depends line names exactly
# the packages that own the libraries its programs link, no more, no fewer.
# Exits 77 (skipped) where dpkg-deb is missing or no package of this version was built: building
# one is make package's job, never the test run's.
# usage: package_contents.sh DEB-OR-FOLDER VERSION PROGRAM...
set -eu
skipped=77
target=$1
version=$2
shift 2

for tool in dpkg-deb dpkg-query objdump ldd; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "$tool is not installed: skipped"
    exit $skipped
  fi
done
deb=$target
if [ ! -e "$target" ]; then
  echo "$target does not exist (make package builds a package there): skipped"
  exit $skipped
fi
if [ -d "$target" ]; then
  deb=
  for candidate in "$target"/loomara_"$version"_*.deb; do
    if [ -f "$candidate" ]; then
      deb=$candidate
    fi
  done
  if [ -z "$deb" ]; then
    echo "no loomara_${version}_*.deb in $target (make package builds one): skipped"
    exit $skipped
  fi
fi
echo "checking $deb"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = loomara ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
  fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = graphics ] || fail "Section is '$(field Section)'"
field Maintainer | grep -q '^[^<]\+ <[^@ ]\+@[^> ]\+>$' || fail "Maintainer is '$(field Maintainer)'"

# Every entry: a folder or a plain file, root's, with the modes Debian expects.
dpkg-deb -c "$deb" >"$work/listing"
while read -r mode owner _size _date _time path rest; do
  [ -z "$rest" ] || fail "$path is a link ($rest)"
  [ "$owner" = root/root ] || fail "$path belongs to $owner"
  case "$mode:$path" in
  drwxr-xr-x:*/) ;;
  -rwxr-xr-x:./usr/bin/*) ;;
  -rw-r--r--:./usr/share/*) ;;
  *) fail "$path has mode $mode" ;;
  esac
done <"$work/listing"

# The programs with a window of their own each bring a desktop entry, icons and a metainfo file.
windowed=
for program in "$@"; do
  case "$program" in
  loomara | loomara-studio) windowed="$windowed $program" ;;
  esac
done
sed -n 's|^.* \(\./usr/share/metainfo/[^/]*\.metainfo\.xml\)$|\1|p' "$work/listing" >"$work/metainfo"
{
  for program in "$@"; do
    echo "./usr/bin/$program"
    echo "./usr/share/man/man1/$program.1.gz"
  done
  for program in $windowed; do
    echo "./usr/share/applications/$program.desktop"
    for size in 32 64 128 256; do
      echo "./usr/share/icons/hicolor/${size}x${size}/apps/$program.png"
    done
  done
  echo ./usr/share/doc/loomara/changelog.gz
  echo ./usr/share/doc/loomara/copyright
  echo ./usr/share/doc/loomara/reference/LICENSE
  echo ./usr/share/doc/loomara/reference/NOTICE
  # Their names are the metainfo ids, checked below with their number.
  cat "$work/metainfo"
} | sort >"$work/expected"
[ "$(grep -c . "$work/metainfo")" -eq "$(echo $windowed | wc -w)" ] ||
  fail "the metainfo files are not one for each of$windowed: $(cat "$work/metainfo")"
grep -v '/$' "$work/listing" | sed 's/.* //' | sort >"$work/files"
if ! diff -u "$work/expected" "$work/files" >"$work/diff"; then
  fail "the files differ from the expected list (- expected, + in the package):"
  cat "$work/diff"
fi

# Each icon is as large as the folder it lies in says (the width and height in the PNG header).
for program in $windowed; do
  for size in 32 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$program.png
    [ -f "$icon" ] || continue
    header=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' \n' '  ')
    side=" 0 0 $((size / 256)) $((size % 256))"
    [ "$header" = "$side$side " ] ||
      fail "the ${size}x${size} icon of $program's header gives width and height as bytes$header"
  done
done

for program in "$@"; do
  page=$root/usr/share/man/man1/$program.1.gz
  [ -f "$page" ] || continue
  title=$(gzip -dc "$page" | grep '^\.TH ' || true)
  upper=$(echo "$program" | tr 'a-z' 'A-Z')
  echo "$title" | grep -q "^\.TH $upper 1 .* \"Loomara $version\"" ||
    fail "$program.1 has the title line '$title'"
done

# Each entry starts its program with its icon, and exactly one metainfo file launches it.
for program in $windowed; do
  desktop=$root/usr/share/applications/$program.desktop
  if [ -f "$desktop" ]; then
    grep -qx "Exec=$program" "$desktop" || fail "the desktop entry does not start $program"
    grep -qx "Icon=$program" "$desktop" || fail "the desktop entry does not show the $program icon"
  fi
  launchable="<launchable type=\"desktop-id\">$program.desktop</launchable>"
  metainfo=$(cd "$root" && grep -lF "$launchable" $(sed 's|^\./||' "$work/metainfo") /dev/null || true)
  if [ "$(echo "$metainfo" | grep -c .)" -ne 1 ]; then
    fail "not one metainfo file launches $program.desktop: '$metainfo'"
    continue
  fi
  id=$(basename "$metainfo" .metainfo.xml)
  for line in "<id>$id</id>" "<release version=\"$version\""; do
    grep -qF "$line" "$root/$metainfo" || fail "$metainfo lacks $line"
  done
done
changelog=$root/usr/share/doc/loomara/changelog.gz
if [ -f "$changelog" ]; then
  gzip -dc "$changelog" | head -n 1 | grep -q "^loomara ($version) " ||
    fail "the changelog's latest entry is not $version"
fi
# The copyright file names both licences, each on the files it covers with its own holder, and
# quotes each notice: the program's and the reference lists'. Each Files paragraph is read as
# "FILES | COPYRIGHT | LICENSE".
copyright=$root/usr/share/doc/loomara/copyright
if [ -f "$copyright" ]; then
  awk 'BEGIN { RS = "" }
    /^Files: / {
      files = holder = licence = ""
      n = split($0, lines, "\n")
      for (i = 1; i <= n; i++) {
        if (lines[i] ~ /^Files: /) files = substr(lines[i], 8)
        else if (lines[i] ~ /^Copyright: /) holder = substr(lines[i], 12)
        else if (lines[i] ~ /^License: /) licence = substr(lines[i], 10)
      }
      print files " | " holder " | " licence
    }' "$copyright" >"$work/licences"
  for paragraph in '* | 2026 the Loomara developers | MIT' \
    'data/reference/* | 2022 Humphrey Drummond | MIT'; do
    grep -qxF "$paragraph" "$work/licences" ||
      fail "the copyright file lacks the paragraph '$paragraph'; it has: $(cat "$work/licences")"
  done
  for notice in '2026 the Loomara developers' '2022 Humphrey Drummond'; do
    grep -qxF " Copyright (c) $notice" "$copyright" || fail "the copyright file lacks the notice of $notice"
  done
fi

# Depends against the libraries each program names as NEEDED, resolved as the dynamic linker
# resolves them on this machine and traced to the package that ships the file.
depends=$(field Depends)
echo "Depends: $depends"
echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ *(.*//' | sort -u >"$work/depends"
: >"$work/libraries"
for program in "$@"; do
  binary=$root/usr/bin/$program
  [ -f "$binary" ] || continue
  for soname in $(objdump -p "$binary" | awk '$1 == "NEEDED" { print $2 }'); do
    # The dynamic linker itself, named when a program uses thread-local storage, is listed by
    # its path alone.
    path=$(ldd "$binary" | awk -v so="$soname" '($1 == so && $2 == "=>") { print $3 }
                                                 $1 ~ ("/" so "$") { print $1 }')
    if [ -z "$path" ]; then
      fail "$program needs $soname, which this machine does not have"
      continue
    fi
    readlink -f "$path" >>"$work/libraries"
  done
done
sort -u "$work/libraries" -o "$work/libraries"
# /lib and /usr/lib are one folder here, but dpkg knows a file only by the one it shipped in, so
# both names are asked for, in one query: each query reads dpkg's whole file database.
dpkg-query -S $(sed 's|^/usr\(/.*\)|/usr\1 \1|' "$work/libraries") >"$work/owned" 2>/dev/null || true
: >"$work/owners"
while read -r library; do
  owner=$(awk -v file="$library" -v short="${library#/usr}" '$NF == file || $NF == short {
    sub(/:.*/, "", $1); print $1; exit }' "$work/owned")
  [ -n "$owner" ] || fail "no package owns $library"
  echo "$owner" >>"$work/owners"
done <"$work/libraries"
# Qt SQL's SQLite driver is a plugin, loaded at run time, so no program names it as NEEDED.
echo libqt6sql6-sqlite >>"$work/owners"
sort -u "$work/owners" -o "$work/owners"
if ! diff -u "$work/owners" "$work/depends" >"$work/diff"; then
  fail "Depends differs from the owners of the linked libraries (- owner, + in Depends):"
  cat "$work/diff"
fi

exit $failed
