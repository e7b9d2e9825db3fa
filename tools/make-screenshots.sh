#!/usr/bin/env bash
# Regenerates docs/screenshots/ (the pictures of the user guide): the plug-in
# in the lister host under wine, on a YAML and a TOML sample: the tree and the
# grid (light and dark, a decimal-aligned column), the plain and flattened
# views, the Path/Value view, the filter row (a text and a number filter,
# a filter beside a hidden column), sorting, hidden columns, a file that does
# not parse with its error shown, the text pane (light and dark, with its line
# numbers, a value selected by a tab switch), the context menu, edit mode (an
# accepted edit with the modified status; the cell editor open on the next
# row), a key rename in the Path/Value view and a save (on copies of the
# sample); and the context menu and the status bar in German and Russian
# (the plug-in beside the language files of lang/). Each picture is a PNG of
# the viewer's window written by the host (--screenshot). Needs the win64
# build; starts (and stops) its own Xvfb when there is no display.
# Usage: tools/make-screenshots.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target corvane_plugin corvane_parser lister_host >/dev/null

out=docs/screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# shot NAME FILE SETTINGS [HOST OPTIONS...]: one picture, with its own
# settings file (the view settings the picture needs, nothing else).
shot() {
  local name=$1 file=$2 settings=$3
  case $file in /*) ;; *) file=$root/$file ;; esac
  shift 3
  printf '[corvane]\r\n%b' "$settings" >"$work/$name.ini"
  wine build/win64/bin/lister_host.exe --size 900x560 --ini "Z:$work/$name.ini" \
    --screenshot "Z:$root/$out/$name.png" "$@" "Z:$file"
  echo "$out/$name.png"
}

# The commands of the context menu, sent as its entries would send them.
hide_column=#5007

session() {
  # The servers table: its weight column is aligned on the decimal point.
  local servers='^Tab,Right,^Tab'
  shot yaml-tree-grid samples/servers.yaml 'FlatViewLevel=1\r\n' --send-keys "$servers"
  shot yaml-tree-grid-dark samples/servers.yaml 'FlatViewLevel=1\r\ntheme-mode=dark\r\n' --send-keys "$servers"
  shot yaml-flat-0 samples/servers.yaml 'FlatViewLevel=0\r\n' --send-keys "$servers"
  shot yaml-filter-row samples/servers.yaml 'FlatViewLevel=1\r\n' --send-keys "$servers" --filter '4=db'
  shot yaml-filter-number samples/servers.yaml 'FlatViewLevel=1\r\n' --send-keys "$servers" --filter '3=>1'
  # The host column hidden, then a filter: each edit stays under its column.
  shot yaml-filter-hidden-column samples/servers.yaml 'FlatViewLevel=1\r\n' \
    --send-keys "$servers,Right,$hide_column" --filter '4=db'
  shot yaml-sorted samples/servers.yaml 'FlatViewLevel=1\r\n' --send-keys "$servers,^4,^4"
  shot yaml-hidden-columns samples/servers.yaml 'FlatViewLevel=1\r\n' \
    --send-keys "$servers,Right,Right,Right,Right,$hide_column,Right,$hide_column"
  shot yaml-text samples/servers.yaml '' --tab 1
  shot toml-text-dark samples/Cargo.toml 'theme-mode=dark\r\n' --tab 1
  shot yaml-text-dark samples/servers.yaml 'theme-mode=dark\r\n' --tab 1
  # A file that does not parse: its error in the status bar, the text
  # selected where the error is.
  sed 's/tags: \[db, primary\]/tags: [db, primary/' samples/servers.yaml >"$work/servers-broken.yaml"
  shot yaml-parse-error "$work/servers-broken.yaml" ''
  # Bravo's port, 8080 as alpha's: the Text tab selects bravo's.
  shot yaml-text-selected samples/servers.yaml 'FlatViewLevel=1\r\n' --send-keys "$servers,Down,Right,Right,@1"
  shot yaml-path-value samples/servers.yaml 'FlatViewLevel=-1\r\n'
  shot yaml-context-menu samples/servers.yaml 'FlatViewLevel=1\r\n' --menu
  shot toml-tree-grid samples/Cargo.toml '' --send-keys '^Tab,Down,Down,Right,^Tab'
  shot toml-path-value samples/Cargo.toml 'FlatViewLevel=-1\r\n'
  # Edit mode on a copy: port 8080 of the first server becomes 8443.
  cp samples/servers.yaml "$work/servers.yaml"
  local edit="$servers,^E,Right,Right,Enter,8,4,4,3,Enter"
  shot yaml-edit-modified "$work/servers.yaml" 'FlatViewLevel=1\r\n' --send-keys "$edit"
  shot yaml-edit-cell-editor "$work/servers.yaml" 'FlatViewLevel=1\r\n' --send-keys "$edit,Down,Enter"
  cmp -s samples/servers.yaml "$work/servers.yaml" || { echo "the sample's copy was written" >&2; return 1; }
  # A key rename in the Path/Value view: "region" becomes "zone", its
  # editor still open.
  shot yaml-key-rename "$work/servers.yaml" 'FlatViewLevel=-1\r\n' --send-keys '^E,Enter,End,Back,Back,Back,Back,Back,Back,z,o,n,e'
  # Saved: the copy is written.
  shot yaml-saved "$work/servers.yaml" 'FlatViewLevel=1\r\n' --send-keys "$edit,^S"
  grep -q 'port: 8443' "$work/servers.yaml" || { echo "the save did not write the copy" >&2; return 1; }
  localised de
  localised ru
}

# The context menu and the status bar (edit mode, one change) in a language:
# the plug-in in a folder of its own with the language files beside it.
localised() {
  local code=$1 plugin="$work/plugin-$1"
  mkdir -p "$plugin"
  cp build/win64/bin/corvane.wlx64 build/win64/bin/corvane_parser64.dll lang/corvane.*.lng "$plugin/"
  cp samples/servers.yaml "$work/servers-$code.yaml"
  shot "yaml-context-menu-$code" samples/servers.yaml "FlatViewLevel=1\r\nlanguage=$code\r\n" \
    --plugin-dir "Z:$plugin" --menu
  shot "yaml-edit-$code" "$work/servers-$code.yaml" "FlatViewLevel=1\r\nlanguage=$code\r\n" \
    --plugin-dir "Z:$plugin" --send-keys '^Tab,Right,^Tab,^E,Right,Right,Enter,8,4,4,3,Enter'
}
export -f shot session localised
export work root out hide_column
tools/with-wine.sh bash -c session
