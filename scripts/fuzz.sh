#!/usr/bin/env bash
# fuzz.sh: builds the fuzz targets for this Linux host with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for FUZZ_SECONDS (default 20) from the seed corpus in
# tests/fuzz/corpus. A crash, a sanitizer report or a broken property fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
out=build/fuzz
mkdir -p "$out"

flags=(-std=c++17 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -Wall -Wextra -Werror)
declare -A sources=(
  [cmdline]="setup/cmdline.cpp setup/locations.cpp"
  [locations]="setup/locations.cpp"
  [geometry]="ui/geometry.cpp"
)
for target in cmdline locations geometry; do
  clang++ "${flags[@]}" "tests/fuzz/fuzz_$target.cpp" ${sources[$target]} -o "$out/fuzz_$target"
done
for target in cmdline locations geometry; do
  work="$out/corpus-$target"
  mkdir -p "$work"
  cp -n tests/fuzz/corpus/$target/* "$work/" 2>/dev/null || true
  echo "fuzz: $target for ${seconds}s"
  "$out/fuzz_$target" -max_total_time="$seconds" -max_len=2048 -print_final_stats=1 -artifact_prefix="$out/" "$work" 2>"$out/$target.log" ||
    { tail -40 "$out/$target.log"; echo "fuzz: $target FAILED"; exit 1; }
  grep -E 'stat::number_of_executed_units' "$out/$target.log" | sed "s/^/fuzz: $target /"
done
echo "fuzz: all targets passed"
