#!/usr/bin/env bash
# orbidial-render end to end: a good run writes a whole PNG of the asked size;
# bad input exits 2 with one line on stderr and writes nothing.
set -u
render=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Width and height from the PNG header (IHDR follows the 8-byte signature).
png_size() {
  local sig
  sig=$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')
  [[ $sig == 89504e470d0a1a0a ]] || { echo "not a png"; return; }
  od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'
}

for style in 0 1 2; do
  for size in 320x200 152x112; do
    out=$work/good-$style-$size.png
    if ! "$render" --at "2026-12-09 10:08:30" --style "$style" --size "$size" -o "$out" >/dev/null 2>"$work/err"; then
      fail "style $style size $size: $(cat "$work/err")"
      continue
    fi
    [[ $(png_size "$out") == "$size" ]] || fail "style $style: $out is $(png_size "$out"), not $size"
  done
done
rm -f "$work"/good-*

check_bad() {
  local name=$1; shift
  local dir=$work/bad-$name
  mkdir -p "$dir"
  (cd "$dir" && "$render" "$@" >/dev/null 2>"$work/err")
  local rc=$?
  [[ $rc == 2 ]] || fail "$name: exit $rc, want 2"
  [[ $(wc -l <"$work/err") == 1 ]] || fail "$name: stderr is not one line: $(cat "$work/err")"
  [[ -z $(ls -A "$dir") ]] || fail "$name: left files: $(ls -A "$dir")"
}
check_bad unknown-option --bogus -o x.png
check_bad zero-width --size 0x5 -o x.png
check_bad too-wide --size 99999x1 -o x.png
check_bad no-such-day --at "2026-02-30 00:00:00" -o x.png
check_bad unwritable --size 64x48 -o /nonexistent/dir/x.png
grep -q "^orbidial-render: cannot write /nonexistent/dir/x.png: No such file or directory$" "$work/err" ||
  fail "unwritable: message was: $(cat "$work/err")"

((failures == 0)) && echo "all render checks passed"
exit $((failures > 0))
