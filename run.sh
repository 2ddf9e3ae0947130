#!/usr/bin/env bash
# Builds the release configuration and starts the configurator with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
cmake --preset release
cmake --build --preset release
exec build/release/configurator "$@"
