#!/usr/bin/env bash
# Checks that the source folders depend one way: app -> render -> assets, world, and
# world -> assets. The one include allowed upwards is app/FatalError.h (start-up errors
# end the game from wherever they are found). Prints each include against the rule as
# file:line and fails if there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

# The folders each folder may include from, its own among them.
declare -A ALLOWED=(
  [app]="app render assets world"
  [render]="render assets world"
  [world]="world assets"
  [assets]="assets"
)
UPWARD_EXCEPTION="app/FatalError.h"

bad=0
while IFS=: read -r file line text; do
  from="${file%%/*}"
  [[ "$text" =~ \"([^\"]*)\" ]] || continue
  target="${BASH_REMATCH[1]}"
  to="${target%%/*}"
  # A name without a folder is not one of ours (or is a sibling in the same folder).
  [ "$to" = "$target" ] && continue
  [ -n "${ALLOWED[$to]+x}" ] || continue
  [ "$target" = "$UPWARD_EXCEPTION" ] && continue
  case " ${ALLOWED[$from]} " in
    *" $to "*) ;;
    *)
      echo "$file:$line: $from/ must not include $target"
      bad=1
      ;;
  esac
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' app assets render world)

[ "$bad" -eq 0 ] || echo "Layering: app -> render -> assets, world; world -> assets (and app/FatalError.h from anywhere)"
exit "$bad"
