#!/usr/bin/env bash
# Prints which folders of src/ include headers of which others: "from -> to  (number of includes)".
# With --below-app-check, prints only the includes of src/app headers from the layers below the
# window (platform, config, rules, files, device, ui, compare) and fails when there is any.
set -euo pipefail
cd "$(dirname "$0")/../src"

edges() {
    grep -rHoE '^#include +"[a-z]+/' --include='*.cpp' --include='*.h' */ |
        sed -E 's#^([a-z]+)/[^:]*:\#include +"([a-z]+)/#\1 \2#'
}

if [ "${1:-}" = "--below-app-check" ]; then
    found=$(grep -rlE '^#include +"app/' platform config rules files device ui compare 2>/dev/null || true)
    if [ -n "$found" ]; then
        echo "These files below the window include a header of src/app; reach the window through ui::FormView:" >&2
        echo "$found" >&2
        exit 1
    fi
    exit 0
fi

edges | awk '$1 != $2' | sort | uniq -c | awk '{ printf "%-9s -> %-9s (%d)\n", $2, $3, $1 }'
