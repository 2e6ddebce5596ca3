#!/usr/bin/env bash
# Measures what the real ZelmoSound.exe costs a user under Wine, side by side with the minimal
# program of the same shape (benchmarks/wine/minimal.cpp: a hidden window, a tray icon, a
# one-second timer; on request fifteen icons and fifteen strips drawn every 300 ms), in one run
# on the same Wine route and display, so that the machine's load touches both alike:
#
#   start to tray icon   from the process's start until its icon shows in the tray
#                        (zelmo-starttray, polling every millisecond)
#   idle                 both programs resident side by side for SECONDS: CPU time (user and
#                        system, all threads), wake-ups per second (the context switches of the
#                        threads alive at the end: each time a thread sleeps, waits for the
#                        wineserver or X, or is put off the CPU), resident memory (VmRSS) and
#                        private anonymous memory (RssAnon) at the end
#   jellyfish            each program alone drawing for SECONDS: ZelmoSound with ten jellyfish
#                        and the five hidden characters (a jelly file of ten adults, started by
#                        the tray menu's command 206 as the menu posts it), the minimal program
#                        with its fifteen icons and strips, and the minimal program starting a
#                        jellyfish's sound at each tick besides (ZelmoSound starts about one a
#                        tick: swimming, dying, breeding); CPU and wake-ups per second
#
# Every round starts both programs afresh (in alternating order) and ends them; the table gives
# the median of the rounds with their lowest and highest value, and the load average.
#
# usage: scripts/measure-resident.sh [SECONDS [ROUNDS]]      (default 30 and 3)
#   ZELMO_EXE=PATH   measures that ZelmoSound.exe (an earlier build, say) instead of the route's
#
# Uses the Wine route of the end-to-end tests (e2e/wine-env.sh) and the Windows build of that
# route (built first when something is missing), a Wine prefix of its own
# (build/measure-prefix-ROUTE, kept), and a virtual display of its own when no usable one is
# set. A benchmark, not a test: the figures depend on the machine and its load.
set -Eeuo pipefail
trap 'echo "measure-resident: line $LINENO failed: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
root="$PWD"
seconds="${1:-30}"
rounds="${2:-3}"

# shellcheck source=../e2e/wine-env.sh
. e2e/wine-env.sh
build="$root/build/$WINE_ENV_ROUTE"
tools=(ZelmoSound.exe zelmo-e2e-driver.exe zelmo-minimal.exe zelmo-starttray.exe)
for tool in "${tools[@]}"; do
    if [ ! -f "$build/$tool" ]; then
        cmake --preset "$WINE_ENV_ROUTE" >/dev/null
        cmake --build "$build" -j2 --target ZelmoSound zelmo-e2e-driver zelmo-minimal \
            zelmo-starttray zelmo_sounds >/dev/null
        break
    fi
done
zelmo_exe="${ZELMO_EXE:-$build/ZelmoSound.exe}"
[ -f "$zelmo_exe" ] || { echo "measure-resident: no $zelmo_exe" >&2; exit 1; }

export WINEPREFIX="$root/build/measure-prefix-$WINE_ENV_ROUTE"
work="$(mktemp -d /tmp/zelmo-resident-XXXXXX)"
holder_pid=""
cleanup() {
    set +e
    local pid
    for pid in $(program_pids) $holder_pid; do kill "$pid" 2>/dev/null || true; done
    wine_env_stop
    rm -rf "$work"
}
trap cleanup EXIT

wine_env_start_xvfb
marker="$WINEPREFIX/.zelmo-prepared"
if [ ! -f "$marker" ] || [ "$(cat "$marker")" != "$(wine_env_stamp)" ]; then
    echo "measure-resident: preparing the Wine prefix $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    wine_env_prepare_prefix
    wine_env_stamp >"$marker"
fi

driver() { "${WINE_RUN[@]}" "$build/zelmo-e2e-driver.exe" "$@"; }
field() { tr '\t' '\n' | sed -n "s/^$1=//p" | head -n 1; }

# The programs: name, file, main window class and title, the message that starts drawing
# (message, wParam) and the class of the window that draws. "sounding" is the minimal program
# that plays a sound at each tick, measured only while it draws.
names=(zelmo minimal sounding)
declare -A file=([zelmo]=ZelmoSound.exe [minimal]=zelmo-minimal.exe [sounding]=zelmo-minimal.exe)
declare -A class=([zelmo]=ZelmoSound [minimal]=ZelmoMinimal [sounding]=ZelmoMinimal)
declare -A title=([zelmo]="Zelmo Sound version1.00" [minimal]="Zelmo Minimal"
    [sounding]="Zelmo Minimal")
