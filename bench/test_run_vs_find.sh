#!/bin/sh
# Times `kestrel-cli test` of a plug-in that walks a tree of 200,000 files in
# 20,000 folders twice (one empty-path action, one *.* action with /S) against
# two runs of `find DIR -printf '%s %p\n'` over the same tree, alternating, and
# prints the medians, their ratio and the test run's peak memory.
#
#   bench/test_run_vs_find.sh [path/to/kestrel-cli] [runs]
#
# The tree is built once in a temporary folder and removed at the end; set
# KESTREL_BENCH_TREE=DIR to build it in DIR instead and keep it for later runs.
set -eu
cd "$(dirname "$0")/.."
cli=${1:-build/bin/kestrel-cli}
runs=${2:-5}
[ -x "$cli" ] || { echo "no kestrel-cli at $cli (build it first)" >&2; exit 2; }

if [ -n "${KESTREL_BENCH_TREE:-}" ]; then
  work=$KESTREL_BENCH_TREE
  mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-bench-XXXXXX")
  trap 'rm -rf "$work"' EXIT INT TERM
fi

# A prefix whose drive C: holds the tree: 200 folders of 99 subfolders each
# (20,000 folders), 10 files in every folder (200,000 files).
tree="$work/prefix/drive_c/bench"
if [ ! -d "$tree" ]; then
  mkdir -p "$work/prefix/dosdevices" "$work/prefix/drive_c"
  ln -sfn ../drive_c "$work/prefix/dosdevices/c:"
  echo "building the tree in $tree ..."
  python3 - "$tree.part" <<'PY'
import os, sys
root = sys.argv[1]
names = ["readme.txt", "data.bin", "cache.tmp", "trace.log", "Image.PNG",
         "notes.doc", "x.ini", "settings.xml", "a", "Long file name with spaces.dat"]
for top in range(200):
    top_dir = os.path.join(root, "folder%03d" % top)
    for d in [top_dir] + [os.path.join(top_dir, "sub%02d" % s) for s in range(99)]:
        os.makedirs(d)
        for i, n in enumerate(names):
            with open(os.path.join(d, n), "wb") as f:
                f.write(b"x" * (i * 37))
PY
  mv "$tree.part" "$tree"
fi

cat > "$work/bench.cln" <<'CLN'
[Settings]
Description=Walks the benchmark tree twice
Provider=bench
Version=1.0
Encrypted=0
HIDEOPTION=0
[DISK_OPTION]
0=File/Folder Actions<1>0,1
[DISK]
0=C:\bench /E
1=C:\bench\*.* /S
CLN

cli_command="'$cli' test --prefix '$work/prefix' '$work/bench.cln' > /dev/null"
find_command="find '$tree' -printf '%s %p\n' > /dev/null; find '$tree' -printf '%s %p\n' > /dev/null"

# Appends "wall user+system" in milliseconds for one run of a shell command.
timed() {
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f '%e %U %S' -o "$work/time.out" sh -c "$1"
    awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$work/time.out" >> "$2"
  else
    t0=$(date +%s%N); sh -c "$1"; t1=$(date +%s%N)
    echo "$(( (t1 - t0) / 1000000 )) 0" >> "$2"
  fi
}
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Warm the caches, and check the run sees the whole tree: the empty-path
# action reports all 200,000 files, "*.*" the 180,000 whose names hold a dot.
lines=$("$cli" test --prefix "$work/prefix" "$work/bench.cln" | grep -c "Deleted File: " || true)
sh -c "$find_command"
echo "test run reports $lines file lines (expected 380000)"

: > "$work/cli.times"
: > "$work/find.times"
i=0
while [ "$i" -lt "$runs" ]; do
  timed "$cli_command" "$work/cli.times"
  timed "$find_command" "$work/find.times"
  i=$((i + 1))
done
cli_wall=$(cut -d' ' -f1 < "$work/cli.times" | median)
cli_cpu=$(cut -d' ' -f2 < "$work/cli.times" | median)
find_wall=$(cut -d' ' -f1 < "$work/find.times" | median)
find_cpu=$(cut -d' ' -f2 < "$work/find.times" | median)
echo "kestrel-cli test : median ${cli_wall} ms wall, ${cli_cpu} ms CPU over $runs runs"
echo "find, twice      : median ${find_wall} ms wall, ${find_cpu} ms CPU over $runs runs"
awk -v a="$cli_wall" -v b="$find_wall" 'BEGIN { printf "ratio            : %.2fx wall time (goal: 1.5x or less)\n", a / b }'
if [ "$find_cpu" -gt 0 ]; then
  awk -v a="$cli_cpu" -v b="$find_cpu" 'BEGIN { printf "                   %.2fx CPU time\n", a / b }'
fi

if [ -x /usr/bin/time ]; then
  /usr/bin/time -f '%M' -o "$work/time.out" sh -c "$cli_command"
  peak=$(cat "$work/time.out")
else
  peak=$(python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$cli" test --prefix "$work/prefix" "$work/bench.cln")
fi
echo "peak memory      : ${peak} KB (kestrel-cli test)"
