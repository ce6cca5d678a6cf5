#!/bin/sh
# Builds a fresh Wine prefix in DIR, headless, and records in DIR.env the
# environment a Windows program sees in it (Wine's own "set" output).
# Without Wine it removes DIR and succeeds: the tests that need it skip.
set -u
dir=${1:?usage: make_prefix.sh DIR}
if ! command -v wineboot >/dev/null 2>&1 || ! command -v wineserver >/dev/null 2>&1; then
  rm -rf "$dir" "$dir.home" "$dir.env" "$dir.log"
  echo "wine is not installed: no prefix built"
  exit 0
fi
# A clean environment: Wine copies the Unix one into the Windows one, and the
# prefix's links to the home folder must not reach the real one.
run() {
  env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$dir.home" WINEPREFIX="$dir" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 "$@"
}
attempt() {
  rm -rf "$dir" "$dir.home" "$dir.env" "$dir.log"
  mkdir -p "$dir.home" || return 1
  run wineboot -i >>"$dir.log" 2>&1 || { echo "wineboot -i failed ($?)"; return 1; }
  run wineserver -w >>"$dir.log" 2>&1 || { echo "wineserver -w failed ($?)"; return 1; }
  run wine cmd /c set >"$dir.env" 2>>"$dir.log" || { echo "wine cmd /c set failed ($?)"; return 1; }
  # The hives are written when the server exits.
  run wineserver -w >>"$dir.log" 2>&1 || { echo "wineserver -w failed ($?)"; return 1; }
  for hive in system.reg user.reg userdef.reg; do
    test -s "$dir/$hive" || { echo "no $hive written"; return 1; }
  done
  test -s "$dir.env" || { echo "wine cmd /c set printed nothing"; return 1; }
}
# Wine sometimes fails to start on a busy machine: one more try from scratch.
for try in 1 2; do
  if attempt; then
    echo "prefix built in $dir"
    exit 0
  fi
  echo "make_prefix.sh: attempt $try failed; Wine said:"
  cat "$dir.log"
  run wineserver -k >/dev/null 2>&1
done
exit 1