declare -A start_message=([zelmo]="0x111 206" [minimal]="0x409 0" [sounding]="0x409 1")
declare -A draw_class=([zelmo]=ZelmoJelly [minimal]=ZelmoMinimalDraw [sounding]=ZelmoMinimalDraw)

# A fresh program folder for each start: ZelmoSound with its jelly sounds and a jelly file of
# ten adults of the eight kinds, spread over the screen, far from breeding ages and life spans.
lay_out() {
    local name=$1 folder="$work/$1"
    rm -rf "$folder"
    mkdir -p "$folder"
    if [ "$name" = zelmo ]; then
        cp "$zelmo_exe" "$folder/ZelmoSound.exe"
        cp "$build"/sounds/j*.wav "$folder/"
        local n
        for n in 1 2 3 4 5 6 7 8 9 10; do
            printf 'JELLY%02d_EXIST=1\r\nJELLY%02d_TYPE_=%d\r\nJELLY%02d_DIRCT=%d\r\n' \
                "$n" "$n" $((2 + n % 8)) "$n" $((n % 8))
            printf 'JELLY%02d_AGE__=01000\r\nJELLY%02d_XXXXX=%04d\r\nJELLY%02d_YYYYY=%04d\r\n' \
                "$n" "$n" $((90 * n)) "$n" $((60 + 60 * n))
            printf 'JELLY%02d_CRICK=0000\r\n' "$n"
        done >"$folder/Jelly.INI"
    else
        cp "$build/zelmo-minimal.exe" "$folder/"
        cp "$build/sounds/jelly01.wav" "$folder/"
    fi
}

