# Sourced by the bench scripts that run the real program: BUILD_DIR's brimvex and brimvexctl
# ($bin, $ctl), a work folder ($work) and an X server of their own ($DISPLAY, $XDG_RUNTIME_DIR);
# the server, the program whose pid is in $program and the folder go when the script ends.
#   source bench/lib/own_display.sh BUILD_DIR SCREEN    (SCREEN e.g. 1920x1080x24)
bin="$(cd "$1" && pwd)/brimvex"
ctl="$(cd "$1" && pwd)/brimvexctl"
work="$(mktemp -d)"
xvfb=""
program=""
cleanup() {
  [[ -n "$program" ]] && kill "$program" 2>/dev/null && wait "$program" 2>/dev/null || true
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$work/display"
export DISPLAY=":$number" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
