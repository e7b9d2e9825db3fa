#!/usr/bin/env bash
# Static check of the Windows binaries: the six a release ships
#   BUILD64/bin/corvane.wlx64  BUILD64/bin/corvane_parser64.dll  BUILD64/bin/corvane.exe
#   BUILD32/bin/corvane.wlx    BUILD32/bin/corvane_parser32.dll  BUILD32/bin/corvane.exe
# and the test flavour of the plug-in the Windows tests load
#   BUILD64/bin/corvane_test.wlx64  BUILD32/bin/corvane_test.wlx
# For each: machine type, exact export names (undecorated; the command
# exports nothing), and imports limited to system DLLs (the C/C++ runtimes
# must be linked in statically). The shipped plug-ins export the eight lister
# functions only; they and the command carry none of the test seams'
# switches (tests/common/test_seams.h) nor the test flavour's exports, and the
# command none of its own test flavour's hook; the test flavour exports the
# eight plus the names its module definition file adds
# (tests/win/plugin_seam/corvane_test.def), and links the switches on
# purpose, so they are not looked for there.
#
#   tools/check-binaries.sh BUILD64 BUILD32
# Prints one line per check and "N passed, N failed"; exits 1 on any failure.
set -u

if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD64 BUILD32" >&2
  exit 2
fi
build64=$1
build32=$2
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
root=$(cd "$(dirname "$0")/.." && pwd)

plugin_exports="ListCloseWindow ListGetDetectString ListLoad ListLoadW ListSearchText
ListSearchTextW ListSendCommand ListSetDefaultParams"
parser_exports="cvn_toml_array_array cvn_toml_array_count cvn_toml_array_raw
cvn_toml_array_raw_span cvn_toml_array_table cvn_toml_close cvn_toml_open cvn_toml_open_at cvn_toml_root
cvn_toml_table_array cvn_toml_table_key cvn_toml_table_key_span cvn_toml_table_raw
cvn_toml_table_raw_span cvn_toml_table_table cvn_toml_validate
cvn_yaml_anchor cvn_yaml_close cvn_yaml_column cvn_yaml_end cvn_yaml_end_column
cvn_yaml_end_line cvn_yaml_error cvn_yaml_error_column cvn_yaml_error_line cvn_yaml_line cvn_yaml_next cvn_yaml_open
cvn_yaml_scalar_style cvn_yaml_start cvn_yaml_tag cvn_yaml_type cvn_yaml_value
cvn_yaml_value_length"
# What the test flavour exports besides the eight: the names after EXPORTS in
# its module definition file that are not lister functions.
test_def="$root/tests/win/plugin_seam/corvane_test.def"
test_only_exports=$(sed -n '/^EXPORTS/,$p' "$test_def" | sed 1d | sed -n 's/^[[:space:]]*\([A-Za-z_][A-Za-z0-9_]*\)[[:space:]]*$/\1/p' |
  grep -vxF -f <(tr -s ' \n' '\n' <<<"$plugin_exports"))
# System DLLs a binary may import (lower case). Visual-styles and DPI calls
# are looked up at run time, so uxtheme.dll is deliberately not listed. The
# text pane's control (Scintilla, linked in) needs imm32.dll for input
# methods and msimg32.dll for blending.
allowed_imports="kernel32.dll user32.dll gdi32.dll comctl32.dll shell32.dll advapi32.dll
ole32.dll oleaut32.dll comdlg32.dll imm32.dll msimg32.dll msvcrt.dll ucrtbase.dll"

passed=0
failed=0
pass() { echo "PASS $1"; passed=$((passed + 1)); }
fail() { echo "FAIL $1"; failed=$((failed + 1)); }

sorted_words() { tr -s ' \n\t' '\n' <<<"$1" | sed '/^$/d' | sort; }

# Names listed in the export name table of objdump -p.
export_names() {
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$1" | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort
}

import_names() {
  sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$1" | tr 'A-Z' 'a-z' | sort -u
}

import_allowed() {
  case "$1" in
    api-ms-win-crt-*) return 0 ;;
  esac
  grep -qxF "$1" <<<"$(sorted_words "$allowed_imports")"
}

