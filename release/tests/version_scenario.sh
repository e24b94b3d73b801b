#!/usr/bin/env bash
# version_scenario.sh WINE_RUN BARE_PROBE MANIFEST_PROBE: the microphone code's check for Windows
# NT 6 and later stays right whether the program's manifest lists the supported systems or not.
# A listed system makes GetVersionExW report the true version (10.0) where an unlisted program
# is told 6.2; both probes run as each system in turn (Wine's per-program version setting).
source "$(dirname "$0")/../../scripts/strict-mode.sh"
wine_run=$1 bare=$2 listed=$3
app_defaults='HKCU\Software\Wine\AppDefaults'
names=("$(basename "$bare")" "$(basename "$listed")")
finish() {
  for name in "${names[@]}"; do "$wine_run" reg delete "$app_defaults\\$name" /f >/dev/null 2>&1 || true; done
}
trap finish EXIT

status=0
# system: what the program without and with the list is told, and the path both must choose
while read -r system without with path; do
  for name in "${names[@]}"; do
    "$wine_run" reg add "$app_defaults\\$name" /v Version /d "$system" /f >/dev/null
  done
  got_without=$("$wine_run" "$bare" | tr -d '\r')
  got_with=$("$wine_run" "$listed" | tr -d '\r')
  echo "$system: without the list '$got_without', with it '$got_with'"
  [ "$got_without" = "$without $path" ] || { echo "FAIL: $system without the list: expected '$without $path'"; status=1; }
  [ "$got_with" = "$with $path" ] || { echo "FAIL: $system with the list: expected '$with $path'"; status=1; }
done <<'TABLE'
winxp 5.1 5.1 mixer
vista 6.0 6.0 core-audio
win7 6.1 6.1 core-audio
win8 6.2 6.2 core-audio
win81 6.2 6.3 core-audio
win10 6.2 10.0 core-audio
TABLE
exit $status
