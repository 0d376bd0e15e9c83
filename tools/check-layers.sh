#!/usr/bin/env bash
# Fails when a folder of the game includes a header from a folder above it. The layers, lowest
# first: the ground (core), the services (sound, record), the windows (ui), the story, the quiz
# (which speaks through the story's lines), and the roof (app). A folder may include its own
# headers and those of any layer below it.
set -euo pipefail
root=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}

declare -A level=([core]=0 [sound]=1 [record]=1 [ui]=2 [story]=3 [quiz]=4 [app]=5)

status=0
for folder in "${!level[@]}"; do
    while IFS= read -r hit; do
        file=${hit%%:*}
        included=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$hit")
        target=${included%%/*}
        [ -n "${level[$target]+set}" ] || continue
        [ "$target" = "$folder" ] && continue
        if [ "${level[$target]}" -ge "${level[$folder]}" ]; then
            echo "upward include: ${file#"$root"/} includes $included ($folder may not stand on $target)" >&2
            status=1
        fi
    done < <(grep -rHn '^#include "' --include=*.h --include=*.cpp "$root/$folder" || true)
done
if [ $status -eq 0 ]; then
    echo "every include runs downward"
fi
exit $status
