#!/usr/bin/env bash
# Installs everything corvane needs on a fresh Debian machine and fetches the
# sources the Windows builds compile: libyaml, and Scintilla (the text pane's
# control) from Debian's scite source package. Safe to run again: it skips
# what is already there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++ clang libclang-rt-14-dev libyaml-dev
  libtomlplusplus-dev libgtest-dev googletest dpkg-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64 xvfb xauth imagemagick zip unzip)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done

# The Windows builds compile libyaml and Scintilla from Debian's source
# packages, which need the source index next to the binary one.
enable_sources() {
  local f=/etc/apt/sources.list.d/debian.sources
  if [ -f "$f" ] && ! grep -q '^Types:.*deb-src' "$f"; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
    return 0
  fi
  if [ -f /etc/apt/sources.list ] && ! grep -q '^deb-src' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >> /etc/apt/sources.list
    return 0
  fi
  return 1
}

need_update=0
enable_sources && need_update=1
[ ${#missing[@]} -gt 0 ] && need_update=1
src_dir="$root/build/third_party"
ls -d "$src_dir"/libyaml-0.2.5 >/dev/null 2>&1 || need_update=1
ls -d "$src_dir"/scite-5.3.3/scintilla >/dev/null 2>&1 || need_update=1

export DEBIAN_FRONTEND=noninteractive
if [ "$need_update" = 1 ]; then
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

fetch_source() {  # fetch_source PACKAGE FOLDER
  if ! ls -d "$src_dir/$2" >/dev/null 2>&1; then
    mkdir -p "$src_dir"
    (cd "$src_dir" && apt-get source -qq "$1" >/dev/null 2>&1 || apt-get source "$1")
  fi
}
fetch_source libyaml libyaml-0.2.5
fetch_source scite scite-5.3.3/scintilla
echo "setup: done"
