#!/usr/bin/env bash
# Runs inside tools/with-wine.sh: starts the lister host on a file, waits for
# its window, takes a screenshot of the display when it is a private one, then
# lets the host close itself.
set -uo pipefail
host=$1 file=$2
wine "$host" --close-after-ms 6000 "$file" &
pid=$!
sleep 4
if [ -n "${CORVANE_DEMO_SHOT:-}" ] && command -v import >/dev/null 2>&1; then
  import -window root "$CORVANE_DEMO_SHOT" 2>/dev/null || true
elif [ -n "${CORVANE_DEMO_SHOT:-}" ] && command -v xwd >/dev/null 2>&1; then
  xwd -root -silent -out "${CORVANE_DEMO_SHOT%.png}.xwd" 2>/dev/null || true
fi
wait "$pid"
