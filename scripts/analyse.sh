#!/usr/bin/env bash
# Runs clang-tidy and clazy over the program's own sources (src/ and devicelib/src: not the tests,
# not the generated moc/uic files) and fails on any finding of either. The compilation database and
# the generated form headers come from the analyse preset in build/analyse; nothing is compiled.
# Usage: scripts/analyse.sh [FILE...]   (default: every .cpp of src/ and devicelib/src)
set -euo pipefail
named=()
for f in "$@"; do named+=("$(realpath "$f")"); done
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/build/analyse"

tidy_on=(
  'clang-analyzer-*'
  'bugprone-*'
  'performance-*'
  'concurrency-*'
  cppcoreguidelines-init-variables
  misc-redundant-expression
  misc-unused-using-decls
  readability-misleading-indentation
)
# Noise for this code:
tidy_off=(
  bugprone-easily-swappable-parameters                 # any two neighbouring parameters of one type
  bugprone-implicit-widening-of-multiplication-result  # size limits written as 16 * 1024 * 1024
  bugprone-misplaced-widening-cast                     # small loop indices cast to size_t after the + 1
  bugprone-narrowing-conversions                       # the library's int16_t statuses carried through int
  clang-analyzer-cplusplus.NewDeleteLeaks              # ignores Qt parent ownership: a widget's parent deletes it
  clang-analyzer-optin.cplusplus.VirtualCall           # the window's constructor calls its own lookups on purpose
  performance-no-automatic-move                        # const QStrings returned: the copy is a reference count
  concurrency-mt-unsafe                                # getenv, getpwuid: nothing here changes either
  performance-enum-size                                # a 4-byte enum in a few variables; a fixed base type saves nothing
  bugprone-throwing-static-initialization              # tables of texts at start-up: an allocation that fails there ends the program anyway
  bugprone-unchecked-optional-access                   # cannot see an optional vouched for by the status returned beside it
  bugprone-inc-dec-in-conditions                       # the number filter counts its digits in its conditions on purpose
)
# non-pod-global-static: file-level QString constants from QStringLiteral, which allocate nothing.
clazy_checks='level0,level1,no-non-pod-global-static'

checks="-*$(printf ',%s' "${tidy_on[@]}")$(printf ',-%s' "${tidy_off[@]}")"
# Findings in our own headers count; Qt's, the standard library's and the generated ones do not.
headers="^$root/(src|devicelib/(src|include))/"

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

cmake --preset analyse >"$out/configure.txt" 2>&1 || { cat "$out/configure.txt" >&2; exit 1; }
# The form headers (ui_*.h) must exist. The autogen step run by itself makes them in seconds; its
# build target would first build the device library, which the analysis does not need.
cmake -E cmake_autogen "$build/src/CMakeFiles/configurator_core_autogen.dir/AutogenInfo.json" Debug ||
  cmake --build "$build" --target configurator_core_autogen

if [ ${#named[@]} -gt 0 ]; then
  files=("${named[@]}")
else
  # Biggest first, clazy (a few seconds a file) after clang-tidy, so the two cores stay busy to the end.
  mapfile -t files < <(find "$root/src" "$root/devicelib/src" -name '*.cpp' -printf '%s %p\n' |
                       sort -rn | cut -d' ' -f2-)
fi

run_one() {
  local tool="$1" file="$2" log
  log="$out/$tool-$(printf '%s' "$file" | tr '/' '_').txt"
  case "$tool" in
    tidy) clang-tidy-22 --quiet -p "$build" --checks="$checks" --warnings-as-errors='*' \
            --header-filter="$headers" "$file" >"$log" 2>&1 ;;
    clazy) clazy-standalone -p "$build" --checks="$clazy_checks" --header-filter="$headers" \
             --ignore-dirs="^$build/" "$file" >"$log" 2>&1 ;;
  esac || echo "$log $tool ${file#"$root"/}" >>"$out/failed"
}
export -f run_one
export root out build checks headers clazy_checks

{ printf 'tidy\0%s\0' "${files[@]}"; printf 'clazy\0%s\0' "${files[@]}"; } |
  xargs -0 -n 2 -P "$(nproc)" bash -c 'run_one "$@"' _

# Each finding with its source line and notes, without the tools' counts of what they left out;
# the whole output of a run that failed without a finding (a crash, a file that does not parse).
found=0
for log in "$out"/*-*.txt; do
  n=$(grep -cE ': (warning|error):' "$log" || true)
  found=$((found + n))
  if [ "$n" -gt 0 ]; then
    grep -vE '^[0-9]+ (warning|error)s? (generated|treated as errors)\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^Error while processing' "$log"
  elif failed=$(grep -F "$log " "$out/failed" 2>/dev/null); then
    echo "analyse: ${failed#"$log" } failed:"
    cat "$log"
  fi
done
echo "analyse: ${#files[@]} file(s), clang-tidy and clazy, ${SECONDS} s: $found finding(s)"
[ "$found" -eq 0 ] && [ ! -s "$out/failed" ]
