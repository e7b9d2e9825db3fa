#!/usr/bin/env bash
# Checks the release archive tools/package.sh made:
#  - its exact file list (nothing of the test flavour, nothing missing);
#  - each binary's machine type;
#  - pluginst.inf: the section and the fields the file manager reads, the
#    version the project has, the plug-in and its 64-bit twin present;
#  - corvane.ini: only comments besides the section line, and a commented
#    line for exactly the keys of the settings key table;
#  - the language files are those of lang/ and readme.txt names the version;
#  - under wine (tests/win/release_archive_test_win.cpp, on the archive
#    unpacked into a fresh folder): the shipped plug-in loaded from there
#    shows German and Russian texts as its corvane.ini asks, and every binary's
#    version resource, `corvane --version` and pluginst.inf agree.
#
#   tools/check-package.sh [ZIP]    (default: build/package/corvane-VERSION.zip)
# Needs the win64 build's test program and the native settings_reference.
# Prints one line per check and "N passed, N failed"; exits 1 on any failure.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
version=$(sed -n 's/^project(corvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip=${1:-build/package/corvane-$version.zip}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}

passed=0
failed=0
pass() { echo "PASS $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

[ -f "$zip" ] || { fail "archive $zip missing (tools/package.sh makes it)"; echo "$passed passed, $failed failed"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
unzip -q "$zip" -d "$dir"

expected="cli/corvane.exe
cli/corvane32.exe
corvane.de.lng
corvane.en.lng
corvane.ini
corvane.ru.lng
corvane.uk.lng
corvane.wlx
corvane.wlx64
corvane_parser32.dll
corvane_parser64.dll
pluginst.inf
readme.txt"
actual=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)
if [ "$actual" = "$expected" ]; then
  pass "archive holds exactly the $(wc -l <<<"$expected") files of a release"
else
  fail "archive files differ (< expected, > archive): $(diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' | tr '\n' ' ')"
fi

machine() { "$objdump" -f "$dir/$1" 2>/dev/null | sed -n 's/.*file format //p' | head -1; }
for pair in corvane.wlx64:pei-x86-64 corvane_parser64.dll:pei-x86-64 cli/corvane.exe:pei-x86-64 \
            corvane.wlx:pei-i386 corvane_parser32.dll:pei-i386 cli/corvane32.exe:pei-i386; do
  file=${pair%%:*} want=${pair#*:}
  got=$(machine "$file")
  check "$file: machine $want${got:+ (is $got)}" test "$got" = "$want"
done

# pluginst.inf, read as the file manager reads an INI file.
inf_value() { tr -d '\r' <"$dir/pluginst.inf" | sed -n "s/^$1=//p" | head -1; }
check "pluginst.inf: section [plugininstall] first" test "$(tr -d '\r' <"$dir/pluginst.inf" | sed '/^$/d' | head -1)" = "[plugininstall]"
check "pluginst.inf: type=wlx" test "$(inf_value type)" = wlx
check "pluginst.inf: file=corvane.wlx, in the archive with its 64-bit twin" \
  test "$(inf_value file)" = corvane.wlx -a -f "$dir/corvane.wlx" -a -f "$dir/corvane.wlx64"
check "pluginst.inf: defaultdir=corvane" test "$(inf_value defaultdir)" = corvane
check "pluginst.inf: a description" test -n "$(inf_value description)"
check "pluginst.inf: version=$version, the project's" test "$(inf_value version)" = "$version"

# corvane.ini against the settings key table.
ini=$(tr -d '\r' <"$dir/corvane.ini")
check "corvane.ini: nothing but comments and the section line" \
  test -z "$(grep -v -e '^;' -e '^$' -e '^\[corvane\]$' <<<"$ini")"
table_keys=$(build/native/bin/settings_reference keys | LC_ALL=C sort)
ini_keys=$(sed -n 's/^;\([A-Za-z][A-Za-z0-9-]*\)=.*/\1/p' <<<"$ini" | LC_ALL=C sort)
if [ -n "$table_keys" ] && [ "$ini_keys" = "$table_keys" ]; then
  pass "corvane.ini: one commented line for each of the $(wc -l <<<"$table_keys") keys of the settings table"
else
  fail "corvane.ini: keys differ from the settings table (< table, > ini): $(diff <(echo "$table_keys") <(echo "$ini_keys") | grep '^[<>]' | tr '\n' ' ')"
fi

for lng in lang/corvane.*.lng; do
  check "$(basename "$lng"): the file of lang/" cmp -s <(tr -d '\r' <"$dir/$(basename "$lng")") "$lng"
done
check "readme.txt: names version $version" grep -q "corvane $version" "$dir/readme.txt"

# The archive in use, under wine.
tests_win="build/win64/bin/corvane_tests_win.exe"
log=$(mktemp)
CORVANE_PACKAGE_DIR="Z:$dir" tools/with-wine.sh wine "$tests_win" --gtest_filter='ReleaseArchive.*' >"$log" 2>&1
gui_passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log")
gui_failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$log")
if [ "${gui_passed:-0}" -gt 0 ] && [ -z "$gui_failed" ] && ! grep -q '^\[  SKIPPED \]' "$log"; then
  grep -E '^\[       OK \]' "$log" | sed 's/^\[       OK \] /PASS under wine: /'
  passed=$((passed + gui_passed))
else
  tail -n 60 "$log"
  fail "under wine: the unpacked archive's tests (${gui_failed:-no run} failed)"
fi
rm -f "$log"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
