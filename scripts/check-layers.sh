#!/usr/bin/env bash
# Checks how the sources include each other, and prints the include graph of the program's
# layers. From the top: the shell (shell/: WinMain, the main window and its command dispatch,
# the tray menu), the subsystems (settings/, timesignal/, jelly/), the shared ground (ground/),
# and the platform seam ("platform.h", with the resource ids of resources/resource.h beside it).
# A file of a layer includes its own folder and the layers below it, never one above it nor
# another subsystem. Everywhere in the tree, a header of the project is included by its path from
# the tree's root; only "platform.h" is found through the include path, on the side the build
# chose (platform/win32 or platform/sim).
#
# usage: scripts/check-layers.sh [--graph]     exit 1 when an include breaks a rule
set -euo pipefail
cd "$(dirname "$0")/.."

# The layers, from the top; the file formats the simulated desktop shares with the build's tools
# lie below the platform. Folders without a rank (tests, tools, ...) are not layers.
rank() {
    case "$1" in
    shell) echo 4 ;;
    settings | timesignal | jelly) echo 3 ;;
    ground) echo 2 ;;
    platform | resources) echo 1 ;;
    formats) echo 0 ;;
    *) echo -1 ;;
    esac
}

failures=0
edges=""
while IFS= read -r file; do
    [ -f "$file" ] || continue # deleted in the work tree but not yet in the index
    folder="${file%%/*}"
    while IFS= read -r included; do
        [ -n "$included" ] || continue
        if [ "$included" = platform.h ]; then
            target=platform
        else
            if [ ! -f "$included" ]; then
                echo "$file: \"$included\" is not a path from the tree's root" >&2
                failures=$((failures + 1))
                continue
            fi
            target="${included%%/*}"
        fi
        own=$(rank "$folder")
        [ "$own" -gt 0 ] || continue
        edges+="$folder -> $target"$'\n'
        theirs=$(rank "$target")
        # The platform's two folders (resources' ids, the seam) see each other.
        if [ "$target" != "$folder" ] && [ "$own$theirs" != 11 ] &&
            { [ "$theirs" -lt 0 ] || [ "$theirs" -ge "$own" ]; }; then
            echo "$file: includes \"$included\", which is not below its layer" >&2
            failures=$((failures + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' | grep -v '^build/')

if [ "${1:-}" = --graph ]; then
    echo "The program's include graph (folder -> folder: includes):"
    printf '%s' "$edges" | sort | uniq -c | awk '{ printf "  %-11s -> %-11s %3d\n", $2, $4, $1 }'
fi
if [ "$failures" -gt 0 ]; then
    echo "check-layers: $failures include(s) break the rules" >&2
    exit 1
fi
echo "check-layers: every include runs downwards and is written from the tree's root"
