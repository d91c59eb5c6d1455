#!/usr/bin/env bash
# Runs window_bench on a private Xvfb screen of the given size, with openbox
# when asked; extra arguments go to the benchmark.
# Usage: bench/run_window_bench.sh WIDTHxHEIGHT [wm] [--benchmark_filter=...]
set -eu
size=$1
shift
manager=""
if [ "${1:-}" = wm ]; then
  manager=openbox
  shift
fi
bin=$(dirname "$0")/../build/release/bin
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
wm=""
trap 'kill $wm $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
export DISPLAY=":$(cat "$work/display")" SDL_VIDEODRIVER=x11 DRAYVANE_XSERVER_PID=$xvfb
if [ -n "$manager" ]; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 1
fi
echo "screen $size${manager:+ with $manager}"
"$bin/window_bench" "$@"
