#!/usr/bin/env bash
# LOADSAVE benchmark: the whole process of one unattended run (start, load, pass through the window,
# save back, end), RUNS times (default 10), offscreen, with the wall time, the CPU time (user + system)
# and the peak memory of each run.
# Usage: bench/loadsave.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10}"
scripts/ensure-packages.sh
cmake --preset release >/dev/null
cmake --build --preset release --target configurator >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\nserial=100001\n[box:ZUBREX-0001:0]\n' > "$work/bench.ini"
walls=()
for _ in $(seq "$runs"); do
  printf '[configuration]\ntype=KVR5E\n[parameters]\nref1_stroke_max=6120\n[strings]\nConfType=KVR5E\n' > "$work/a.cfg"
  rm -rf "$work/appdata"
  out=$(APPDATA="$work/appdata" MOXTA_BENCH="$work/bench.ini" QT_QPA_PLATFORM=offscreen \
        /usr/bin/time -f '%e %U %S %M' build/release/configurator LOADSAVE "$work/a.cfg" 2>&1 >/dev/null | tail -n 1)
  read -r wall user system rss <<< "$out"
  cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')
  echo "wall_s=$wall cpu_s=$cpu peak_rss_kib=$rss"
  walls+=("$wall $cpu")
done
printf '%s\n' "${walls[@]}" | sort -n | awk '{w[NR]=$1} END {print "median wall_s=" w[int((NR+1)/2)]}'
printf '%s\n' "${walls[@]}" | awk '{print $2}' | sort -n | awk '{c[NR]=$1} END {print "median cpu_s=" c[int((NR+1)/2)]}'
