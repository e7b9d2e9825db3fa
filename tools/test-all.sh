#!/usr/bin/env bash
# Sets up the machine, builds every configuration (warnings are errors) and
# runs every test:
#   native unit tests, the same under AddressSanitizer/UBSan, the libFuzzer
#   targets for a short bounded time, the 64-bit Windows build's tests under
#   wine, the 32-bit Windows build (compiled only), a static check of the
#   six Windows binaries (plug-ins, parser libraries, command), and the
#   release archive: put together, checked, and used under wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

usage() {
  cat <<'USAGE'
usage: tools/test-all.sh [--skip-setup]
  --skip-setup   do not run tools/setup.sh first (the packages are installed)
environment: FUZZ_SECONDS (default 20) per fuzz target, CORVANE_JOBS (default: all cores)
USAGE
}

run_setup=1
for arg in "$@"; do
  case "$arg" in
    --skip-setup) run_setup=0 ;;
    -h | --help) usage; exit 0 ;;
    *) echo "test-all: unknown option: $arg" >&2; usage >&2; exit 2 ;;
  esac
done

if [ "$run_setup" -eq 1 ]; then
  bash tools/setup.sh || { echo "setup failed"; exit 1; }
fi

jobs=${CORVANE_JOBS:-$(nproc)}
fuzz_seconds=${FUZZ_SECONDS:-20}
passed=0
failed=0
failures=()

tests_passed=0
tests_failed=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Adds the counts of a CTest or check-binaries summary line in the stage's
# output to the totals; a failed stage without such a line counts as one
# failed test, so a broken build can never look green.
count_tests() {  # count_tests STAGE-EXIT-CODE
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    tests_passed=$((tests_passed + total - bad)); tests_failed=$((tests_failed + bad))
    return
  fi
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    tests_passed=$((tests_passed + $(cut -d' ' -f1 <<<"$line")))
    tests_failed=$((tests_failed + $(cut -d' ' -f3 <<<"$line")))
    return
  fi
  [ "$1" -ne 0 ] && tests_failed=$((tests_failed + 1))
}

stage() {  # stage NAME COMMAND...
  local name=$1 rc; shift
  echo
  echo "=== $name"
  "$@" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  count_tests "$rc"
  if [ "$rc" -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    failures+=("$name")
    echo "=== $name: FAILED"
  fi
}

build() {  # build PRESET, with every compiler warning an error
  cmake --preset "$1" -DCORVANE_WERROR=ON >/dev/null && cmake --build --preset "$1" -j "$jobs"
}

run_fuzzers() {
  local dir=build/fuzz/bin ok=0 runs=0
  for f in "$dir"/fuzz_*; do
    [ -x "$f" ] || continue
    local corpus
    corpus=$(mktemp -d)
    # Realistic files and the kept cases to start from.
    tools/fuzz-seeds.sh "$(basename "$f" | sed 's/^fuzz_//')" "$corpus"
    echo "--- $(basename "$f") for ${fuzz_seconds}s"
    if ! "$f" -max_total_time="$fuzz_seconds" -rss_limit_mb=4096 -timeout=10 "$corpus" \
         > "build/fuzz/$(basename "$f").log" 2>&1; then
      tail -n 40 "build/fuzz/$(basename "$f").log"
      ok=1
    else
      grep -E '^(Done|#[0-9]+ *DONE)' "build/fuzz/$(basename "$f").log" | tail -n 1
    fi
    rm -rf "$corpus"
    runs=$((runs + 1))
  done
  [ "$runs" -gt 0 ] || { echo "no fuzz targets built"; return 1; }
  if [ "$ok" -eq 0 ]; then echo "$runs passed, 0 failed"; fi
  return $ok
}

stage "native build" build native
stage "native tests" ctest --preset native -j "$jobs"
stage "asan build" build asan
stage "asan tests" ctest --preset asan -j "$jobs"
stage "fuzz build" build fuzz
stage "fuzzers" run_fuzzers
stage "win64 build" build win64
stage "win64 tests under wine" tools/with-wine.sh ctest --preset win64
stage "win32 build" build win32
stage "windows binaries" tools/check-binaries.sh build/win64 build/win32
stage "release archive" tools/package.sh
stage "release archive checks" tools/check-package.sh

echo
if [ ${#failures[@]} -gt 0 ]; then
  printf 'failed stage: %s\n' "${failures[@]}"
fi
echo "stages: $passed of $((passed + failed)) succeeded"
echo "test-all: $tests_passed passed, $tests_failed failed"
[ "$failed" -eq 0 ]
