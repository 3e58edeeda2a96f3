#!/usr/bin/env bash
# Checks the nine pictures of one take (take.sh): each page area (right of the
# sidebar) must show something, and no two pages may look the same there.
#   check.sh <folder with 1-*.png ... 9-*.png> <dpi>
# The sidebar is left out on purpose: its selection marker alone would make
# every picture differ even when no page draws anything.
set -euo pipefail

folder=$1 dpi=$2
sidebar=$(( (208 * dpi + 48) / 96 ))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

for n in 1 2 3 4 5 6 7 8 9; do
  picture=$(ls "$folder/$n"-*.png 2>/dev/null | head -1)
  if [ -z "$picture" ]; then
    echo "page $n: no picture in $folder"; failures=$((failures + 1)); continue
  fi
  read -r width height < <(identify -format '%w %h\n' "$picture")
  convert "$picture" -crop "$((width - sidebar))x$height+$sidebar+0" +repage "$work/$n.png"
  # Not blank: more than 200 pixels of the page area differ from its most
  # common colour (the background); the shortest page title alone has about 300.
  # awk reads the whole sorted histogram: a reader that stops early (head) lets
  # sort die of SIGPIPE, which pipefail turns into a failed check.
  background=$(convert "$work/$n.png" -format %c histogram:info:- | sort -rn |
               awk 'NR == 1 { sub(":", "", $1); print $1 }')
  drawn=$(( (width - sidebar) * height - background ))
  if [ "$drawn" -le 200 ]; then
    echo "page $n: blank (only $drawn pixels differ from the background)"
    failures=$((failures + 1))
  fi
done

# Distinct: every pair of page areas differs in more than 1000 pixels (a page
# title alone differs in several thousand).
for a in 1 2 3 4 5 6 7 8; do
  for b in $(seq $((a + 1)) 9); do
    [ -f "$work/$a.png" ] && [ -f "$work/$b.png" ] || continue
    differing=$(compare -metric AE "$work/$a.png" "$work/$b.png" null: 2>&1 >/dev/null || true)
    differing=${differing%% *}
    if ! [ "${differing%.*}" -gt 1000 ] 2>/dev/null; then
      echo "pages $a and $b look the same (only $differing pixels differ)"
      failures=$((failures + 1))
    fi
  done
done

if [ $failures -gt 0 ]; then
  echo "$failures problem(s) in $folder"
  exit 1
fi
echo "nine distinct, drawn pages in $folder"
