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
