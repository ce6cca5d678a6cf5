#!/bin/sh
# Renders the editor's windows offscreen into docs/screenshots/*.png (builds
# what it needs into build/ first). Extra arguments go to cmake's configure step.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja "$@" >/dev/null
cmake --build build -j"$(nproc)" --target kestrel_screenshots
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" build/bin/kestrel_screenshots docs/screenshots
