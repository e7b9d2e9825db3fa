#!/usr/bin/env bash
# The main job: sets up the machine, cross-builds the 64-bit plug-in and its
# parser library, and opens a bundled sample file in the lister host (the
# stand-in for the file manager's lister window) under wine. Without a display
# it runs on a private Xvfb, saves a screenshot and closes the window again.
# Usage: tools/run-demo.sh [FILE]   (default: samples/ci-workflow.yaml)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
file=${1:-samples/ci-workflow.yaml}

bash tools/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$(nproc)" --target corvane_plugin corvane_parser lister_host

out=build/demo
mkdir -p "$out"
shot="$out/$(basename "$file").png"
export CORVANE_DEMO_SHOT="$root/$shot"
tools/with-wine.sh tools/demo-session.sh "$root/build/win64/bin/lister_host.exe" "$root/$file"
echo "demo: $file shown by the plug-in; screenshot in $shot"
