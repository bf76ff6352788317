#!/usr/bin/env bash
# Flips one comparison operator at a time (< and <=, > and >=, == and !=) at
# a sample of sites in the logic folders, rebuilds the test binary, runs it
# and counts the mutants that make it fail. The source file is restored after
# every mutant, also when the run is interrupted.
#   tools/mutate.sh [-n sites-per-folder] [-s seed] [-b build-dir] [-l] [folder...]
# Folders default to src/engine src/files src/edit (and src/diskop,
# src/sampler when present); -l lists the sampled sites without running.
# Survivors are printed as file:line: before -> after.
set -euo pipefail
cd "$(dirname "$0")/.."
per_folder=20
seed=1
build=build
list_only=0
while getopts "n:s:b:l" opt; do
  case $opt in
    n) per_folder=$OPTARG ;;
    s) seed=$OPTARG ;;
    b) build=$OPTARG ;;
    l) list_only=1 ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
folders=("$@")
if [ ${#folders[@]} -eq 0 ]; then
  folders=(src/engine src/files src/edit)
  for extra in src/diskop src/sampler; do [ -d "$extra" ] && folders+=("$extra"); done
fi

# Sites are binary comparisons written with a space on each side (the
# formatter guarantees it), outside comments and preprocessor lines:
# "file<TAB>line<TAB>column<TAB>operator".
sites() {
  python3 - "$@" <<'EOF'
import re, sys
op = re.compile(r"(?<=\S) (<=|>=|==|!=|<|>) (?=\S)")
for path in sys.argv[1:]:
    for number, line in enumerate(open(path), 1):
        code = line.split("//")[0]
        if code.lstrip().startswith(("#", "*", "/*")):
            continue
        for m in op.finditer(code):
            print(f"{path}\t{number}\t{m.start(1)}\t{m.group(1)}")
EOF
}

flip() {
  case $1 in
    "<") echo "<=" ;;
    "<=") echo "<" ;;
    ">") echo ">=" ;;
    ">=") echo ">" ;;
    "==") echo "!=" ;;
    "!=") echo "==" ;;
  esac
}

sample=$(mktemp)
backup=$(mktemp)
current=""
restore() {
  [ -n "$current" ] && cp "$backup" "$current" && current=""
  rm -f "$sample" "$backup"
}
trap restore EXIT
trap 'exit 130' INT TERM

for folder in "${folders[@]}"; do
  mapfile -t files < <(find "$folder" -name '*.cpp' | sort)
  [ ${#files[@]} -eq 0 ] && continue
  sites "${files[@]}" | shuf -n "$per_folder" --random-source=<(yes "$seed") | sort -k1,1 -k2,2n >>"$sample"
done
if [ "$list_only" -eq 1 ]; then
  cat "$sample"
  exit 0
fi

cmake --build "$build" --target tetrad_tests -j2 >/dev/null
declare -A killed total
while IFS=$'\t' read -r file line column operator; do
  folder=$(dirname "$file")
  replacement=$(flip "$operator")
  cp "$file" "$backup"
  current=$file
  python3 - "$file" "$line" "$column" "$operator" "$replacement" <<'EOF'
import sys
path, line, column, old, new = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], sys.argv[5]
lines = open(path).readlines()
text = lines[line - 1]
assert text[column:column + len(old)] == old, (path, line, text)
lines[line - 1] = text[:column] + new + text[column + len(old):]
open(path, "w").writelines(lines)
EOF
  if ! timeout 300 cmake --build "$build" --target tetrad_tests -j2 >/dev/null 2>&1; then
    echo "does not build: $file:$line: $operator -> $replacement"
    cp "$backup" "$file"
    current=""
    continue
  fi
  total[$folder]=$((${total[$folder]:-0} + 1))
  # In a subshell, so that a crashing mutant is not reported on the terminal.
  if (SDL_AUDIODRIVER=dummy timeout 120 "$build/tetrad_tests" --gtest_brief=1 >/dev/null 2>&1) 2>/dev/null; then
    echo "survived: $file:$line: $(sed -n "${line}p" "$file" | sed 's/^ *//')   [$operator -> $replacement]"
  else
    killed[$folder]=$((${killed[$folder]:-0} + 1))
  fi
  cp "$backup" "$file"
  current=""
done <"$sample"

# Leave the build matching the restored sources.
cmake --build "$build" --target tetrad_tests -j2 >/dev/null
all_killed=0
all_total=0
for folder in "${!total[@]}"; do
  echo "$folder: ${killed[$folder]:-0} / ${total[$folder]} killed"
  all_killed=$((all_killed + ${killed[$folder]:-0}))
  all_total=$((all_total + ${total[$folder]}))
done
echo "all: $all_killed / $all_total killed"
