#!/usr/bin/env bash
# Times melotrix-cli against sox on the same four jobs, whole processes side
# by side: a WAV copy, amplify 150 %, echo 280 ms 60 % and a translation to
# mono 8-bit of a 100 MB stereo 16-bit 44100 Hz WAV. The two sides run in
# turn, RUNS times each; the medians of the wall times, their ratio
# melotrix/sox and the peak resident sizes are printed.
#
#   bench/compare.sh [RUNS]        (default 5: the host of this machine has
#                                  stalls of a few seconds, which a median of
#                                  five rides out better than one of three)
#
# MELOTRIX_CLI names the program (default build/cli/melotrix-cli of this
# tree); COMPARE_DIR the folder for the files (default a new one in $TMPDIR,
# removed afterwards). Needs sox and /usr/bin/time.
set -euo pipefail

runs=${1:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${MELOTRIX_CLI:-$root/build/cli/melotrix-cli}
[ -x "$cli" ] || { echo "compare.sh: no melotrix-cli at $cli (build it or set MELOTRIX_CLI)" >&2; exit 1; }
command -v sox >/dev/null || { echo "compare.sh: sox is not installed" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "compare.sh: /usr/bin/time is not installed" >&2; exit 1; }

if [ -n "${COMPARE_DIR:-}" ]; then
  work=$COMPARE_DIR
  mkdir -p "$work"
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/melotrix-compare.XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi
in=$work/in.wav

# 25 million frames of 4 bytes: 100 MB of samples, a sweep on the left and a
# tone on the right, at a level where amplifying by 150 % clips the peaks.
# The rate is the input's, so that the length is counted at 44100 Hz.
if [ ! -s "$in" ]; then
  sox -R -r 44100 -c 2 -n -b 16 -e signed-integer "$in" synth 25000000s sine 200-4000 sine 441 vol 0.8
fi

# The jobs: a name, the melotrix-cli arguments, the sox arguments (IN and
# OUT stand for the files).
jobs=(copy amplify echo translate)
declare -A mx sx
mx[copy]='convert IN OUT'
sx[copy]='IN OUT'
mx[amplify]='-e load-wav IN; mark-all; amp 150; save-wav OUT'
sx[amplify]='IN OUT vol 1.5'
mx[echo]='-e load-wav IN; echo 280 60; save-wav OUT'
sx[echo]='IN OUT echo 1 1 280 0.6 560 0.36 840 0.216 1120 0.1296'
mx[translate]='-e load-wav IN; translate 1 8; save-wav OUT'
sx[translate]='IN -b 8 -c 1 OUT'

# Runs one side once and sets run_ms and run_kb (wall time, peak resident
# size). The output file is removed before and after, outside the timing.
run_once() {
  local side=$1 job=$2 out=$work/out.wav stats=$work/time.txt args
  rm -f "$out"
  if [ "$side" = melotrix ]; then
    args=${mx[$job]}
  else
    args=${sx[$job]}
  fi
  args=${args//IN/$in}
  args=${args//OUT/$out}
  local -a argv
  if [ "$side" = melotrix ] && [ "${args:0:3}" = "-e " ]; then
    argv=("$cli" -e "${args:3}")
  elif [ "$side" = melotrix ]; then
    read -r -a argv <<<"$args"
    argv=("$cli" "${argv[@]}")
  else
    read -r -a argv <<<"$args"
    argv=(sox "${argv[@]}")
  fi
  local start end
  start=$(date +%s%N)
  if ! /usr/bin/time -f '%M' -o "$stats" "${argv[@]}" >/dev/null 2>"$work/err.txt"; then
    echo "compare.sh: $side $job failed:" >&2
    cat "$work/err.txt" >&2
    exit 1
  fi
  end=$(date +%s%N)
  rm -f "$out"
  run_ms=$(((end - start) / 1000000))
  run_kb=$(tail -n 1 "$stats")
}

# The middle value of the numbers given (the mean of the two middle ones
# for an even count).
median() {
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "input: $(stat -c %s "$in") bytes, stereo 16-bit 44100 Hz; $runs runs per side, alternating"
printf '%-10s %12s %12s %7s %12s %12s\n' job melotrix_ms sox_ms ratio melotrix_MB sox_MB
for job in "${jobs[@]}"; do
  mt=() st=() mm=() sm=()
  for ((r = 0; r < runs; ++r)); do
    run_once melotrix "$job"
    mt+=("$run_ms") mm+=("$run_kb")
    run_once sox "$job"
    st+=("$run_ms") sm+=("$run_kb")
  done
  m_ms=$(median "${mt[@]}")
  s_ms=$(median "${st[@]}")
  m_kb=$(median "${mm[@]}")
  s_kb=$(median "${sm[@]}")
  awk -v j="$job" -v m="$m_ms" -v s="$s_ms" -v mk="$m_kb" -v sk="$s_kb" \
    'BEGIN { printf "%-10s %12d %12d %7.2f %12.1f %12.1f\n", j, m, s, m / s, mk / 1024, sk / 1024 }'
done
