#!/usr/bin/env bash
# Times the plug-in in the lister host under wine: opening a generated 12 MB
# YAML file (100,000 items of small mappings), a 5 MB TOML file, a 100 MB
# YAML stream and a 50 MB TOML file until the tree and the grid have
# painted, and closing them, against the raw parser (libyaml's event pass,
# toml++'s parse) over the same bytes in the same process and run; and the
# Text tab of the 12 MB, 100 MB and 50 MB files (shown and painted, Page Down
# at several places, the memory held with it shown, the close). The size
# limit is off. Needs the win64 build (plug-in, parser, lister host).
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

# 100 MB: a stream of release documents with non-ASCII text, literal and
# folded block scalars and an anchor with its alias in each (the shape of
# bench_support's ReleaseStreamYaml).
LC_ALL=C awk -v bytes=$((100 * 1048576)) 'BEGIN {
  for (i = 0; size < bytes; i++) {
    doc = sprintf("--- # release %d\nkind: Release\nmetadata:\n  name: svc-%d\n  labels: &labels-%d\n", i, i, i)
    doc = doc sprintf("    app: café-%d\n    tier: \"backend\"\n  annotations:\n    description: |\n", i)
    doc = doc sprintf("      Übersicht für Dienst %d: läuft auf ≥ 3 Knoten.\n      Zweite Zeile — mit Gedankenstrich.\n", i)
    doc = doc sprintf("    note: >\n      folded text for %d\n      continues on a second line\nspec:\n", i)
    doc = doc sprintf("  replicas: %d\n  selector:\n    matchLabels: *labels-%d\n  ports:\n", i % 5 + 1, i)
    doc = doc "    - {name: http, port: 80, targetPort: 8080}\n    - {name: metrics, port: 9100}\n"
    doc = doc sprintf("  env:\n    - name: GREETING\n      value: \"Grüß Gott, %d\"\n    - name: RATIO\n", i)
    doc = doc "      value: \"0.75\"\n  enabled: true\n  limits: {cpu: 500m, memory: 256Mi}\n  missing: ~\n"
    printf "%s", doc
    size += length(doc)
  }
}' >"$out/releases.yaml"

# 50 MB of TOML: package tables with non-ASCII strings, arrays, a
# sub-table with a multi-line string and an inline table each.
LC_ALL=C awk -v bytes=$((50 * 1048576)) 'BEGIN {
  for (i = 0; size < bytes; i++) {
    t = sprintf("[[package]]\nname = \"crate-%06d\"\nversion = \"%d.%d.%d\"\n", i, i % 5, i % 17, i % 31)
    t = t sprintf("description = \"Bibliothek für Ähnlichkeitssuche %d\"\nauthors = [\"Zoë Ålund <zoe@example.org>\"]\n", i)
    t = t sprintf("dependencies = [\"crate-%06d\", \"crate-%06d\"]\nchecksum = \"%064d\"\n\n", (i + 1) % 1000, (i + 7) % 1000, i)
    t = t sprintf("[package.metadata]\nnotes = \"\"\"\nMehrzeiliger Text für %d\nzweite Zeile\"\"\"\n", i)
    t = t "limits = { cpu = 2, memory = \"4Gi\" }\nratio = 0.75\nenabled = true\n\n"
    printf "%s", t
    size += length(t)
  }
}' >"$out/packages-50mb.toml"

ls -l "$out/items.yaml" "$out/sequence.yaml" "$out/packages.toml" "$out/releases.yaml" "$out/packages-50mb.toml"

# A fresh settings file for every run (a run writes back the tab it ended
# on); the size limit off, so the 100 MB and 50 MB files open.
fresh_ini() { printf '[corvane]\r\nmax-file-size=0\r\n' >"$out/bench.ini"; }

bench() {  # bench FILE
  fresh_ini
  local report="$out/$(basename "$1").txt"
  tools/with-wine.sh wine build/win64/bin/lister_host.exe --bench "$runs" --ini "Z:$root/$out/bench.ini" \
    --out "Z:$root/$report" "Z:$root/$1" || true
  cat "$report"
}
# The Text tab of a file: shown and painted, Page Down at several places,
# the memory held, the close.
text_bench() {  # text_bench FILE
  fresh_ini
  local report="$out/$(basename "$1").text.txt"
  tools/with-wine.sh wine build/win64/bin/lister_host.exe --grid-bench --text-only --ini "Z:$root/$out/bench.ini" \
    --out "Z:$root/$report" "Z:$root/$1" || true
  cat "$report"
}
bench "$out/items.yaml"
bench "$out/sequence.yaml"
bench "$out/packages.toml"
text_bench "$out/items.yaml"
big_runs=$(( runs < 3 ? runs : 3 ))
runs=$big_runs bench "$out/releases.yaml"
text_bench "$out/releases.yaml"
runs=$big_runs bench "$out/packages-50mb.toml"
text_bench "$out/packages-50mb.toml"
rm -f "$out/releases.yaml" "$out/packages-50mb.toml"
