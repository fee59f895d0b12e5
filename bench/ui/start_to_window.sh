#!/usr/bin/env bash
# Milliseconds from starting `brimvex --emulate` to its main window mapped on an X server of its
# own, for RUNS starts each: with nothing stored (a first start) and with a stored language
# (English) and a custom picture. Needs Xvfb, xwininfo (x11-utils) and ImageMagick's convert.
#   bench/ui/start_to_window.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build="${1:-build}"
runs="${2:-5}"
source "$(dirname "$0")/../lib/own_display.sh" "$build" 1920x1080x24

mapped() { xwininfo -root -tree 2>/dev/null | grep -q '"Brimvex": ("Brimvex"'; }
stop() { kill "$program"; wait "$program" 2>/dev/null || true; program=""; }

# One start in HOME_DIR; prints the milliseconds until the window is mapped.
start_once() {
  export XDG_DATA_HOME="$1/data" XDG_CONFIG_HOME="$1/config"
  local t0 t1
  t0="$(date +%s%N)"
  LANG=C "$bin" --emulate >"$1/out.log" 2>&1 &
  program=$!
  until mapped; do sleep 0.005; done
  t1="$(date +%s%N)"
  echo $(( (t1 - t0) / 1000000 ))
  # Let the start finish (it answers requests) before it is stopped.
  until "$ctl" profile list >/dev/null 2>&1; do sleep 0.05; done
}

report() {
  sort -n | awk -v name="$1" '{ v[NR] = $1 } END { printf "%-22s runs %d  min %d  median %d  max %d ms\n", name, NR, v[1], v[int((NR + 1) / 2)], v[NR] }'
}

for i in $(seq "$runs"); do
  rm -rf "$work/first"
  mkdir -p "$work/first"
  start_once "$work/first"
  stop
done | report "nothing stored"

mkdir -p "$work/stored"
convert -size 800x572 gradient:'#203040-#6080a0' "$work/picture.png"
start_once "$work/stored" >/dev/null
"$ctl" language English >/dev/null
"$ctl" skin "image=$work/picture.png" >/dev/null
stop
for i in $(seq "$runs"); do
  start_once "$work/stored"
  stop
done | report "language and picture"
