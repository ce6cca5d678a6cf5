#!/bin/sh
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a
# bounded time: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# (default 60 seconds, every target; a target is named without "fuzz_").
# Seed inputs come from tests/fuzz/corpus/NAME/; what a run finds new is kept in
# build-fuzz/corpus/NAME/ for the next run. A crash, leak, timeout or broken
# property stops the run with the failing input in build-fuzz/artifacts/.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTREL_FUZZ=ON -DKESTREL_GUI=OFF -DKESTREL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target kestrel_fuzz

targets="$*"
if [ -z "$targets" ]; then
  for source in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    targets="$targets ${name#fuzz_}"
  done
fi

mkdir -p build-fuzz/artifacts build-fuzz/logs
passed=0
failed=0
for name in $targets; do
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  set -- -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/artifacts/$name-"
  [ -f "tests/fuzz/$name.dict" ] && set -- "$@" -dict="tests/fuzz/$name.dict"
  # Extra libFuzzer flags of one target (a shorter -timeout, a -max_len).
  [ -f "tests/fuzz/$name.options" ] && set -- "$@" $(cat "tests/fuzz/$name.options")
  log=build-fuzz/logs/$name.log
  if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "build-fuzz/bin/fuzz_$name" "$@" "$corpus" "tests/fuzz/corpus/$name" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "fuzz $name: ${runs:-?} inputs in ${seconds}s, no finding"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED, log build-fuzz/logs/$name.log; last lines:"
    tail -n 40 "$log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
