#!/usr/bin/env bash
# Times melotrix-cli against sox on the same jobs, whole processes side by
# side: a WAV copy, amplify 150 %, echo 280 ms 60 % and a translation to mono
# 8-bit of a 100 MB stereo 16-bit 44100 Hz WAV; and the conversion of a
# 100 MB stereo 24-bit 48 kHz WAV to a 16000 Hz 16-bit mono MXV voice, which
# on the sox side is sox to a WAV of that format, then melotrix-cli convert
# of that WAV. The two sides run in turn, RUNS times each; the medians of the
# wall times, their ratio melotrix/sox and the peak resident sizes (of the
# largest step) are printed.
#
#   bench/compare.sh [RUNS]        (default 5: the host of this machine has
#                                  stalls of a few seconds, which a median of
#                                  five rides out better than one of three)
#
# COMPARE_JOBS names the jobs to run (default all: copy amplify echo
# translate resample).
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
in48=$work/in48.wav

# The jobs: a name, the melotrix-cli arguments, the sox arguments (IN and
# OUT stand for the files, MID for a file between two steps; steps are
# separated by "|", and a step of the sox side that starts with
# "melotrix-cli" runs it), the input and the output's extension.
all_jobs=(copy amplify echo translate resample)
read -r -a jobs <<<"${COMPARE_JOBS:-${all_jobs[*]}}"
declare -A mx sx input ext
mx[copy]='convert IN OUT'
sx[copy]='IN OUT'
mx[amplify]='-e load-wav IN; mark-all; amp 150; save-wav OUT'
sx[amplify]='IN OUT vol 1.5'
mx[echo]='-e load-wav IN; echo 280 60; save-wav OUT'
sx[echo]='IN OUT echo 1 1 280 0.6 560 0.36 840 0.216 1120 0.1296'
mx[translate]='-e load-wav IN; translate 1 8; save-wav OUT'
sx[translate]='IN -b 8 -c 1 OUT'
mx[resample]='convert --rate 16000 --bits 16 --channels 1 IN OUT'
sx[resample]='IN -r 16000 -b 16 -c 1 MID|melotrix-cli convert MID OUT'
input[resample]=$in48
ext[resample]=mxv

# 25 million frames of 4 bytes: 100 MB of samples, a sweep on the left and a
# tone on the right, at a level where amplifying by 150 % clips the peaks.
# The rate is the input's, so that the length is counted at 44100 Hz. The
# 48 kHz input holds the same signals in 16.7 million frames of 6 bytes.
for job in "${jobs[@]}"; do
  [ -n "${mx[$job]:-}" ] || { echo "compare.sh: no job $job" >&2; exit 1; }
  file=${input[$job]:-$in}
  [ -s "$file" ] && continue
  if [ "$file" = "$in" ]; then
    sox -R -r 44100 -c 2 -n -b 16 -e signed-integer "$in" synth 25000000s sine 200-4000 sine 441 vol 0.8
  else
    sox -R -r 48000 -c 2 -n -b 24 -e signed-integer "$in48" synth 16666667s sine 200-4000 sine 441 vol 0.8
  fi
done

# Runs one step of a side under /usr/bin/time; sets step_kb.
run_step() {
  local side=$1 step=$2 stats=$work/time.txt
  local -a argv
  if [ "$side" = melotrix ] && [ "${step:0:3}" = "-e " ]; then
    argv=("$cli" -e "${step:3}")
  elif [ "$side" = melotrix ] || [ "${step:0:13}" = "melotrix-cli " ]; then
    read -r -a argv <<<"${step#melotrix-cli }"
    argv=("$cli" "${argv[@]}")
  else
    read -r -a argv <<<"$step"
    argv=(sox "${argv[@]}")
  fi
  if ! /usr/bin/time -f '%M' -o "$stats" "${argv[@]}" >/dev/null 2>"$work/err.txt"; then
    echo "compare.sh: $side $job failed:" >&2
    cat "$work/err.txt" >&2
    exit 1
  fi
  step_kb=$(tail -n 1 "$stats")
}

# Runs one side once and sets run_ms and run_kb (wall time of all steps, the
# largest peak resident size of a step). The outputs are removed before and
# after, outside the timing.
run_once() {
  local side=$1 job=$2 out=$work/out.${ext[$job]:-wav} mid=$work/mid.wav args
  rm -f "$out" "$mid"
  if [ "$side" = melotrix ]; then
    args=${mx[$job]}
  else
    args=${sx[$job]}
  fi
  args=${args//IN/${input[$job]:-$in}}
  args=${args//OUT/$out}
  args=${args//MID/$mid}
  local -a steps
  IFS='|' read -r -a steps <<<"$args"
  local start end step
  run_kb=0
  start=$(date +%s%N)
  for step in "${steps[@]}"; do
    run_step "$side" "$step"
    ((step_kb > run_kb)) && run_kb=$step_kb
  done
  end=$(date +%s%N)
  rm -f "$out" "$mid"
  run_ms=$(((end - start) / 1000000))
}

# The middle value of the numbers given (the mean of the two middle ones
# for an even count).
median() {
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

[ -s "$in" ] && echo "input: $(stat -c %s "$in") bytes, stereo 16-bit 44100 Hz"
[ -s "$in48" ] && echo "input of resample: $(stat -c %s "$in48") bytes, stereo 24-bit 48000 Hz"
echo "$runs runs per side, alternating"
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
