#!/usr/bin/env bash
# Prints how long each command of a melotrix-cli script takes, and the
# teardown after the last one, from the times its --trace lines arrive.
#
#   bench/phases.sh "load-wav in.wav; mark-all; amp 150; save-wav out.wav"
#
# MELOTRIX_CLI names the program (default build/cli/melotrix-cli of this tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${MELOTRIX_CLI:-$root/build/cli/melotrix-cli}
us() { local t=${EPOCHREALTIME/./}; echo "${t#0}"; }
last=$(us)
while IFS= read -r line; do
  now=$(us)
  printf '%8.1f ms  %s\n' "$(((now - last) / 100))e-1" "$line"
  last=$now
done < <("$cli" --trace -e "$1"; echo "(exit)")
