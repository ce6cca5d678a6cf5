#!/bin/sh
# Installs what is missing, builds, and starts the editor.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/bin/kestrel "$@"
