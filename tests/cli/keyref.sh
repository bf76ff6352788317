#!/usr/bin/env bash
# The key reference in docs/ and in the README is what the key tables say
# today: a change to the tables that is not followed by regenerating fails.
set -u
tetrad=$1
source_dir=$2
keyref=$(dirname "$tetrad")/keyref
failures=0
"$keyref" | cmp -s - "$source_dir/docs/keys.md" || {
  echo "FAIL: docs/keys.md is out of date (run: build/keyref > docs/keys.md)" >&2
  failures=$((failures + 1))
}
short=$("$keyref" --short) || { echo "FAIL: keyref --short exited $?" >&2; exit 1; }
readme=$(sed -n '/^<!-- keys:/,/^<!-- \/keys -->/p' "$source_dir/README.md" | sed '1d;$d')
[ "$short" = "$readme" ] || {
  echo "FAIL: the README's key table differs from 'build/keyref --short'" >&2
  failures=$((failures + 1))
}
exit $((failures > 0))