# The Linux process of a program started in its folder: Wine names it by its Windows path.
pid_of() { pgrep -f "$(basename "$work").$1.${file[$1]}" | head -n 1 || true; }
fail() {
    echo "measure-resident: $*" >&2
    exit 1
}
program_pids() { local name; for name in "${names[@]}"; do pid_of "$name" || true; done; }

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# A thread that ends (each sound has one) leaves the list between the glob and the reading, and
# its switches are not counted: the same for every program measured.
switches() {
    { cat /proc/"$1"/task/*/status 2>/dev/null || true; } |
        awk '/^(non)?voluntary_ctxt_switches/ { total += $2 } END { print total + 0 }'
}
status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }
hz="$(getconf CLK_TCK)"

# Results: one line per figure and round, "program figure value", medians at the end.
results="$work/results"
: >"$results"
record() { echo "$1 $2 $3" >>"$results"; }

start() {
    local name=$1 out ms
    lay_out "$name"
    # Into a file: the program started inherits the output, which a pipe would wait for.
    "${WINE_RUN[@]}" "$build/zelmo-starttray.exe" "$(winepath_w "$work/$name/${file[$name]}")" \
        30000 >"$work/started" 2>/dev/null || true
    out="$(cat "$work/started")"
    ms="$(printf '%s' "$out" | field ms)"
    [ -n "$ms" ] || fail "$name: $out"
    # The sounding program's start is the minimal program's again: not counted twice.
    [ "$name" = sounding ] || record "$name" start "$ms"
    main["$name"]="$(driver wait "${class[$name]}" "${title[$name]}" 30000 | field hwnd || true)"
    [ -n "${main[$name]}" ] || fail "$name: no main window"
    local deadline=$((SECONDS + 10))
    pid["$name"]=""
    until [ -n "${pid[$name]}" ]; do
        pid["$name"]="$(pid_of "$name")"
        if [ -z "${pid[$name]}" ]; then
            [ $SECONDS -lt $deadline ] || fail "no process of $name"
            sleep 0.1
        fi
    done
}

stop() {
    local name=$1 deadline=$((SECONDS + 30))
    driver post "${main[$name]}" 0x10 0 0 >/dev/null || true
    while kill -0 "${pid[$name]}" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then kill "${pid[$name]}" 2>/dev/null || true; fi
        sleep 0.1
    done
}

# Samples the CPU ticks and context switches of the given programs together over SECONDS.
sample() {
    local phase=$1 name
    shift
    declare -A t0 s0
    for name in "$@"; do t0[$name]=$(ticks "${pid[$name]}"); s0[$name]=$(switches "${pid[$name]}"); done
    sleep "$seconds"
    for name in "$@"; do
        record "$name" "$phase-cpu" "$(awk -v t=$(($(ticks "${pid[$name]}") - t0[$name])) \
            -v hz="$hz" -v d="$seconds" 'BEGIN { printf "%.2f", 100 * t / hz / d }')"
        record "$name" "$phase-wakeups" "$(awk -v s=$(($(switches "${pid[$name]}") - s0[$name])) \
            -v d="$seconds" 'BEGIN { printf "%.1f", s / d }')"
    done
}

draw() {
    local name=$1 drawing
    # shellcheck disable=SC2086 # the message and its wParam are two words
    driver post "${main[$name]}" ${start_message[$name]} 0 >/dev/null ||
        fail "$name: its main window is gone (pid ${pid[$name]})"
    drawing="$(driver wait "${draw_class[$name]}" - 15000 | field hwnd || true)"
    driver visible "$drawing" 15000 >/dev/null || fail "$name does not draw"
    sleep 3
    sample jelly "$name"
    stop "$name"
}

load_before="$(cut -d ' ' -f 1-3 /proc/loadavg)"
declare -A main pid
# The wineserver, the shell and its tray window come up before anything is timed, and a copy of
# the minimal program keeps an icon in the tray throughout: the tray window comes and goes with
# its first and last icon, and would make whichever program comes first in a round pay for it.
mkdir -p "$work/holder"
cp "$build/zelmo-minimal.exe" "$work/holder/"
(cd "$work/holder" && exec "${WINE_RUN[@]}" zelmo-minimal.exe ZelmoMinimalHolder) \
    >/dev/null 2>&1 &
holder_pid=$!
holder="$(driver wait ZelmoMinimal ZelmoMinimalHolder 30000 | field hwnd || true)"
[ -n "$holder" ] || fail "the holder of the tray did not start"
start sounding
stop sounding
: >"$results"
for round in $(seq 1 "$rounds"); do
    order=(zelmo minimal)
    if [ $((round % 2)) -eq 0 ]; then order=(minimal zelmo); fi
    for name in "${order[@]}"; do start "$name"; done
    sleep 5
    sample idle "${order[@]}"
    for name in "${order[@]}"; do
        record "$name" rss "$(status_kb "${pid[$name]}" VmRSS)"
        record "$name" anon "$(status_kb "${pid[$name]}" RssAnon)"
    done
    for name in "${order[@]}"; do draw "$name"; done
    start sounding
    draw sounding
    echo "measure-resident: round $round of $rounds done" >&2
done
load_after="$(cut -d ' ' -f 1-3 /proc/loadavg)"

# The median of a figure over the rounds, with its range when the rounds differ.
figure() {
    awk -v name="$1" -v what="$2" -v scale="$3" -v digits="$4" '
        $1 == name && $2 == what { v[n++] = $3 / scale }
        END {
            if (n == 0) { printf "-"; exit }
            for (i = 0; i < n; i++) for (j = i + 1; j < n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
            m = n % 2 ? v[(n - 1) / 2] : (v[n / 2 - 1] + v[n / 2]) / 2
            f = "%." digits "f"
            printf f, m
            if (n > 1 && v[0] != v[n - 1]) printf " (" f "-" f ")", v[0], v[n - 1]
        }' "$results"
}
row() {
    printf '| %-38s | %-22s | %-22s | %-22s |\n' "$1" "$(figure zelmo "$2" "$3" "$4")" \
        "$(figure minimal "$2" "$3" "$4")" "$(figure sounding "$2" "$3" "$4")"
}

echo
echo "Wine route $WINE_ENV_ROUTE, $(nproc) cores, $rounds rounds of ${seconds} s, load average $load_before at the start and $load_after at the end"
echo "ZelmoSound: $zelmo_exe ($(stat -c %s "$zelmo_exe") bytes)"
echo
printf '| %-38s | %-22s | %-22s | %-22s |\n' "median (lowest-highest)" ZelmoSound \
    "minimal program" "minimal, a sound a tick"
line() { printf -- '-%.0s' $(seq 1 "$1"); }
printf '|%s|%s|%s|%s|\n' "$(line 40)" "$(line 24)" "$(line 24)" "$(line 24)"
row "start to tray icon, ms" start 1 0
row "idle: CPU, % of one core" idle-cpu 1 2
row "idle: wake-ups a second" idle-wakeups 1 1
row "idle: resident memory, MB" rss 1024 1
row "idle: private (anonymous) memory, MB" anon 1024 1
row "jellyfish: CPU, % of one core" jelly-cpu 1 2
row "jellyfish: wake-ups a second" jelly-wakeups 1 1
