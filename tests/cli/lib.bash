# Shared by the command-line checks: their arguments, a scratch directory
# removed on exit, and failure counting. Source it, then call `finish`.
tetrad=$1
source_dir=$2
demo=$source_dir/data/demo.mod
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs a command with its output in $work/out and $work/err.
expect_status() {
  local want=$1
  shift
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "'$*' exited $got, wanted $want ($(head -c 300 "$work/err"))"
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
  fi
  echo "$1: all checks passed"
}

# Bytes of a saved module: the song length, an order entry, and a cell as
# "period sample effect param" (pattern, row, channel).
mod_byte() {
  od -An -tu1 -j "$2" -N 1 "$1" | tr -d ' '
}
song_length_of() {
  mod_byte "$1" 950
}
order_of() {
  mod_byte "$1" $((952 + $2))
}
cell_of() {
  local b
  read -r -a b <<<"$(od -An -tu1 -j $((1084 + $2 * 1024 + $3 * 16 + $4 * 4)) -N 4 "$1")"
  echo "$(((b[0] & 15) * 256 + b[1])) $(((b[0] & 240) | (b[2] >> 4))) $((b[2] & 15)) ${b[3]}"
}

# The bytes of sample N (1..31) of the module FILE, one signed value a line.
sample_values() {
  od -An -v -tu1 -w1 "$1" | awk -v want="$2" '
    { b[NR - 1] = $1 }
    END {
      for (i = 952; i < 1080; ++i) if (b[i] > top) top = b[i]
      at = 1084 + 1024 * (top + 1)
      for (s = 1; s <= 31; ++s) {
        n = 2 * (b[20 + 30 * (s - 1) + 22] * 256 + b[20 + 30 * (s - 1) + 23])
        if (s == want) { for (i = at; i < at + n; ++i) print (b[i] > 127 ? b[i] - 256 : b[i]); exit }
        at += n
      }
    }'
}
