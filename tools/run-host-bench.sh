#!/usr/bin/env bash
# Times the plug-in in the lister host under wine: opening a generated 12 MB
# YAML file (100,000 items of small mappings) and a 5 MB TOML file until the
# tree and the grid have painted, and closing them, against the raw parser
# (libyaml's event pass, toml++'s parse) over the same bytes in the same
# process and run. Needs the win64 build (plug-in, parser, lister host).
# Usage: tools/run-host-bench.sh [RUNS]   (default 5); report in build/bench/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-5}
out=build/bench
mkdir -p "$out"

# 100,000 items of small mappings (about 12 MB): as a list under "items"
# (the grid shows them all as rows), and as the document's root sequence
# (the tree shows them all as entries).
items() {  # items HEADER DASH INDENT
  awk -v header="$1" -v dash="$2" -v p="$3" 'BEGIN {
    if (header != "") printf "%s", header
    for (i = 0; i < 100000; i++) {
      printf "%sid: %d\n%sname: item-%06d\n%sprice: %d.%02d\n", dash, i, p, i, p, i % 997, i % 100
      printf "%sactive: %s\n%screated: 2024-%02d-%02dT10:00:00Z\n", p, (i % 3 ? "true" : "false"), p, i % 12 + 1, i % 28 + 1
      printf "%scategory: tools %d\n", p, i % 50
    }
  }'
}
items $'apiVersion: v1\nkind: List\nitems:\n' "  - " "    " >"$out/items.yaml"
items "" "- " "  " >"$out/sequence.yaml"

# A lock-file shape: 21,000 package tables (about 5 MB).
awk 'BEGIN {
  for (i = 0; i < 21000; i++) {
    printf "[[package]]\nname = \"crate-%05d\"\nversion = \"%d.%d.%d\"\n", i, i % 5, i % 17, i % 31
    printf "source = \"registry+https://github.com/rust-lang/crates.io-index\"\n"
    printf "checksum = \"%064d\"\n", i
    printf "dependencies = [\"crate-%05d\", \"crate-%05d\"]\n\n", (i + 1) % 21000, (i + 7) % 21000
  }
}' >"$out/packages.toml"

printf '[corvane]\r\nmax-file-size=100000000\r\n' >"$out/bench.ini"
ls -l "$out/items.yaml" "$out/sequence.yaml" "$out/packages.toml"

bench() {  # bench FILE
  local report="$out/$(basename "$1").txt"
  tools/with-wine.sh wine build/win64/bin/lister_host.exe --bench "$runs" --ini "Z:$root/$out/bench.ini" \
    --out "Z:$root/$report" "Z:$root/$1" || true
  cat "$report"
}
bench "$out/items.yaml"
bench "$out/sequence.yaml"
bench "$out/packages.toml"
