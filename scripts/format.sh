#!/usr/bin/env bash
# Formats every C++ file of the project with clang-format (.clang-format at the root).
# With --check, changes nothing and fails, naming the files, if any would change.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' | grep -E '^(app|assets|render|world|tests|tools|bench|fuzz)/')
if [ "${1:-}" = "--check" ]; then
  # One run over every file; it names each line that would change.
  report=$(clang-format --style=file --dry-run "${files[@]}" 2>&1)
  [ -z "$report" ] && exit 0
  grep -o '^[^:]*' <<<"$(grep ': warning:' <<<"$report")" | sort -u
  echo "$(grep -c ': warning:' <<<"$report") places in these files are not formatted; scripts/format.sh formats them"
  exit 1
fi
clang-format --style=file -i "${files[@]}"
