#!/usr/bin/env bash
# The batch commands as a user types them: exit status, messages, output.
set -u
source "$(dirname "$0")/lib.bash"

expect_status 0 "$tetrad" --help
grep -q -- "--render" "$work/out" || fail "--help does not list --render"
expect_status 0 "$tetrad" --version
grep -Eq '^tetrad [0-9]+\.[0-9]+' "$work/out" || fail "--version printed '$(cat "$work/out")'"

expect_status 2 "$tetrad" --render "$demo"
expect_status 2 "$tetrad" --render "$demo" "$work/a.wav" --max-seconds
expect_status 2 "$tetrad" --render "$demo" "$work/a.wav" --max-seconds -3
expect_status 2 "$tetrad" --info
expect_status 2 "$tetrad" --help extra

# Unreadable or refused files: status 1, one line naming the file.
expect_status 1 "$tetrad" --render "$work/missing.mod" "$work/a.wav"
grep -q "missing.mod" "$work/err" || fail "no file name in '$(cat "$work/err")'"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "more than one line: $(cat "$work/err")"
head -c 3000 /dev/urandom >"$work/noise.mod"
expect_status 1 "$tetrad" --info "$work/noise.mod"
grep -q "noise.mod: not an M.K. module" "$work/err" || fail "refusal said '$(cat "$work/err")'"
expect_status 1 "$tetrad" --render "$work" "$work/a.wav"
[ ! -e "$work/a.wav" ] || fail "a refused render wrote a file"
expect_status 1 "$tetrad" --render "$demo" "$work/no/such/dir/a.wav"

# A module cut inside its sample data loads, and says how much it lacks.
head -c -1000 "$demo" >"$work/cut.mod"
expect_status 0 "$tetrad" --info "$work/cut.mod"
grep -qx "truncated: 1000 bytes missing" "$work/out" || fail "--info does not say the module is cut"
expect_status 0 "$tetrad" --render "$work/cut.mod" "$work/cut.wav" --max-seconds 1
grep -q "cut.mod: truncated: 1000 bytes missing" "$work/err" || fail "--render does not warn"
expect_status 0 "$tetrad" --info "$demo"
grep -q "truncated" "$work/out" && fail "--info calls the whole demo cut"
grep -q "tetrad demo" "$work/out" || fail "--info lacks the song name"
[ "$(grep -cE '^ ?[0-9]+  ' "$work/out")" -eq 31 ] || fail "--info does not list 31 samples"

# The render ends where the song repeats: the demo has six positions of 64
# rows at speed 6 (the last row at speed 7), about 873.27 frames a tick.
expect_status 0 "$tetrad" --render "$demo" "$work/a.wav"
size=$(stat -c %s "$work/a.wav")
frames=$(((size - 44) / 4))
ticks=$((6 * 64 * 6 + 1))
low=$((ticks * 87326 / 100 - 4))
high=$((ticks * 87328 / 100 + 4))
[ "$frames" -ge "$low" ] && [ "$frames" -le "$high" ] ||
  fail "demo rendered $frames frames, wanted $low..$high"
[ "$(head -c 4 "$work/a.wav")" = "RIFF" ] || fail "not a RIFF file"
[ "$(od -An -tu2 -j22 -N2 "$work/a.wav" | tr -d ' ')" = 2 ] || fail "not stereo"
[ "$(od -An -tu4 -j24 -N4 "$work/a.wav" | tr -d ' ')" = 44100 ] || fail "not 44100 Hz"

expect_status 0 "$tetrad" --render "$demo" "$work/b.wav"
cmp -s "$work/a.wav" "$work/b.wav" || fail "two renders differ"

expect_status 0 "$tetrad" --render "$demo" "$work/short.wav" --max-seconds 2
[ "$(stat -c %s "$work/short.wav")" -eq $((44 + 2 * 44100 * 4)) ] || fail "--max-seconds 2 length"
[ "$(tail -c +45 "$work/short.wav" | head -c 100000 | md5sum)" = \
  "$(tail -c +45 "$work/a.wav" | head -c 100000 | md5sum)" ] || fail "short render differs"

finish "batch commands"
