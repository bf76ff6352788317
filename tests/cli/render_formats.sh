#!/usr/bin/env bash
# --render into each file format, into a pipe, and as stems; module
# signatures shown by --info.
set -u
source "$(dirname "$0")/lib.bash"

expect_status 0 "$tetrad" --render "$demo" "$work/a.wav"
for ext in flac aiff FLAC; do
  expect_status 0 "$tetrad" --render "$demo" "$work/a.$ext"
  [ -s "$work/a.$ext" ] || fail "no $ext file"
done
head -c 4 "$work/a.flac" | grep -q fLaC || fail "a.flac is not FLAC"
[ "$(head -c 12 "$work/a.aiff" | tail -c 4)" = AIFF ] || fail "a.aiff is not AIFF"

# A pipe cannot seek: the WAV must still come out whole, lengths first.
"$tetrad" --render "$demo" - 2>"$work/err" | cat >"$work/piped.wav"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "render to a pipe failed: $(cat "$work/err")"
cmp -s "$work/a.wav" "$work/piped.wav" || fail "the piped WAV differs from the file"

# Stems: the mix as usual, and one file per channel beside it.
expect_status 0 "$tetrad" --render "$demo" "$work/s.wav" --stems
cmp -s "$work/a.wav" "$work/s.wav" || fail "the mix written with stems differs"
for n in 1 2 3 4; do
  [ "$(stat -c %s "$work/s-$n.wav")" = "$(stat -c %s "$work/a.wav")" ] || fail "stem $n size"
done
expect_status 0 "$tetrad" --render "$demo" "$work/t.flac" --stems --max-seconds 3
[ -s "$work/t-4.flac" ] || fail "no FLAC stems"

expect_status 2 "$tetrad" --render "$demo" - --stems
expect_status 2 "$tetrad" --render "$demo" "$work/a.mp3"
grep -q '\.wav, \.flac or \.aiff' "$work/err" || fail "the usage error does not name the extensions"
[ ! -e "$work/a.mp3" ] || fail "an unknown format wrote a file"

# The other four-channel signatures load, show and play like "M.K.".
expect_status 0 "$tetrad" --info "$demo"
grep -q '^format: *M\.K\.$' "$work/out" || fail "--info does not show M.K."
for sig in 'M!K!' 4CHN FLT4; do
  cp "$demo" "$work/v.mod"
  printf '%s' "$sig" | dd of="$work/v.mod" bs=1 seek=1080 conv=notrunc status=none
  expect_status 0 "$tetrad" --info "$work/v.mod"
  grep -q "^format: *$sig\$" "$work/out" || fail "--info does not show $sig"
  expect_status 0 "$tetrad" --render "$work/v.mod" "$work/v.wav"
  cmp -s "$work/a.wav" "$work/v.wav" || fail "$sig renders differently"
done
cp "$demo" "$work/v.mod"
printf 8CHN | dd of="$work/v.mod" bs=1 seek=1080 conv=notrunc status=none
expect_status 1 "$tetrad" --info "$work/v.mod"

finish render_formats
