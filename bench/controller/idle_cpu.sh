#!/usr/bin/env bash
# CPU share of one core that `brimvex --emulate` (the four emulated products, window shown) uses
# while nobody touches it, under an X server of its own; per thread below.
#   bench/controller/idle_cpu.sh [BUILD_DIR] [SECONDS] [brimvexctl words run first...]
# e.g. bench/controller/idle_cpu.sh build 30 light-control off
set -euo pipefail
build="${1:-build}"
secs="${2:-30}"
shift $(( $# > 2 ? 2 : $# ))
bin="$(cd "$build" && pwd)/brimvex"
ctl="$(cd "$build" && pwd)/brimvexctl"
home="$(mktemp -d)"
pid=""
# Whatever ends the script (a closed pipe too), the program it started goes with it.
trap '[[ -n "$pid" ]] && kill "$pid" 2>/dev/null; rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1920x1080x24" "$bin" --emulate >"$home/out.log" 2>&1 &
runner=$!
for _ in $(seq 100); do
  pid="$(pgrep -n -x -f "$bin --emulate" || true)"
  [[ -n "$pid" ]] && "$ctl" profile list >/dev/null 2>&1 && break
  sleep 0.1
done
[[ -z "$pid" ]] && { echo "brimvex did not start"; cat "$home/out.log"; exit 1; }
(( $# > 0 )) && "$ctl" "$@"
sleep 3  # the start-up's reads and writes are over
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz="$(getconf CLK_TCK)"
t0="$(ticks)"; s0="$(date +%s.%N)"
sleep "$secs"
t1="$(ticks)"; s1="$(date +%s.%N)"
echo "brimvex --emulate idle for $secs s: $(echo "scale=2; 100 * ($t1 - $t0) / $hz / ($s1 - $s0)" | bc) % of one core"
for t in /proc/"$pid"/task/*; do
  printf '  %-16s %6s ticks since start\n' "$(cat "$t/comm")" "$(awk '{print $14 + $15}' "$t/stat")"
done
kill "$pid"
wait "$runner" || true
pid=""
