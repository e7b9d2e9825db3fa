#!/usr/bin/env bash
# Writes the inputs one fuzz target starts from into a folder: every file of
# tests/editing/corpus (realistic YAML and TOML) in that target's input
# format, and the cases kept in fuzz/corpus/<target>/ (inputs a run once
# stopped on, so that every later run meets them again at once).
#
# usage: tools/fuzz-seeds.sh TARGET FOLDER
#   TARGET  loading_fuzz, parser_fuzz, editing_fuzz or viewer_text_fuzz
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=$1
out=$2
mkdir -p "$out"
for file in "$root"/tests/editing/corpus/*; do
  name=$(basename "$file")
  case "$name" in *.toml) flag='\x01' ;; *) flag='\x00' ;; esac
  case "$target" in
    # A flag byte (bit 0: TOML), then the document.
    loading_fuzz | parser_fuzz) { printf "$flag"; cat "$file"; } > "$out/$name" ;;
    # The same, ended by a NUL byte, then three edit requests (node, action,
    # text choice) for the fuzzer to vary.
    editing_fuzz) { printf "$flag"; cat "$file"; printf '\x00\x00\x01\x00\x00\x00\x02\x01\x01\x00\x03\x00\x02'; } > "$out/$name" ;;
    # The text as UTF-16 code units, low byte first.
    viewer_text_fuzz) iconv -f UTF-8 -t UTF-16LE "$file" > "$out/$name" ;;
    *) echo "fuzz-seeds: unknown target $target" >&2; exit 2 ;;
  esac
done
if [ -d "$root/fuzz/corpus/$target" ]; then cp "$root/fuzz/corpus/$target"/* "$out/"; fi
