#!/bin/sh
# Builds the Qt tests of the threaded test run with ThreadSanitizer into
# build-tsan/ and runs them offscreen: the dialog with its worker thread, and
# the Test command running the real test run on a fixture prefix.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTREL_TSAN=ON \
  -DKESTREL_WERROR=ON -DKESTREL_BENCH=OFF >/dev/null
targets="test_test_dlg test_test_command"
# shellcheck disable=SC2086
cmake --build build-tsan -j"$(nproc)" --target $targets
mkdir -p build-tsan/xdg-runtime
passed=0
failed=0
for target in $targets; do
  if QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$PWD/build-tsan/xdg-runtime" \
    TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/gui/tsan.supp" \
    "build-tsan/bin/$target" >"build-tsan/$target.log" 2>&1; then
    passed=$((passed + 1))
  else
    echo "tsan $target: FAILED; last lines of build-tsan/$target.log:"
    tail -n 60 "build-tsan/$target.log"
    failed=$((failed + 1))
  fi
done
echo "tsan: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
