#!/usr/bin/env bash
# Kills a window that runs random commands with SIGKILL at a random moment, N
# times (default 100), and checks each time that the next start restores the
# banks as they were after the last command that finished (or the one under
# way). Needs a build in build/. Prints one line per kill and a summary.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy, so that a build meanwhile changes nothing under the kills.
tests=$work/tests_app
cp build/tests/tests_app "$tests"
export QT_QPA_PLATFORM=offscreen HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime MELOTRIX_SYSTEM_DIR=$work/system
export MELOTRIX_KILL_LOG=$work/log
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The raw voices the commands load: a (stereo-sized), b and c.
for v in a:16000 b:6002 c:40000; do
  head -c "${v#*:}" /dev/urandom >"$HOME/${v%%:*}.pcm"
done
passed=0
for ((k = 1; k <= runs; k++)); do
  export MELOTRIX_KILL_SEED=$RANDOM
  rm -f "$MELOTRIX_KILL_LOG"*
  "$tests" --gtest_also_run_disabled_tests --gtest_filter=CrashingWindow.DISABLED_RunsRandomCommands >/dev/null 2>&1 &
  pid=$!
  sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.3f", 0.3 + r % 2500 / 1000 }')"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if "$tests" --gtest_also_run_disabled_tests --gtest_filter=CrashingWindow.DISABLED_RestoresTheKilledRun \
    >"$work/check" 2>&1; then
    passed=$((passed + 1))
    echo "kill $k: seed $MELOTRIX_KILL_SEED after $(cat "$MELOTRIX_KILL_LOG" 2>/dev/null) commands: restored"
  else
    echo "kill $k: seed $MELOTRIX_KILL_SEED after $(cat "$MELOTRIX_KILL_LOG" 2>/dev/null) commands: FAILED"
    for expected in "$MELOTRIX_KILL_LOG".expected*; do diff "$expected" "$MELOTRIX_KILL_LOG.restored"; done
  fi
done
echo "$passed of $runs kills restored exactly"
[ "$passed" -eq "$runs" ]
