#!/usr/bin/env bash
# The main job: sets up the machine, cross-builds the 64-bit plug-in and its
# parser library, and opens a bundled sample file in the lister host (the
# stand-in for the file manager's lister window) under wine; on Windows
# (Git Bash, MSYS) an already built lister host runs natively. Without a
# display the host runs on a private Xvfb, writes a screenshot of the viewer
# to build/demo/ and closes.
# Usage: tools/run-demo.sh [FILE]   (default: samples/ci-workflow.yaml)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
file=${1:-samples/ci-workflow.yaml}

case "$(uname -s)" in
  MINGW* | MSYS* | CYGWIN*)
    host=build/win64/bin/lister_host.exe
    [ -x "$host" ] || { echo "build the win64 preset first (see README)"; exit 1; }
    exec "$host" "$file"
    ;;
esac

bash tools/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" --target corvane_plugin corvane_parser lister_host

host="$root/build/win64/bin/lister_host.exe"
if [ -n "${DISPLAY:-}" ]; then
  tools/with-wine.sh wine "$host" "Z:$root/$file"
  echo "demo: $file shown by the plug-in"
else
  mkdir -p build/demo
  shot="build/demo/$(basename "$file").png"
  tools/with-wine.sh wine "$host" --screenshot "Z:$root/$shot" "Z:$root/$file"
  echo "demo: $file shown by the plug-in on a private display; screenshot in $shot"
fi
