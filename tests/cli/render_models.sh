#!/usr/bin/env bash
# --render with the output models, separation, rates and clocks: the defaults
# are today's bytes, the settings file is never read, each rate keeps the
# song's length, and bad values are usage errors.
set -u
source "$(dirname "$0")/lib.bash"

# A header field of a canonical WAV: a 32-bit little-endian number at $2.
wav_field() {
  od -A n -t u4 -j "$2" -N 4 "$1" | tr -d ' '
}

expect_status 0 "$tetrad" --render "$demo" "$work/plain.wav"
expect_status 0 "$tetrad" --render "$demo" "$work/exact.wav" --model exact --separation 100 \
  --rate 44100 --clock ntsc
cmp -s "$work/plain.wav" "$work/exact.wav" || fail "the default flags change the exact render"

# Settings asking for another output change nothing in a render.
mkdir -p "$work/config/tetrad"
printf '[audio]\nmodel = a500\nseparation = 0\nrate = 96000\n' >"$work/config/tetrad/tetrad.ini"
XDG_CONFIG_HOME=$work/config "$tetrad" --render "$demo" "$work/set.wav" 2>"$work/err" ||
  fail "render with a settings file failed"
cmp -s "$work/plain.wav" "$work/set.wav" || fail "the settings file changed a render"

# Every model at every rate: a file of that rate, as long as the 44100 Hz
# render to within one tick (20 ms at the demo's tempo 125).
plain_bytes=$(wav_field "$work/plain.wav" 40)
for model in exact a500 a1200; do
  for rate in 44100 48000 96000; do
    out=$work/$model-$rate.wav
    expect_status 0 "$tetrad" --render "$demo" "$out" --model "$model" --rate "$rate"
    [ "$(wav_field "$out" 24)" = "$rate" ] || fail "$model at $rate: the file says $(wav_field "$out" 24) Hz"
    bytes=$(wav_field "$out" 40)
    # Compared in frames scaled to 44100 Hz, times 1000 to stay in integers.
    diff=$(((bytes / 4) * 44100 * 1000 / rate - (plain_bytes / 4) * 1000))
    [ "${diff#-}" -le $((882 * 1000)) ] || fail "$model at $rate: length off by $diff/1000 frames"
  done
done
cmp -s "$work/plain.wav" "$work/a500-44100.wav" && fail "a500 renders what exact does"
cmp -s "$work/a500-44100.wav" "$work/a1200-44100.wav" && fail "a500 and a1200 render the same"

expect_status 0 "$tetrad" --render "$demo" "$work/pal.wav" --model a1200 --max-seconds 2
expect_status 0 "$tetrad" --render "$demo" "$work/ntsc.wav" --model a1200 --clock ntsc --max-seconds 2
cmp -s "$work/pal.wav" "$work/ntsc.wav" && fail "the clock changes nothing"

# Stems with a machine model and narrowed stereo.
expect_status 0 "$tetrad" --render "$demo" "$work/st.wav" --stems --model a500 --separation 50 \
  --max-seconds 3
for n in 1 2 3 4; do
  [ "$(stat -c %s "$work/st-$n.wav")" = "$(stat -c %s "$work/st.wav")" ] || fail "a500 stem $n"
done

for bad in "--model a600" "--model" "--separation 101" "--separation -1" "--separation x" \
  "--rate 22050" "--rate 48000.0" "--clock secam"; do
  # shellcheck disable=SC2086
  expect_status 2 "$tetrad" --render "$demo" "$work/bad.wav" $bad
  [ ! -e "$work/bad.wav" ] || fail "'$bad' wrote a file"
done

finish render_models
