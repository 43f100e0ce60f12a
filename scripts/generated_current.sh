#!/usr/bin/env bash
# The committed pictures are what their generator draws now (a table or a
# drawing was changed without running the generator again, or a file was
# edited by hand).
#   generated_current.sh GENERATOR COMMITTED_DIR [FONT ...]
# With FONTs named, the comparison is skipped (exit 77) where one of them is
# not installed: other fonts draw other pixels.
set -euo pipefail
tool=$1 committed=$2
shift 2
for font in "$@"; do
  fc-list "$font" | grep -q . || { echo "font $font is not installed: not compared"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
QT_QPA_PLATFORM=offscreen "$tool" "$tmp"
status=0
for f in "$tmp"/*; do
  name=$(basename "$f")
  cmp -s "$f" "$committed/$name" || { echo "$committed/$name differs from what $(basename "$tool") draws"; status=1; }
done
[ $status -eq 0 ] && echo "the files in $committed are what $(basename "$tool") draws"
exit $status
