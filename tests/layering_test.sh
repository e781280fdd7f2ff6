#!/usr/bin/env bash
# The layers include downward only: with the include folders a library of a
# layer compiles with, the headers of its own layer and of those below it are
# found, and the headers of every layer above it are not.
# Usage: layering_test.sh COMPILER LAYER:DIR[:DIR...]...
#   (the layers lowest first, each with its library's include folders)
set -euo pipefail
compiler=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# One public header of each layer.
declare -A header=(
  [common]=common/wide_format.h
  [face]=face/layout.h
  [settings]=settings/settings_file.h
  [shell]=shell/command_line.h
)
order=(common face settings shell)
failures=0

# compiles HEADER DIR...: whether a file including HEADER compiles.
compiles() {
  local include=$1 flags=() dir
  shift
  # The system's own folder stays where the compiler keeps it.
  for dir in "$@"; do [[ $dir == /usr/include ]] || flags+=("-I$dir"); done
  printf '#include "%s"\n' "$include" |
    "$compiler" -std=c++20 -fsyntax-only -x c++ "${flags[@]}" - 2>"$work/err"
}

for entry in "$@"; do
  layer=${entry%%:*}
  IFS=: read -r -a dirs <<<"${entry#*:}"
  below=1
  for other in "${order[@]}"; do
    if ((below)); then
      compiles "${header[$other]}" "${dirs[@]}" ||
        { echo "FAIL: $layer cannot include ${header[$other]}: $(head -3 "$work/err")"; failures=$((failures + 1)); }
    elif compiles "${header[$other]}" "${dirs[@]}"; then
      echo "FAIL: $layer, below $other, can include ${header[$other]}"
      failures=$((failures + 1))
    elif ! grep -q 'No such file or directory' "$work/err"; then
      echo "FAIL: including ${header[$other]} from $layer failed for another cause: $(head -3 "$work/err")"
      failures=$((failures + 1))
    fi
    [[ $other == "$layer" ]] && below=0
  done
  echo "$layer: includes ${dirs[*]}"
done
((failures == 0)) && echo "layering holds"
exit $((failures > 0))
