#!/usr/bin/env bash
# Times the grid and the text pane on big files in the lister host under
# wine: a generated YAML whose Path/Value listing has 1,000,000 rows (filter
# keystrokes, header clicks, the table build) and a 12 MB YAML (the same,
# then the Text tab shown and painted and Page Down at several places of
# the text pane). Expects a win64 build.
#   tools/grid-bench.sh            writes build/grid-bench/*.txt and prints them
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/grid-bench"
bin="$root/build/win64/bin"
mkdir -p "$out"

# Records of ten leaves each: integers, short and long floats, texts,
# booleans and a nested object.
make_yaml() {  # make_yaml RECORDS FILE
  awk -v n="$1" 'BEGIN {
    srand(7)
    split("Berlin Lisbon Oslo Tallinn Vienna Kyiv Porto Riga", cities, " ")
    for (i = 1; i <= n; i++) {
      printf "- id: %d\n  name: item-%06d\n  price: %.2f\n  ratio: %.17g\n  weight: %.3f\n", i, i, (i % 10000) / 100, rand(), i * 0.001
      printf "  count: %d\n  enabled: %s\n  city: %s\n", i % 977, (i % 3 ? "true" : "false"), cities[i % 8 + 1]
      printf "  location: {lat: %.6f, lon: %.6f}\n", rand() * 180 - 90, rand() * 360 - 180
    }
  }' > "$2"
}

[ -f "$out/grid-1m.yaml" ] || make_yaml 100000 "$out/grid-1m.yaml"
[ -f "$out/text-12mb.yaml" ] || make_yaml 80000 "$out/text-12mb.yaml"
printf '[corvane]\r\nmax-file-size=100000000\r\nFlatViewLevel=-1\r\n' > "$out/bench.ini"

run() {  # run FILE REPORT [--no-text]
  local win_out win_file win_ini
  win_out=$(winepath -w "$out/$2")
  win_file=$(winepath -w "$out/$1")
  win_ini=$(winepath -w "$out/bench.ini")
  wine "$bin/lister_host.exe" --grid-bench $3 --ini "$win_ini" --out "$win_out" "$win_file" || true
  echo "--- $1"
  cat "$out/$2"
}
export -f run
export out bin
"$root/tools/with-wine.sh" bash -c 'run grid-1m.yaml grid-1m.txt --no-text; run text-12mb.yaml text-12mb.txt'
