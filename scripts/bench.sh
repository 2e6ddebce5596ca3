#!/usr/bin/env bash
# The resident-cost figures: the size of ZelmoSound.exe, the real time the simulation runner
# takes for the README's hour of birds and insects (five runs), and the benchmarks: heap
# allocations of the program's own code per scheduler tick, per time-signal frame and per jelly
# tick (the aim is none), a day resident on the virtual clock, the jellyfish's cost per tick.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 >/dev/null
cmake --preset sim -DZELMO_BENCHMARKS=ON >/dev/null
cmake --build build/sim --target zelmo-sim zelmo_sounds resident_bench jelly_bench -j2 >/dev/null

echo "ZelmoSound.exe: $(stat -c %s build/win32/ZelmoSound.exe) bytes"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'IDC_SOUND01=1\r\nIDCB_SOUND01=3\r\nIDC_SOUND02=1\r\nIDCB_SOUND02=2\r\nIDC_TSIGNAL=1\r\nIDCB_TSIGNAL=1\r\n' \
    >"$work/birds.ini"
times=()
for run in 1 2 3 4 5; do
    started=$(date +%s%N)
    build/sim/tools/simrunner/zelmo-sim --sounds-from build/sim/sounds --settings "$work/birds.ini" \
        --start "2026-12-08 12:30:00" --duration 3600 >"$work/hour.jsonl"
    times+=("$(( ($(date +%s%N) - started) / 1000000 )) ms")
done
echo "hour of birds: $(wc -l <"$work/hour.jsonl") lines; real time per run: ${times[*]}"

build/sim/benchmarks/resident_bench
build/sim/benchmarks/jelly_bench
