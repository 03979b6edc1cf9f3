#!/usr/bin/env bash
# Fails when a library that the CMake files look for comes from a Debian package that no
# list of tools/deps.sh installs for the entry point that needs it. A machine that once had
# the package from other work builds anyway, so only this check notices.
#
#   tests/project/dependencies.sh [--without PACKAGE] SOURCE_DIR BUILD_DIR
#
# Every pkg_check_modules module is traced through its .pc file and every find_package
# through what CMake found (the package's config file, or the library a Find module
# located), to the package that ships that file. A REQUIRED look that the default configure
# reaches (tools/start.sh and tools/package.sh configure that preset) must be satisfied by
# the build list; an optional one, or one only the fuzz build reaches, by the test list —
# and the build this runs in (the one tools/check.sh made) must have found it.
# --without reads the lists as if PACKAGE were missing from them: the suite runs that too,
# so a check that stopped catching anything would fail.
set -euo pipefail
without=""
if [[ ${1:-} == --without ]]; then
  without=$2
  shift 2
fi
src=$1
build=$2
deps=$src/tools/deps.sh
cache=$build/CMakeCache.txt
[[ -f $cache ]] || { echo "no CMakeCache.txt in $build" >&2; exit 2; }

list_of() { "$deps" --list "$1" | grep -vx -- "${without:-^$}" | tr '\n' ' '; }
build_list=" $(list_of build) "
test_list=" $(list_of test) "
kde_list=" $(list_of kde) "

# The Debian package of each file, asked once for all of them (each dpkg query reads the
# whole file database). A merged /usr may list a file under /lib only.
declare -A owner_of
find_owners() {
  local line path
  local -a asked=()
  for path in "$@"; do
    asked+=("$path" "$(realpath -m "$path")" "${path#/usr}")
  done
  while IFS= read -r line; do
    [[ $line == *": /"* ]] || continue
    owner_of[${line#*: }]=${line%%[:,]*}
  done < <(dpkg-query -S "${asked[@]}" 2>/dev/null || true)
}
package_of() {
  local path=$1 candidate
  for candidate in "$path" "$(realpath -m "$path")" "${path#/usr}"; do
    if [[ -n ${owner_of[$candidate]:-} ]]; then
      echo "${owner_of[$candidate]}"
      return 0
    fi
  done
  return 1
}

cache_value() { # NAME -> the value of a cache entry, empty when absent or not found
  local value
  value=$(sed -n "s/^$1:[A-Z]*=//p" "$cache" | head -n1)
  [[ $value == *-NOTFOUND ]] && value=""
  echo "$value"
}

kde_tests=$(cache_value QUORIX_KDE_TESTS)

# Prints one line per look: FILE<TAB>COMMAND<TAB>ARGUMENTS, with the arguments of a call
# that spans several lines joined and comments dropped.
looks() {
  find "$src" \( -path "$src/build*" -o -path "$src/.git" \) -prune -o \
    \( -name CMakeLists.txt -o -name '*.cmake' \) -print | sort | while read -r file; do
    awk -v file="${file#"$src"/}" '
      { sub(/#.*/, "") }
      !open && match($0, /(pkg_check_modules|find_package)[ \t]*\(/) {
        command = substr($0, RSTART, RLENGTH); sub(/[ \t]*\($/, "", command)
        rest = substr($0, RSTART + RLENGTH); open = 1; args = ""
      }
      open {
        if (rest == "") rest = $0
        if (index(rest, ")")) {
          args = args " " substr(rest, 1, index(rest, ")") - 1); open = 0
          gsub(/[ \t]+/, " ", args); print file "\t" command "\t" args
        } else {
          args = args " " rest
        }
        rest = ""
      }' "$file"
  done
}

status=0
found_files=() # what was found, one record a file: PATH<TAB>WHAT<TAB>CMAKE FILE<TAB>LIST
require() { # PATH WHAT FILE LIST-NAME
  found_files+=("$1"$'\t'"$2"$'\t'"$3"$'\t'"$4")
}

while IFS=$'\t' read -r file command args; do
  read -ra words <<<"$args"
  required=false
  [[ " $args " == *" REQUIRED "* ]] && required=true
  list=build
  if ! $required || [[ $file == fuzz/* ]]; then
    list=test
  fi
  # The KDE tests are configured only on request (tools/check.sh --kde), after
  # tools/deps.sh kde: their list is that one, and where it was never installed there is
  # nothing to trace.
  if [[ $file == *kde* ]]; then
    list=kde
    [[ ${kde_tests^^} == ON ]] || continue
  fi
  if [[ $command == pkg_check_modules ]]; then
    for word in "${words[@]:1}"; do
      case $word in
        REQUIRED | QUIET | IMPORTED_TARGET | GLOBAL | NO_CMAKE_PATH | NO_CMAKE_ENVIRONMENT_PATH) continue ;;
      esac
      module=${word%%[<>=]*}
      if ! pc=$(pkg-config --path "$module" 2>/dev/null); then
        echo "$file: pkg-config module $module is not installed here: which package ships it?" >&2
        status=1
        continue
      fi
      require "$pc" "module $module" "$file" "$list"
    done
    continue
  fi

  # find_package: the package's config file, else the files its Find module located.
  name=${words[0]}
  components=()
  in_components=false
  for word in "${words[@]:1}"; do
    case $word in
      COMPONENTS) in_components=true ;;
      REQUIRED | QUIET | CONFIG | MODULE | OPTIONAL_COMPONENTS) ;;
      *) $in_components && components+=("$word") ;;
    esac
  done
  found=()
  for part in "" "${components[@]}"; do
    dir=$(cache_value "$name${part}_DIR")
    [[ -n $dir ]] || continue
    for config in "$dir/$name${part}Config.cmake" "$dir/$(tr '[:upper:]' '[:lower:]' <<<"$name$part")-config.cmake"; do
      [[ -f $config ]] && found+=("$config")
    done
  done
  if [[ ${#found[@]} -eq 0 ]]; then
    prefix=$(tr '[:lower:]' '[:upper:]' <<<"$name")
    [[ $name == PkgConfig ]] && prefix=PKG_CONFIG
    while IFS= read -r value; do
      [[ -f $value ]] && found+=("$value")
    done < <(sed -n "s/^${prefix}_[A-Z_]*:FILEPATH=//p" "$cache")
  fi
  if [[ ${#found[@]} -eq 0 ]]; then
    echo "$file: cannot tell what find_package($name) found in $build (not configured there?)" >&2
    status=1
    continue
  fi
  for path in "${found[@]}"; do
    require "$path" "find_package($name) found $(basename "$path")" "$file" "$list"
  done
done < <(looks)

paths=()
for record in "${found_files[@]}"; do
  paths+=("${record%%$'\t'*}")
done
find_owners "${paths[@]}"
for record in "${found_files[@]}"; do
  IFS=$'\t' read -r path what file list <<<"$record"
  if ! package=$(package_of "$path"); then
    echo "$file: $path ($what) belongs to no Debian package" >&2
    status=1
    continue
  fi
  names=$build_list
  [[ $list == test ]] && names=$test_list
  [[ $list == kde ]] && names=$kde_list
  if [[ $names != *" $package "* ]]; then
    echo "$file: $what comes from $package, which no list of tools/deps.sh for '$list' installs" >&2
    status=1
  fi
done

[[ $status -eq 0 ]] && echo "dependencies: ${#found_files[@]} libraries, each in its entry point's list"
exit $status
