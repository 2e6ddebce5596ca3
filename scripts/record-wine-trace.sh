#!/usr/bin/env bash
# Records the conformance probe's trace under Wine again into tests/conformance/wine-trace.txt:
# the reference that the sim's own conformance test (conformance_sim) compares the simulated
# desktop with, also where Wine cannot run, and that the Wine comparison (conformance_test)
# requires to be up to date. Run it after a scenario was added or changed, look at the
# difference (git diff), and commit the file. The probe is also compared with the sim as it is
# recorded, so the command fails when the two differ.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

# The Windows build of the route Wine takes here (e2e/wine-env.sh), with its driver and probe.
route=$(bash -c '. e2e/wine-env.sh && echo "$WINE_ENV_ROUTE"')
cmake --preset "$route" >/dev/null
cmake --build --preset "$route" -j"$jobs" >/dev/null
cmake --preset sim -DZELMO_"${route^^}"_BUILD_DIR="$PWD/build/$route" >/dev/null
cmake --build build/sim --target conformance_test zelmo-probe-sim -j"$jobs" >/dev/null
ZELMO_RECORD_WINE_TRACE=1 ctest --test-dir build/sim -R '^conformance_test$' --output-on-failure
git diff --stat -- tests/conformance/wine-trace.txt
