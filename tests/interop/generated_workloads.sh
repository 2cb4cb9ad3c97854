#!/usr/bin/env bash
# The benchmark workloads, small: each generated worksheet, loaded,
# recalculated and dumped, shows the values its generator expects.
#   generated_workloads.sh TALLOWAY_CLI GEN_WK1_PY
set -euo pipefail
cli=$1
gen=$2
here=$(dirname "$0")
[ -f "$gen" ] || gen=/work/shared/tools/gen_wk1.py
[ -f "$gen" ] || { echo "no generator at $2: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for workload in "chain 3000 --layout snake" "chain 3000 --layout wrap --rows-per-col 700" \
                "grid 400 30" "grid 300 125" "labels 500 10"; do
  # shellcheck disable=SC2086
  python3 "$gen" $workload -o "$work/w.wk1"
  # shellcheck disable=SC2086
  python3 "$gen" $workload --expect > "$work/w.csv"
  for run in "--recalc --dump" "--dump"; do
    # shellcheck disable=SC2086
    if ! "$cli" "$work/w.wk1" $run | python3 "$here/dump_matches_expect.py" "$work/w.csv" > "$work/out"; then
      echo "FAIL: $workload ($run): $(head -3 "$work/out")"
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "generated workloads OK"
exit $status
