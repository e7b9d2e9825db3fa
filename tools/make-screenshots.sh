#!/usr/bin/env bash
# Regenerates docs/screenshots/: the plug-in in the lister host under wine,
# on a YAML and a TOML sample, showing the tree and the grid (light and dark,
# a decimal-aligned column), the filter row in use, the Path/Value view, the
# text pane, the context menu and edit mode (an accepted edit with the
# modified status; the cell editor open on the next row, on a copy of the
# sample). Each picture is a PNG of the viewer's window
# written by the host (--screenshot). Needs the win64 build; starts (and
# stops) its own Xvfb when there is no display.
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

session() {
  # The servers table: its weight column is aligned on the decimal point.
  shot yaml-tree-grid samples/servers.yaml 'FlatViewLevel=1\r\n' --send-keys '^Tab,Right,^Tab'
  shot yaml-tree-grid-dark samples/servers.yaml 'FlatViewLevel=1\r\ntheme-mode=dark\r\n' --send-keys '^Tab,Right,^Tab'
  shot yaml-filter-row samples/servers.yaml 'FlatViewLevel=1\r\n' --send-keys '^Tab,Right,^Tab' --filter '4=db'
  shot yaml-text samples/servers.yaml '' --tab 1
  shot toml-text-dark samples/Cargo.toml 'theme-mode=dark\r\n' --tab 1
  shot yaml-path-value samples/servers.yaml 'FlatViewLevel=-1\r\n'
  shot yaml-context-menu samples/servers.yaml 'FlatViewLevel=1\r\n' --menu
  shot toml-tree-grid samples/Cargo.toml '' --send-keys '^Tab,Down,Down,Right,^Tab'
  shot toml-path-value samples/Cargo.toml 'FlatViewLevel=-1\r\n'
  # Edit mode on a copy: port 8080 of the first server becomes 8443.
  cp samples/servers.yaml "$work/servers.yaml"
  local edit='^Tab,Right,^Tab,^E,Right,Right,Enter,8,4,4,3,Enter'
  shot yaml-edit-modified "$work/servers.yaml" 'FlatViewLevel=1\r\n' --send-keys "$edit"
  shot yaml-edit-cell-editor "$work/servers.yaml" 'FlatViewLevel=1\r\n' --send-keys "$edit,Down,Enter"
  cmp -s samples/servers.yaml "$work/servers.yaml" || { echo "the sample's copy was written" >&2; return 1; }
}
export -f shot session
export work root out
tools/with-wine.sh bash -c session
