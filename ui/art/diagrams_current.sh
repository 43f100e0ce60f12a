#!/usr/bin/env bash
# The committed diagrams bmp/diag1.bmp .. diag4.bmp are what make_diagrams
# draws now from the calendar's tables (a table row was changed without
# remaking the pictures, or a picture was edited by hand).
#   diagrams_current.sh MAKE_DIAGRAMS BMP_DIR
# Skipped (exit 77) where the two fonts of the pictures are not installed:
# other fonts draw other pixels.
set -euo pipefail
tool=$1 committed=$2
for font in "DejaVu Sans" "WenQuanYi Micro Hei"; do
  fc-list "$font" | grep -q . || { echo "font $font is not installed: not compared"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
QT_QPA_PLATFORM=offscreen "$tool" "$tmp"
status=0
for f in "$tmp"/*; do
  name=$(basename "$f")
  cmp -s "$f" "$committed/$name" || { echo "bmp/$name differs from what make_diagrams draws"; status=1; }
done
[ $status -eq 0 ] && echo "the committed diagrams are the generator's"
exit $status