check_binary() {
  local file=$1 format=$2 expected=$3
  local name
  name=$(basename "$file")
  if [ ! -f "$file" ]; then
    fail "$name: missing ($file)"
    return
  fi
  local dump
  if ! dump=$("$objdump" -p "$file" 2>&1); then
    fail "$name: objdump cannot read it"
    return
  fi
  if grep -q "file format $format\$" <<<"$dump"; then
    pass "$name: machine $format"
  else
    fail "$name: machine is $(sed -n 's/.*file format //p' <<<"$dump" | head -1), expected $format"
  fi

  local actual want
  actual=$(export_names "$dump")
  want=$(sorted_words "$expected")
  if [ -z "$want" ] && [ -z "$actual" ]; then
    pass "$name: exports nothing"
  elif [ "$actual" = "$want" ]; then
    pass "$name: exports exactly the $(wc -l <<<"$want") expected names"
  else
    fail "$name: exports differ (< expected, > actual): $(diff <(echo "$want") <(echo "$actual") | grep '^[<>]' | tr '\n' ' ')"
  fi

  local bad="" dll
  for dll in $(import_names "$dump"); do
    import_allowed "$dll" || bad="$bad $dll"
  done
  if [ -z "$bad" ]; then
    pass "$name: imports only system DLLs ($(import_names "$dump" | tr '\n' ' '))"
  else
    fail "$name: imports non-system DLLs:$bad"
  fi
}

# What a shipped plug-in must not carry: the switches test programs use to
# stand in for the operating system (C++ symbol names hold each name after
# its length) and the test flavour's own exports (C names).
test_switches=$(sed -n 's/^[[:space:]]*void \([A-Za-z0-9_]*\)(.*/\1/p' "$root/tests/common/test_seams.h")

check_no_test_code() {
  local file=$1 name symbols found=""
  name=$(basename "$file")
  [ -f "$file" ] || return  # reported missing above
  symbols=$("$objdump" -t "$file" 2>/dev/null)
  if [ -z "$test_switches" ] || [ -z "$test_only_exports" ]; then
    fail "$name: no test switches in tests/common/test_seams.h or no test exports in $(basename "$test_def") to check against"
    return
  fi
  local switch
  for switch in $test_switches; do
    grep -q "${#switch}${switch}" <<<"$symbols" && found="$found $switch"
  done
  for switch in $test_only_exports; do
    grep -qE "[^A-Za-z0-9_]_?${switch}(@[0-9]+)?\$" <<<"$symbols" && found="$found $switch"
  done
  if ! grep -q '^\[' <<<"$symbols"; then
    pass "$name: no symbol table (stripped), so no test names to find"
  elif [ -z "$found" ]; then
    pass "$name: carries none of the $(wc -w <<<"$test_switches") test switches and $(wc -w <<<"$test_only_exports") test exports"
  else
    fail "$name: carries test code:$found"
  fi
}

# The command's test flavour reads this variable; the shipped program must
# not contain it.
check_no_test_hook() {
  local file=$1 name
  name=$(basename "$file")
  [ -f "$file" ] || return  # reported missing above
  if grep -q "CORVANE_TEST_CHANGE_BEFORE_SAVE" "$file"; then
    fail "$name: carries the test flavour's hook"
  else
    pass "$name: carries no test hook"
  fi
}

check_binary "$build64/bin/corvane.wlx64" pei-x86-64 "$plugin_exports"
check_no_test_code "$build64/bin/corvane.wlx64"
check_binary "$build64/bin/corvane_test.wlx64" pei-x86-64 "$plugin_exports $test_only_exports"
check_binary "$build64/bin/corvane_parser64.dll" pei-x86-64 "$parser_exports"
check_binary "$build64/bin/corvane.exe" pei-x86-64 ""
check_no_test_code "$build64/bin/corvane.exe"
check_no_test_hook "$build64/bin/corvane.exe"
check_binary "$build32/bin/corvane.wlx" pei-i386 "$plugin_exports"
check_no_test_code "$build32/bin/corvane.wlx"
check_binary "$build32/bin/corvane_test.wlx" pei-i386 "$plugin_exports $test_only_exports"
check_binary "$build32/bin/corvane_parser32.dll" pei-i386 "$parser_exports"
check_binary "$build32/bin/corvane.exe" pei-i386 ""
check_no_test_code "$build32/bin/corvane.exe"
check_no_test_hook "$build32/bin/corvane.exe"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
