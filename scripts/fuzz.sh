#!/usr/bin/env bash
# Builds the fuzz preset and runs each parser's libFuzzer target for SECONDS (default 60).
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   targets: fuzz_intelhex fuzz_bench fuzz_cfgfile
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_intelhex fuzz_bench fuzz_cfgfile)
scripts/ensure-packages.sh scripts/fuzz-packages.txt
cmake --preset fuzz
cmake --build --preset fuzz
for t in "${targets[@]}"; do
  corpus="build/fuzz/corpus/$t"
  mkdir -p "$corpus"
  echo "== $t for ${seconds}s"
  "build/fuzz/devicelib/fuzz/$t" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
done
