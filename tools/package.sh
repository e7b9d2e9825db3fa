#!/usr/bin/env bash
# Puts the release archive together: build/package/corvane-VERSION.zip, which
# Total Commander offers to install when it is opened (pluginst.inf at its
# root). From the two cross builds and the settings key table:
#   pluginst.inf                      install description (version from CMake)
#   corvane.wlx, corvane.wlx64        the shipped plug-ins (never the test flavour)
#   corvane_parser32.dll, corvane_parser64.dll
#   corvane.en.lng .de .ru .uk        from lang/
#   corvane.ini                       every settings key commented out, written
#                                     from the key table (settings_reference ini)
#   readme.txt                        from dist/
#   cli/corvane.exe, cli/corvane32.exe  the command, 64- and 32-bit; it finds
#                                     the parser library in the folder above
# Binaries are stripped of their symbol tables; text files get CR LF line
# ends.
#
#   tools/package.sh [--built-win64 DIR]
# Builds what it needs (the win64 and win32 presets' shipped targets, the
# native settings_reference); --built-win64 DIR takes the 64-bit binaries from
# DIR as they are (the CMake target release_archive builds them first).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

win64=build/win64
build_win64=1
if [ "${1:-}" = "--built-win64" ] && [ $# -eq 2 ]; then
  win64=$2
  build_win64=0
elif [ $# -ne 0 ]; then
  echo "usage: tools/package.sh [--built-win64 DIR]" >&2
  exit 2
fi
win32=build/win32
jobs=${CORVANE_JOBS:-2}

build_preset() {  # build_preset PRESET TARGET...
  local preset=$1; shift
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" --target "$@" >/dev/null
}

[ "$build_win64" = 1 ] && build_preset win64 corvane_plugin corvane_parser corvane_command
build_preset win32 corvane_plugin corvane_parser corvane_command
build_preset native settings_reference

inf="$win64/package/pluginst.inf"
version=$(sed -n 's/^version=\([0-9.]*\).*/\1/p' "$inf")
[ -n "$version" ] || { echo "package: no version in $inf" >&2; exit 1; }
name="corvane-$version"
out="$root/build/package"
stage="$out/$name"
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage/cli"

crlf() { sed 's/\r$//; s/$/\r/' "$1"; }
ship() {  # ship STRIP SOURCE TARGET: a binary without its symbol table
  "$1" --strip-all -o "$stage/$3" "$2"
}

cp "$inf" "$stage/pluginst.inf"
strip64=x86_64-w64-mingw32-strip
strip32=i686-w64-mingw32-strip
ship "$strip64" "$win64/bin/corvane.wlx64" corvane.wlx64
ship "$strip64" "$win64/bin/corvane_parser64.dll" corvane_parser64.dll
ship "$strip64" "$win64/bin/corvane.exe" cli/corvane.exe
ship "$strip32" "$win32/bin/corvane.wlx" corvane.wlx
ship "$strip32" "$win32/bin/corvane_parser32.dll" corvane_parser32.dll
ship "$strip32" "$win32/bin/corvane.exe" cli/corvane32.exe
for lng in lang/corvane.*.lng; do crlf "$lng" >"$stage/$(basename "$lng")"; done
build/native/bin/settings_reference ini >"$stage/corvane.ini"
crlf dist/readme.txt | sed "s/@VERSION@/$version/" >"$stage/readme.txt"

# Stored names in a fixed order, without extra attributes.
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | zip -q -X -9 "$out/$name.zip" -@)
rm -rf "$stage"
echo "package: $out/$name.zip"
unzip -l "$out/$name.zip"
