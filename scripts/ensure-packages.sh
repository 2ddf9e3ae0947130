#!/usr/bin/env bash
# Installs whichever of the Debian packages listed in a package file (default scripts/packages.txt)
# are missing (apt-get update first; sudo when not root).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
list="${1:-$here/packages.txt}"
mapfile -t wanted < <(grep -v '^\s*\(#\|$\)' "$list")
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing missing packages: ${missing[*]}"
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
