#!/usr/bin/env bash
# Times the whole process of reading, recalculating and listing a worksheet,
#   talloway-cli FILE --recalc --dump   against   ssconvert --recalc FILE out.csv
# on four generated workloads, the two programs in turn (ours, theirs, ours,
# theirs ...) so that a drift in the machine's speed touches both; checks
# both programs' values against the generator's; prints medians, peak
# memory and the ratio of the medians.
#   bench/compare_ssconvert.sh [BUILD_DIR] [GEN_WK1_PY] [RUNS]
# Use a Release build: cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release \
#   -DTALLOWAY_BENCH=ON -DTALLOWAY_UI=OFF -DTALLOWAY_TESTS=OFF && cmake --build build-bench
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-bench}
GEN=${2:-../shared/tools/gen_wk1.py}
RUNS=${3:-5}
CLI="$BUILD/talloway-cli"
CHECK=tests/interop/dump_matches_expect.py
[ -x "$CLI" ] || { echo "no $CLI: build first" >&2; exit 1; }
[ -f "$GEN" ] || { echo "no $GEN" >&2; exit 1; }
command -v ssconvert > /dev/null || { echo "ssconvert is not installed (Debian package gnumeric)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# One run's seconds, its output thrown away: the wall clock from the spawn
# to the reaping of the process, with nothing else started between, so that
# a program of a few milliseconds is not timed with the harness.
measure() {
  python3 - "$@" << 'PY'
import os, sys, time
devnull = os.open(os.devnull, os.O_WRONLY)
actions = [(os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)]
start = time.perf_counter()
pid = os.posix_spawnp(sys.argv[1], sys.argv[1:], os.environ, file_actions=actions)
os.waitpid(pid, 0)
print("%.4f" % (time.perf_counter() - start))
PY
}
# The peak memory of one run in KiB, as the system accounts it.
peak() {
  /usr/bin/time -f %M -o "$WORK/rss" "$@" > /dev/null 2>&1 || true
  tail -n 1 "$WORK/rss"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# ssconvert's CSV checked like the dump: its cells are the values.
check_csv() {
  python3 - "$1" "$2" << 'PY'
import csv, sys
got = list(csv.reader(open(sys.argv[1], newline="")))
want = list(csv.reader(open(sys.argv[2], newline="")))
bad = 0
for r, row in enumerate(want):
    for c, w in enumerate(row):
        g = got[r][c] if r < len(got) and c < len(got[r]) else ""
        if w == g:
            continue
        try:
            if w and g and abs(float(w) - float(g)) <= 1e-9 * max(1.0, abs(float(w))):
                continue
        except ValueError:
            pass
        bad += 1
print("ok" if bad == 0 else "%d differ" % bad)
PY
}

printf '%-26s %9s %9s %9s %9s %8s  %s\n' workload ours theirs "ours MB" "their MB" ratio values
for workload in "chain 16000 --layout snake" "grid 8000 30" "labels 8000 10" "grid 8000 125"; do
  name=$(echo "$workload" | cut -d' ' -f1-3 | tr ' ' '_')
  file="$WORK/$name.wk1"
  # shellcheck disable=SC2086
  python3 "$GEN" $workload -o "$file"
  # shellcheck disable=SC2086
  python3 "$GEN" $workload --expect > "$WORK/$name.expect.csv"
  # The same worksheet for the peer with relative references packed the way
  # it decodes them (sign and magnitude).
  # shellcheck disable=SC2086
  python3 "$GEN" $workload --rel-encoding signmag -o "$WORK/$name.peer.wk1"
  : > "$WORK/ours"
  : > "$WORK/theirs"
  "$CLI" "$file" --recalc --dump > /dev/null  # warm the file cache
  for _ in $(seq "$RUNS"); do
    measure "$CLI" "$file" --recalc --dump >> "$WORK/ours"
    measure ssconvert --recalc "$WORK/$name.peer.wk1" "$WORK/$name.csv" >> "$WORK/theirs"
  done
  ours=$(median < "$WORK/ours")
  theirs=$(median < "$WORK/theirs")
  ours_mb=$(peak "$CLI" "$file" --recalc --dump | awk '{ printf "%.1f", $1 / 1024 }')
  theirs_mb=$(peak ssconvert --recalc "$WORK/$name.peer.wk1" "$WORK/$name.csv" |
    awk '{ printf "%.1f", $1 / 1024 }')
  ours_ok=$("$CLI" "$file" --recalc --dump | python3 "$CHECK" "$WORK/$name.expect.csv" | tail -n 1 || true)
  theirs_ok=$(check_csv "$WORK/$name.csv" "$WORK/$name.expect.csv")
  printf '%-26s %8.4fs %8.3fs %9s %9s %7.1fx  ours %s, theirs %s\n' "$workload" "$ours" "$theirs" \
    "$ours_mb" "$theirs_mb" "$(awk -v a="$theirs" -v b="$ours" 'BEGIN { print (b > 0) ? a / b : 0 }')" \
    "$ours_ok" "$theirs_ok"
done
