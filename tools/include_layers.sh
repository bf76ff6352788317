#!/usr/bin/env bash
# Checks every #include "..." in ROOT/src and ROOT/tools against the folder
# dependencies of TABLE (see tools/layers.txt for its form).
#   usage: include_layers.sh TABLE ROOT
# Prints "error: FILE:LINE: ..." for each include the table does not allow
# and exits 1 when there is one; includes listed under [allowed for now]
# are printed as warnings instead.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 TABLE ROOT" >&2; exit 2; }
table=$1
root=$2

declare -A allowed   # folder -> " folders it may include "
declare -A for_now   # "file include" -> 1
declare -A needed    # the for_now entries some include used
section=rules
number=0
while IFS= read -r line || [ -n "$line" ]; do
  number=$((number + 1))
  line=${line%%#*}
  read -r -a words <<<"${line//,/ }"
  [ ${#words[@]} -eq 0 ] && continue
  if [ "${words[*]}" = "[allowed for now]" ]; then
    section=for_now
    continue
  fi
  name=${words[0]}
  if [ "${name%:}" = "$name" ]; then
    echo "error: $table:$number: expected 'name: list'" >&2
    exit 2
  fi
  name=${name%:}
  if [ $section = rules ]; then
    allowed[$name]=" ${words[*]:1} "
  else
    for include in "${words[@]:1}"; do for_now["$name $include"]=1; done
  fi
done <"$table"

# The folder a path below ROOT belongs to (src/NAME/..., or tools), in
# $folder.
folder_of() {
  case $1 in
    src/*/*) folder=${1#src/} folder=${folder%%/*} ;;
    tools/*) folder=tools ;;
    *) folder=${1%%/*} ;;
  esac
}

# The folder of the file a quoted include of FILE names, in $folder. The
# compiler looks beside the including file, then below src/; an include
# that names no file counts as below src/ when it has a folder, else as
# beside the file.
include_folder() {
  local dir=${1%/*} path
  if [ -f "$root/$dir/$2" ]; then
    path=$dir/$2
  elif [ -f "$root/src/$2" ] || [[ $2 == */* ]]; then
    path=src/$2
  else
    path=$dir/$2
  fi
  if [[ $path == *./* ]]; then path=$(realpath -m --relative-to="$root" "$root/$path"); fi
  folder_of "$path"
}

errors=0
warnings=0
includes=0
folders=()
for f in src tools; do [ -d "$root/$f" ] && folders+=("$root/$f"); done
[ ${#folders[@]} -gt 0 ] || { echo "error: $root has neither src/ nor tools/" >&2; exit 2; }
while IFS= read -r file; do
  file=${file#"$root"/}
  folder_of "$file"
  from=$folder
  if [ -z "${allowed[$from]+set}" ]; then
    echo "error: $file: its folder '$from' is not in the table"
    errors=$((errors + 1))
    continue
  fi
  while IFS=: read -r line text; do
    [[ $text =~ \"([^\"]+)\" ]] || continue
    include=${BASH_REMATCH[1]}
    includes=$((includes + 1))
    include_folder "$file" "$include"
    to=$folder
    if [ "$to" = "$from" ] || [[ ${allowed[$from]} == *" $to "* ]]; then continue; fi
    if [ -z "${allowed[$to]+set}" ]; then
      echo "error: $file:$line: includes \"$include\" from '$to', a folder not in the table"
      errors=$((errors + 1))
    elif [ -n "${for_now["$file $include"]+set}" ]; then
      echo "warning: $file:$line: $from includes $to (\"$include\"), allowed for now"
      needed["$file $include"]=1
      warnings=$((warnings + 1))
    else
      echo "error: $file:$line: $from may not include $to (\"$include\")"
      errors=$((errors + 1))
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$file" || true)
done < <(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \
           -o -name '*.cc' -o -name '*.c' \) | sort)

while IFS= read -r entry; do
  if [ -n "$entry" ] && [ -z "${needed[$entry]+set}" ]; then
    echo "warning: $table: allowed for now but no longer needed: ${entry/ /: }"
    warnings=$((warnings + 1))
  fi
done < <(printf '%s\n' "${!for_now[@]}" | sort)
echo "include layers: $includes includes, $errors errors, $warnings warnings"
[ $errors -eq 0 ]
