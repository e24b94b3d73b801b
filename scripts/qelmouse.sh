#!/usr/bin/env bash
# qelmouse.sh COMMAND...: drives the virtual mouse of the monitor that scripts/run.sh runs, from a
# second terminal: "press 3", "profile 2", "unplug", "plug"; without a command it lists them all.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-tree.sh >/dev/null
source "$WINE_TREE/wine-env.sh"
exec "$WINE" "$WINE_TREE/vmouse/qelmouse.exe" "$@"
