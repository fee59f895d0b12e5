#!/usr/bin/env bash
# CPU share of one core that `brimvex --emulate` uses with the headset's LEDs animated (wave,
# speed 4: the light worker's steps and twelve LED reports per changed frame) beside the headset
# unplugged, one run, on an X server of its own. The other products' lights are switched off
# first so the headset is what moves. Three phases of SECONDS each: the headset page shown, the
# headset page hidden (the pad's page in front), the headset unplugged.
#   bench/audio/headset_leds_cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build="${1:-build}"
secs="${2:-20}"
source "$(dirname "$0")/../lib/own_display.sh" "$build" 1280x900x24
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"

LANG=C "$bin" --emulate >"$work/out.log" 2>&1 &
program=$!
for _ in $(seq 100); do
  "$ctl" light keyboard set mode=28 >/dev/null 2>&1 && break
  sleep 0.1
done
"$ctl" light mouse set mode=9 >/dev/null
"$ctl" light pad set mode=8 >/dev/null
"$ctl" light headset set mode=8 >/dev/null  # selects the headset's page

ticks() { awk '{print $14 + $15}' "/proc/$program/stat"; }
hz="$(getconf CLK_TCK)"
measure() {
  sleep 2  # the writes of the change are over
  local t0 s0 t1 s1
  t0="$(ticks)"; s0="$(date +%s.%N)"
  sleep "$secs"
  t1="$(ticks)"; s1="$(date +%s.%N)"
  printf '%-34s %6s %% of one core\n' "$1" "$(echo "scale=2; 100 * ($t1 - $t0) / $hz / ($s1 - $s0)" | bc)"
}

measure "all lights off, headset page shown"
"$ctl" light headset set mode=0 speed=4 >/dev/null
measure "headset wave, its page shown"
"$ctl" light pad set mode=8 >/dev/null              # the pad's page in front
measure "headset wave, its page hidden"
"$ctl" emu unplug headset >/dev/null
measure "headset unplugged"
