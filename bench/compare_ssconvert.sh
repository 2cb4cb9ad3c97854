#!/usr/bin/env bash
# Times the whole process of reading, recalculating and listing a worksheet:
#   talloway-cli FILE --recalc --dump   against   ssconvert --recalc FILE out.csv
# on the workloads of gen_wk1.py, and checks that talloway-cli's values are
# the expected ones.
#   bench/compare_ssconvert.sh [BUILD_DIR] [GEN_WK1_PY]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
GEN=${2:-../shared/tools/gen_wk1.py}
CLI="$BUILD/talloway-cli"
[ -x "$CLI" ] || { echo "no $CLI: build first" >&2; exit 1; }
[ -f "$GEN" ] || { echo "no $GEN" >&2; exit 1; }
command -v ssconvert > /dev/null || { echo "ssconvert is not installed (Debian package gnumeric)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

seconds() {  # the wall-clock seconds of one run of the command
  local start end
  start=$(date +%s%N)
  "$@" > /dev/null 2>&1
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}

printf '%-26s %12s %12s %8s %s\n' workload talloway-cli ssconvert ratio values
for workload in "chain 16000 --layout snake" "grid 8000 30" "labels 8000 10"; do
  name=$(echo "$workload" | cut -d' ' -f1-3 | tr ' ' '_')
  file="$WORK/$name.wk1"
  # shellcheck disable=SC2086
  python3 "$GEN" $workload -o "$file"
  # shellcheck disable=SC2086
  python3 "$GEN" $workload --expect > "$WORK/$name.expect.csv"
  ours=$(seconds "$CLI" "$file" --recalc --dump)
  theirs=$(seconds ssconvert --recalc "$file" "$WORK/$name.csv")
  # The dump's value column, laid out as the expected CSV.
  "$CLI" "$file" --recalc --dump | python3 -c '
import csv, re, sys
cells = {}
for line in sys.stdin:
    parts = line.rstrip("\n").split("\t")
    m = re.match(r"([A-Z]+)(\d+)$", parts[0])
    col = 0
    for ch in m.group(1): col = col * 26 + ord(ch) - 64
    cells[(int(m.group(2)) - 1, col - 1)] = parts[3]
expect = list(csv.reader(open(sys.argv[1])))
bad = 0
for r, row in enumerate(expect):
    for c, want in enumerate(row):
        got = cells.get((r, c), "")
        if want != got and not (want and got and float(want) == float(got)):
            bad += 1
print("ok" if bad == 0 else "%d differ" % bad)
' "$WORK/$name.expect.csv" > "$WORK/check" 2>&1 || echo "check failed" > "$WORK/check"
  printf '%-26s %11.3fs %11.3fs %7.1fx %s\n' "$workload" "$ours" "$theirs" \
    "$(awk -v a="$theirs" -v b="$ours" 'BEGIN { print a / b }')" "$(cat "$WORK/check")"
done
