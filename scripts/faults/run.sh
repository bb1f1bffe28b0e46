#!/usr/bin/env bash
# Plants each fault of the list, one at a time, into a scratch worktree of a commit, builds it,
# runs the whole suite until its first failing test, and prints a Markdown table of which faults
# the suite caught.
#
#   scripts/faults/run.sh [COMMIT [ID...]]
#
# COMMIT is the commit whose code and tests are measured (default HEAD); ID... limits the run to
# those faults. FAULTS_LIST picks another list (default faults.txt beside this script);
# FAULTS_WORK is the scratch folder (default /tmp/melotrix-faults: worktree src/, build folder
# build/ shared by every fault so builds stay incremental, logs in logs/). A test counts as
# failing only if it fails twice in a row, and again when run alone, so that a test that fails now
# and then on a loaded machine does not pass for a caught fault.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(git -C "$here" rev-parse --show-toplevel)
list=${FAULTS_LIST:-$here/faults.txt}
work=${FAULTS_WORK:-/tmp/melotrix-faults}
src=$work/src build=$work/build logs=$work/logs
commit=$(git -C "$repo" rev-parse "${1:-HEAD}^{commit}")
shift || true
apply() { python3 "$here/apply.py" "$list" "$@"; }

mkdir -p "$work" "$logs"
if [[ -e $src/.git ]]; then
  git -C "$src" checkout -q --force --detach "$commit"
  git -C "$src" clean -fdq
else
  git -C "$repo" worktree add -q --detach "$src" "$commit"
fi
apply check "$src"

# Builds the tree as it is; returns non-zero (and keeps the log) when it does not build.
build() { cmake --build "$build" -j2 >"$logs/$1.build.log" 2>&1; }
# Runs the suite; prints the first failing test's name, nothing when every test passed. A test
# that fails in the suite but passes when run alone fails only under load: it is set aside (see
# the log) and the suite runs again without it.
suite() {
  local log=$logs/$1.test.log skip="" first
  : >"$log"
  while :; do
    rm -f "$build/Testing/Temporary/LastTestsFailed.log"
    ctest --test-dir "$build" -j2 --stop-on-failure --timeout 300 --repeat until-pass:2 ${skip:+-E "$skip"} \
      >>"$log" 2>&1 && return 0
    first=$(sed -n '1s/^[0-9]*://p' "$build/Testing/Temporary/LastTestsFailed.log" 2>/dev/null)
    [[ -n $first ]] || { echo "?"; return 0; }
    local exact="^$(sed 's/[][\\.*^$()+?{}|]/\\&/g' <<<"$first")\$"
    if ! ctest --test-dir "$build" -R "$exact" --timeout 300 --repeat until-pass:2 >>"$log" 2>&1; then
      echo "$first"
      return 0
    fi
    echo "=== $first passes alone: set aside" >>"$log"
    skip=${skip:+$skip|}$exact
  done
}

start=$SECONDS
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELOTRIX_BENCH=OFF \
  >"$logs/configure.log" 2>&1
build clean || { echo "commit $commit does not build, see $logs/clean.build.log" >&2; exit 1; }
failed=$(suite clean)
[[ -z $failed ]] || { echo "the suite fails without a fault ($failed), see $logs/clean.test.log" >&2; exit 1; }

rows=() caught=0 missed=0 broken=0
while IFS=$'\t' read -r id layer file what; do
  [[ $# -eq 0 || " $* " == *" $id "* ]] || continue
  echo "$(date +%T) $id $file" >&2
  apply plant "$id" "$src"
  if ! build "$id"; then
    result="does not build" first="" broken=$((broken + 1))
  else
    first=$(suite "$id")
    if [[ -n $first ]]; then result=caught caught=$((caught + 1)); else result="not caught" missed=$((missed + 1)); fi
  fi
  git -C "$src" checkout -q -- "$file"
  rows+=("| $id | $layer | \`$file\` | $what | $result | $first |")
done < <(apply list)

echo "Faults planted in commit \`${commit:0:12}\`: $caught caught, $missed not caught, $broken do not build ($(( (SECONDS - start) / 60 )) min)."
echo
echo "| ID | layer | file | fault | result | first failing test |"
echo "|---|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
