#!/usr/bin/env bash
# Static check of the four Windows binaries a release ships:
#   BUILD64/bin/corvane.wlx64  BUILD64/bin/corvane_parser64.dll
#   BUILD32/bin/corvane.wlx    BUILD32/bin/corvane_parser32.dll
# For each: machine type, exact export names (undecorated), and imports limited
# to system DLLs (the C/C++ runtimes must be linked in statically). For the
# plug-ins also: none of the test seams' switches (tests/common/test_seams.h)
# is linked in.
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
cvn_toml_array_raw_span cvn_toml_array_table cvn_toml_close cvn_toml_open cvn_toml_root
cvn_toml_table_array cvn_toml_table_key cvn_toml_table_key_span cvn_toml_table_raw
cvn_toml_table_raw_span cvn_toml_table_table cvn_toml_validate
cvn_yaml_anchor cvn_yaml_close cvn_yaml_column cvn_yaml_end cvn_yaml_end_column
cvn_yaml_end_line cvn_yaml_error cvn_yaml_line cvn_yaml_next cvn_yaml_open
cvn_yaml_scalar_style cvn_yaml_start cvn_yaml_tag cvn_yaml_type cvn_yaml_value
cvn_yaml_value_length"
# System DLLs a binary may import (lower case). Visual-styles and DPI calls
# are looked up at run time, so uxtheme.dll is deliberately not listed.
allowed_imports="kernel32.dll user32.dll gdi32.dll comctl32.dll shell32.dll advapi32.dll
ole32.dll oleaut32.dll comdlg32.dll msvcrt.dll ucrtbase.dll"

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
  if [ "$actual" = "$want" ]; then
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

# The switches test programs use to stand in for the operating system; a
# release plug-in must carry none of them (only the answers that switch
# nothing on). C++ symbol names hold each name after its length.
test_switches=$(sed -n 's/^[[:space:]]*void \([A-Za-z0-9_]*\)(.*/\1/p' "$root/tests/common/test_seams.h")

check_no_test_switches() {
  local file=$1 name symbols found=""
  name=$(basename "$file")
  [ -f "$file" ] || return  # reported missing above
  symbols=$("$objdump" -t "$file" 2>/dev/null)
  if [ -z "$test_switches" ]; then
    fail "$name: no test switches found in tests/common/test_seams.h to check against"
    return
  fi
  local switch
  for switch in $test_switches; do
    grep -q "${#switch}${switch}" <<<"$symbols" && found="$found $switch"
  done
  if ! grep -q '^\[' <<<"$symbols"; then
    pass "$name: no symbol table (stripped), so no test switch names to find"
  elif [ -z "$found" ]; then
    pass "$name: carries none of the $(wc -w <<<"$test_switches") test switches"
  else
    fail "$name: carries test switches:$found"
  fi
}

check_binary "$build64/bin/corvane.wlx64" pei-x86-64 "$plugin_exports"
check_no_test_switches "$build64/bin/corvane.wlx64"
check_binary "$build64/bin/corvane_parser64.dll" pei-x86-64 "$parser_exports"
check_binary "$build32/bin/corvane.wlx" pei-i386 "$plugin_exports"
check_no_test_switches "$build32/bin/corvane.wlx"
check_binary "$build32/bin/corvane_parser32.dll" pei-i386 "$parser_exports"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
