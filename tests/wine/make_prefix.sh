#!/bin/sh
# Builds a fresh Wine prefix in DIR, headless, and records in DIR.env the
# environment a Windows program sees in it (Wine's own "set" output).
# Without Wine it removes DIR and succeeds: the tests that need it skip.
set -eu
dir=${1:?usage: make_prefix.sh DIR}
rm -rf "$dir" "$dir.home" "$dir.env"
if ! command -v wineboot >/dev/null 2>&1 || ! command -v wineserver >/dev/null 2>&1; then
  echo "wine is not installed: no prefix built"
  exit 0
fi
mkdir -p "$dir.home"
# A clean environment: Wine copies the Unix one into the Windows one, and the
# prefix's links to the home folder must not reach the real one.
run() {
  env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$dir.home" WINEPREFIX="$dir" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" "$@"
}
run wineboot -i >"$dir.log" 2>&1 || { cat "$dir.log"; exit 1; }
run wineserver -w
run wine cmd /c set >"$dir.env" 2>>"$dir.log" || { cat "$dir.log"; exit 1; }
# The hives are written when the server exits.
run wineserver -w
test -s "$dir/system.reg" && test -s "$dir/user.reg" && test -s "$dir/userdef.reg"
echo "prefix built in $dir"
