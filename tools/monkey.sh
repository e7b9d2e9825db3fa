#!/usr/bin/env bash
# A long local run of the viewer monkey under wine (the Windows tests'
# ViewerMonkey.long_run): random user actions on copies of realistic files,
# every rule checked after each action; a failure prints its seed and the
# least actions that still fail, as a test script.
#
#   tools/monkey.sh [--seeds 1-20|1,5,9] [--actions N] [--files a.yaml,b.toml]
#   tools/monkey.sh --script FILE --files a.yaml   (replays a printed script)
#
# Files are names in tests/editing/corpus or full paths. Needs the win64
# build (cmake --build --preset win64); WINEPREFIX as for tools/with-wine.sh.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
seeds=1-5
actions=20000
files=compose.yaml,Cargo.toml,k8s-manifests.yaml,ci-workflow.yml,pyproject.toml
script=
while [ $# -gt 0 ]; do
  case "$1" in
    --seeds) seeds=$2; shift 2 ;;
    --actions) actions=$2; shift 2 ;;
    --files) files=$2; shift 2 ;;
    --script) script=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 [--seeds LIST] [--actions N] [--files LIST]" >&2; exit 2 ;;
  esac
done
program="$root/build/win64/bin/corvane_tests_win.exe"
[ -f "$program" ] || { echo "$program missing: build the win64 preset first" >&2; exit 2; }
export CORVANE_SOURCE_DIR="$root" CORVANE_MONKEY_SEEDS="$seeds" CORVANE_MONKEY_ACTIONS="$actions" \
  CORVANE_MONKEY_FILES="$files" CORVANE_MONKEY_SCRIPT="$script" WINEDEBUG=-all
exec "$root/tools/with-wine.sh" "$root/tools/wine-run.sh" "$program" --gtest_filter=ViewerMonkey.long_run
