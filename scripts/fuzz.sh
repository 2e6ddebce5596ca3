#!/usr/bin/env bash
# The long fuzz campaign: builds the fuzz targets (preset fuzz: clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for a number of executions over its seeds in
# fuzz/corpus/<name> and what earlier campaigns found (build/fuzz/campaign/<name>). Prints, per
# target: executions, speed, coverage (edges and features), corpus size and findings. A finding
# (crash, failed check, leak, timeout) stops that target; its input is kept in
# build/fuzz/campaign/<name>-findings/ and its report in build/fuzz/campaign/<name>.log.
#
#   scripts/fuzz.sh [executions [target...]]     default: 10000000 executions, every target
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
runs=${1:-10000000}
shift || true

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for binary in build/fuzz/fuzz/*_fuzzer; do
        name=$(basename "$binary")
        targets+=("${name%_fuzzer}")
    done
fi

status=0
for name in "${targets[@]}"; do
    campaign=build/fuzz/campaign/$name
    findings=build/fuzz/campaign/$name-findings
    log=build/fuzz/campaign/$name.log
    mkdir -p "$campaign" "$findings"
    echo "fuzz: $name, $runs executions (log: $log)"
    started=$(date +%s)
    if build/fuzz/fuzz/${name}_fuzzer -runs="$runs" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$campaign" "fuzz/corpus/$name" >"$log" 2>&1; then
        result="none"
    else
        result="see $findings/ and $log"
        status=1
    fi
    seconds=$(($(date +%s) - started))
    executions=$(grep -a 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    speed=$(grep -a 'stat::average_exec_per_sec' "$log" | awk '{print $2}')
    coverage=$(grep -aE '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[^ ]+')
    echo "fuzz: $name: ${executions:-?} executions in ${seconds} s (${speed:-?}/s), $coverage," \
         "findings: $result"
done
exit $status
