#!/bin/bash
# Applies each deliberate break listed in the *.tsv files here to the program, rebuilds, runs the
# tests named for it, and restores the file. A break passes when at least one of
# those tests fails. Rows: id <TAB> file <TAB> perl substitution <TAB> ctest -R
# regex <TAB> what the break does. Usage: run_breaks.sh BUILD_DIR [ID-REGEX]
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
only=${2:-.}
uncaught=0
while IFS=$'\t' read -r id file subst tests what; do
  [[ -z "$id" || "$id" == \#* ]] && continue
  [[ "$id" =~ $only ]] || continue
  target="$root/$file"
  cp "$target" "$target.unbroken"
  perl -pi -e "$subst" "$target"
  if cmp -s "$target" "$target.unbroken"; then
    echo "$id	STALE	the substitution no longer matches $file"
    mv "$target.unbroken" "$target"; uncaught=1; continue
  fi
  if ! cmake --build "$build" -j2 >"$build/break-$id.log" 2>&1; then
    echo "$id	STALE	the broken program does not build (see $build/break-$id.log)"
    uncaught=1
  else
    failed=$(cd "$build" && ctest -R "$tests" -j2 --timeout 300 2>&1 |
      sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' | tr '\n' ' ')
    if [[ -n "$failed" ]]; then echo "$id	caught	by $failed	($what)"
    else echo "$id	UNCAUGHT	$tests	($what)"; uncaught=1; fi
  fi
  mv "$target.unbroken" "$target"
  touch "$target" # the copy is older than the broken build: make the next build see the change
done < <(cat "$root"/tests/breaks/*.tsv)
cmake --build "$build" -j2 >/dev/null 2>&1
exit $uncaught
