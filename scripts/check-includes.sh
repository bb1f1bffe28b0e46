#!/usr/bin/env bash
# Fails when a file includes a header of a folder its own folder may not use,
# so that the layers stay one-way: resources and platform at the bottom, then
# store, formats, voice, sound, display (then its painting), commands, and the front
# ends on top. Tests, benchmarks and fuzz targets may use everything.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [resources]="resources"
  [platform]="platform"
  [store]="store platform"
  [formats]="formats platform resources"
  [voice]="voice formats store platform resources"
  [sound]="sound voice formats store platform resources"
  [display]="display voice formats store platform resources"
  [display/paint]="display/paint display voice formats store platform resources"
  [commands]="commands sound display voice formats store platform resources"
  [cli]="cli sound commands display voice formats store platform resources"
  [app]="app dialogs commands sound display/paint display voice formats store platform resources"
  [dialogs]="dialogs commands sound display/paint display voice formats store platform resources"
)

status=0
for folder in "${!allowed[@]}"; do
  [[ -d $folder ]] || continue
  while IFS= read -r file; do
    # Only the files of this folder itself: display/paint is checked on its own.
    [[ $(dirname "$file") == "$folder" ]] || continue
    while IFS= read -r used; do
      ok=0
      for a in ${allowed[$folder]}; do
        # "display/paint/X.h" belongs to display/paint, "display/X.h" to display.
        if [[ $used == "$a/"* && $(dirname "$used") == "$a" ]]; then ok=1; fi
      done
      if ((ok == 0)); then
        echo "$file includes \"$used\": $folder may not use $(dirname "$used")"
        status=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done < <(find "$folder" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \))
done
exit $status
