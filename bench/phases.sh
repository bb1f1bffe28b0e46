#!/usr/bin/env bash
# Prints how long each command of a melotrix-cli script takes, and the
# teardown after the last one, from the times its --trace lines appear.
#
#   bench/phases.sh "load-wav in.wav; mark-all; amp 150; save-wav out.wav"
#
# MELOTRIX_CLI names the program (default build/cli/melotrix-cli of this tree).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${MELOTRIX_CLI:-$root/build/cli/melotrix-cli}
start=$(date +%s%N)
{
  "$cli" --trace -e "$1"
  echo "(exit)"
} | while IFS= read -r line; do
  now=$(date +%s%N)
  printf '%8.1f ms  %s\n' "$(((now - start) / 1000))e-3" "$line"
  start=$now
done
