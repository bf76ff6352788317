#!/usr/bin/env bash
# The pattern view shows its state in the picture itself, with the pointer
# never moved into the window: edit mode turns the cursor row's band
# (y 189..202) another colour with a mark at its left end (another again
# in record mode), and the rows of a block being marked change in the
# cursor's track only.
set -u
source "$(dirname "$0")/lib.bash"

cat >"$work/view.script" <<END
wait 2
shot $work/idle.png
key space
key Down
key Down
wait 2
shot $work/edit.png
key Up
key Up
key b ctrl
key Down
key Down
wait 2
shot $work/marked.png
key rshift
wait 2
shot $work/record.png
END
expect_status 0 "$tetrad" --script "$work/view.script" "$demo"

# Pixels that differ between two pictures within WxH+X+Y.
differ() { compare -metric AE "$1[$3]" "$2[$3]" null: 2>&1; }

band=320x14+0+189
n=$(differ "$work/idle.png" "$work/edit.png" $band)
[ "$n" -ge 3000 ] 2>/dev/null || fail "edit mode changed $n pixels of the cursor band"
n=$(differ "$work/idle.png" "$work/edit.png" 320x120+0+0)
[ "$n" = 0 ] || fail "edit mode changed $n pixels above the pattern view"

# Marked: rows 0..2 of channel 1 (x 31..103), the cursor on row 2: rows 0
# and 1 are the two lines above the band.
n=$(differ "$work/edit.png" "$work/marked.png" 73x28+31+175)
[ "$n" -ge 800 ] 2>/dev/null || fail "the marked rows changed only $n pixels"
n=$(differ "$work/edit.png" "$work/marked.png" 216x28+104+175)
[ "$n" = 0 ] || fail "marking changed $n pixels of the other tracks"
n=$(differ "$work/edit.png" "$work/marked.png" 320x35+0+140)
[ "$n" = 0 ] || fail "marking changed $n pixels of the rows above the block"

# Record mode (playing while editing) has its own band and mark.
# The band's right end holds no text, so only its colour is compared.
n=$(differ "$work/edit.png" "$work/record.png" 8x14+312+189)
[ "$n" = 112 ] || fail "record mode's band differs from edit mode's in $n of 112 pixels"
finish pattern_view_state
