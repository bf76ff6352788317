#!/usr/bin/env bash
# Includes run only the ways tools/layers.txt allows. The checker is first
# tried on a small tree of its own, so a checker that passes or fails
# everything is caught, then run on the project.
set -u
source "$(dirname "$0")/lib.bash"
checker=$source_dir/tools/include_layers.sh
fake=$work/fake

# Runs the checker on the fake tree; wants its exit status and the number
# of error and warning lines, and each further argument in the output.
check_fake() {
  local want=$1 errors=$2 warnings=$3
  shift 3
  expect_status "$want" bash "$checker" "$fake/layers.txt" "$fake"
  local got_errors got_warnings
  got_errors=$(grep -c '^error: ' "$work/out")
  got_warnings=$(grep -c '^warning: ' "$work/out")
  [ "$got_errors $got_warnings" = "$errors $warnings" ] ||
    fail "wanted $errors errors and $warnings warnings, got: $(cat "$work/out")"
  for text in "$@"; do
    grep -qF -- "$text" "$work/out" || fail "no '$text' in: $(cat "$work/out")"
  done
}

mkdir -p "$fake/src/low" "$fake/src/high" "$fake/tools"
printf 'low:\nhigh: low\ntools: low\n' >"$fake/layers.txt"
printf '#pragma once\n' >"$fake/src/low/base.h"
printf '#pragma once\n' >"$fake/src/high/top.h"
printf '#pragma once\n' >"$fake/tools/local.h"
printf '#include "low/base.h"\n' >"$fake/src/low/base.cpp"
printf '#include <vector>\n#include "high/top.h"\n#include "low/base.h"\n' >"$fake/src/high/top.cpp"
printf '#include "local.h"\n#include "low/base.h"\n' >"$fake/tools/gen.cpp"
check_fake 0 0 0 "5 includes, 0 errors"

# An upward include, and one written relative to the including file.
printf '#include "low/base.h"\n  #  include "high/top.h"\n#include "../high/top.h"\n' \
  >"$fake/src/low/base.cpp"
check_fake 1 2 0 'src/low/base.cpp:2: low may not include high ("high/top.h")' \
  'src/low/base.cpp:3: low may not include high ("../high/top.h")'

# Listed as allowed for now: warnings, and a stale entry is named.
printf '[allowed for now]\nsrc/low/base.cpp: high/top.h, ../high/top.h\ntools/gen.cpp: x.h\n' \
  >>"$fake/layers.txt"
check_fake 0 0 3 'src/low/base.cpp:2: low includes high ("high/top.h"), allowed for now' \
  'allowed for now but no longer needed: tools/gen.cpp: x.h'

# A folder the table does not list, included or holding code.
printf '#include "low/base.h"\n' >"$fake/src/low/base.cpp"
printf '#include "gui/panel.h"\n' >>"$fake/tools/gen.cpp"
check_fake 1 1 3 "tools/gen.cpp:3: includes \"gui/panel.h\" from 'gui', a folder not in the table"
mkdir "$fake/src/gui"
printf '#include "low/base.h"\n' >"$fake/src/gui/panel.cpp"
check_fake 1 2 3 "src/gui/panel.cpp: its folder 'gui' is not in the table"

# The project: only what the table allows, or lists as allowed for now.
expect_status 0 bash "$checker" "$source_dir/tools/layers.txt" "$source_dir"
grep '^error: ' "$work/out" >&2
cat "$work/out"
finish include_layers
