#!/usr/bin/env bash
# Start-up benchmark: runs the release build's bench_startup RUNS times (default 10) offscreen, with
# an empty settings directory and a bench without LIN delays, and prints each run and the median.
# Usage: bench/startup.sh [RUNS] [PROGRAM ARGUMENTS...]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
shift || true
scripts/ensure-packages.sh
cmake --preset release >/dev/null
cmake --build --preset release --target bench_startup >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\nserial=100001\n[box:ZUBREX-0001:0]\n' > "$work/bench.ini"
results=()
for _ in $(seq "$runs"); do
  rm -rf "$work/appdata"
  line=$(APPDATA="$work/appdata" MOXTA_BENCH="$work/bench.ini" QT_QPA_PLATFORM=offscreen \
         build/release/bench/bench_startup "$@" 2>/dev/null | grep first_activation_ms)
  echo "$line"
  results+=("$(echo "$line" | sed 's/.*first_activation_ms=\([0-9]*\).*/\1/')")
done
printf '%s\n' "${results[@]}" | sort -n | awk '{a[NR]=$1} END {print "median first_activation_ms=" a[int((NR+1)/2)]}'
