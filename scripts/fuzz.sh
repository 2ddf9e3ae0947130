#!/usr/bin/env bash
# Builds the fuzz preset and runs each libFuzzer target for SECONDS (default 60), or until it has
# made RUNS executions when FUZZ_RUNS=RUNS is set, whichever comes first. Each target starts from
# the seed corpus kept in the repository and grows its own corpus under build/fuzz/corpus/.
# Usage: [FUZZ_RUNS=RUNS] scripts/fuzz.sh [SECONDS] [TARGET...]
#   targets: fuzz_intelhex fuzz_bench fuzz_cfgfile (the device library's parsers), fuzz_inifile (INI
#   reading and writing of src/platform)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_intelhex fuzz_bench fuzz_cfgfile fuzz_inifile)
scripts/ensure-packages.sh scripts/fuzz-packages.txt
cmake --preset fuzz
cmake --build --preset fuzz
runs=()
[ -n "${FUZZ_RUNS:-}" ] && runs=(-runs="$FUZZ_RUNS")
for t in "${targets[@]}"; do
  name="${t#fuzz_}"
  case "$t" in
    fuzz_inifile) binary="build/fuzz/fuzz/$t"; seeds="fuzz/seeds/$name" ;;
    *) binary="build/fuzz/devicelib/fuzz/$t"; seeds="devicelib/fuzz/seeds/$name" ;;
  esac
  corpus="build/fuzz/corpus/$t"
  mkdir -p "$corpus" build/fuzz/artifacts
  echo "== $t for ${seconds}s${FUZZ_RUNS:+ or $FUZZ_RUNS runs}"
  "$binary" -max_total_time="$seconds" "${runs[@]}" -max_len=8192 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/artifacts/ "$corpus" "$seeds" 2>&1 | tail -n 12
done
