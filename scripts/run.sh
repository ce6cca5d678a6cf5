#!/bin/sh
# Installs what is missing, builds, and starts the editor.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ ! -x build/bin/kestrel ]; then
  echo "The editor window is not part of this build yet; build/bin/kestrel-cli is." >&2
  exit 1
fi
exec build/bin/kestrel "$@"
