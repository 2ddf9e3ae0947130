#!/usr/bin/env bash
# Soak: the program of the test preset (AddressSanitizer, UndefinedBehaviorSanitizer) runs offscreen
# for MINUTES (default 10) while its bench file is rewritten every 200 ms: the box unplugged and
# plugged in again, busy flips, new errors, a second box coming and going, the adapter pulled out now
# and then. The program polls all along. Prints the resident memory every 30 s, then the verdict:
# no sanitizer report, no crash, and no growth of the resident memory after the first minute.
# SOAK_ASAN_OPTIONS adds AddressSanitizer options (e.g. quarantine_size_mb=0: ASan keeps freed
# memory in a quarantine of up to 256 MB, which alone makes the resident memory creep up).
# Usage: bench/soak.sh [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes="${1:-10}"
scripts/ensure-packages.sh
cmake --preset test >/dev/null
cmake --build --preset test --target configurator >/dev/null
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# One bench for step $1 of the rewriting.
bench() {
  local i=$1
  local connected=$(( (i / 5) % 4 != 3 ))
  local busy=$(( (i / 3) % 2 ))
  local errors="" n
  for n in $(seq 0 $(( (i / 7) % 10 ))); do errors+="${errors:+,}$(( 4000 + 13 * n + i )):$(( 1 + (n + i) % 40 ))"; done
  printf '[bench]\nlin_baud=19200\n'
  # Pulled out for two steps in every sixty.
  if [ $(( i % 60 )) -ge 58 ]; then return; fi
  printf '[adapter:ZUBREX-0001]\nserial=100001\n'
  printf '[box:ZUBREX-0001:0]\nconnected=%d\nbusy=%d\nhardware_id=12\nerrors=%s\nconfig_type=KVR5E\n' \
    "$connected" "$busy" "$errors"
  if [ $(( (i / 11) % 2 )) -eq 1 ]; then
    printf '[box:ZUBREX-0001:1]\nhardware_id=12\nconfig_type=KVR5E\n'
  fi
}

bench 0 > "$work/bench.ini"
(
  i=1
  while true; do
    bench "$i" > "$work/bench.tmp"
    mv "$work/bench.tmp" "$work/bench.ini"
    i=$((i + 1))
    sleep 0.2
  done
) &
pids+=($!)

APPDATA="$work/appdata" MOXTA_BENCH="$work/bench.ini" QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS="detect_leaks=0:halt_on_error=1${SOAK_ASAN_OPTIONS:+:$SOAK_ASAN_OPTIONS}" UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  build/test/configurator COMBINED > /dev/null 2> "$work/stderr" &
program=$!
pids+=("$program")

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$program/status" 2>/dev/null || echo 0; }
start=$(date +%s)
end=$(( start + minutes * 60 ))
samples=()
alive=1
while [ "$(date +%s)" -lt "$end" ]; do
  sleep 30
  if ! kill -0 "$program" 2>/dev/null; then alive=0; break; fi
  elapsed=$(( $(date +%s) - start ))
  r=$(rss)
  samples+=("$elapsed $r")
  echo "t=${elapsed}s rss_kib=$r"
done

status=0
if [ "$alive" -eq 1 ] && kill -0 "$program" 2>/dev/null; then
  kill "$program"
  wait "$program" 2>/dev/null || true
else
  echo "soak: FAIL: the program ended on its own (crash?)"
  status=1
fi
if grep -qE 'ERROR: AddressSanitizer|runtime error:|UndefinedBehaviorSanitizer|LeakSanitizer' "$work/stderr"; then
  echo "soak: FAIL: sanitizer report:"
  grep -A20 -E 'ERROR: AddressSanitizer|runtime error:|UndefinedBehaviorSanitizer' "$work/stderr" | head -40
  status=1
fi
# Growth after the first minute: the largest sample after 60 s against the first one after 60 s.
printf '%s\n' "${samples[@]}" | awk '
  $1 >= 60 { if (first == "") first = $2; if ($2 > max) max = $2 }
  END {
    if (first == "") { print "soak: too short to judge growth"; exit }
    printf "soak: rss after the first minute %d KiB, largest later %d KiB, growth %d KiB\n", first, max, max - first
  }'
echo "soak: bench rewrites: $(( ( $(date +%s) - start ) * 5 )) (about), stderr lines: $(wc -l < "$work/stderr")"
[ "$status" -eq 0 ] && echo "soak: no sanitizer report, no crash"
exit "$status"
