#!/usr/bin/env bash
# Every shell script of the tree (scripts/, tests/, .ci/, bench/ and the
# helpers of cmake/ and resources/) passes shellcheck at every level, notes
# and style included; .shellcheckrc holds the project's few settings.
# Usage: tests/shellcheck_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
command -v shellcheck >/dev/null || { echo "shellcheck is missing (scripts/install-deps.sh --tests)"; exit 1; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t candidates < <(git ls-files)
else
  mapfile -t candidates < <(find . -path './build*' -prune -o -type f -print | sed 's|^\./||')
fi
scripts=()
for f in "${candidates[@]}"; do
  [[ -f $f ]] || continue
  case ${f##*/} in
    *.sh) scripts+=("$f") ;;
    *.*) ;;
    *) if head -n 1 "$f" | grep -qE '^#!.*[/ ](ba|da)?sh$'; then scripts+=("$f"); fi ;;
  esac
done
((${#scripts[@]} > 40)) || { echo "found only ${#scripts[@]} scripts"; exit 1; }
shellcheck --format=gcc "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts, no finding"
