#!/usr/bin/env bash
# Builds one fuzz target with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-fuzz/, or $MELOTRIX_FUZZ_BUILD) and
# runs it for SECONDS seconds; further arguments go to libFuzzer.
#   fuzz/run.sh TARGET SECONDS [libFuzzer options...]
# The run starts from the seed corpus fuzz/corpus/TARGET and keeps what it
# finds in BUILD/corpus/TARGET; an input that fails is written to
# BUILD/crashes/TARGET/. Once fixed, copy it into fuzz/corpus/TARGET: the
# normal test run replays that folder.
set -euo pipefail
cd "$(dirname "$0")/.."

targets="MxvFuzz WavFuzz VocFuzz RawFuzz ScriptFuzz SoundFuzz SettingsFuzz"
if [ $# -lt 2 ] || [[ " $targets " != *" $1 "* ]] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: fuzz/run.sh TARGET SECONDS [libFuzzer options...]" >&2
  echo "targets: $targets" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2
if ! command -v clang++ >/dev/null; then
  echo "fuzz/run.sh needs clang (apt-get install clang)" >&2
  exit 1
fi

build=${MELOTRIX_FUZZ_BUILD:-build-fuzz}
# Two runs may share the build folder; they take turns building.
mkdir -p "$build"
exec 9>"$build/.lock"
flock 9
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELOTRIX_FUZZ=ON \
  -DMELOTRIX_SANITIZE=ON -DMELOTRIX_TESTS=OFF -DMELOTRIX_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "$target"
flock -u 9

corpus=$build/corpus/$target
crashes=$build/crashes/$target
mkdir -p "$corpus" "$crashes"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# The targets save files, and every save flushes to the disk: memory-backed
# scratch files where there are some.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
exec "$build/fuzz/$target" -max_total_time="$seconds" -artifact_prefix="$crashes/" -print_final_stats=1 "$@" \
  "$corpus" "fuzz/corpus/$target"
