#!/usr/bin/env bash
# The committed icon files are what make_app_icon draws now (the drawing
# was changed without running the tool again, or a file by hand).
#   icon_current.sh MAKE_APP_ICON ICON_DIR
set -euo pipefail
tool=$1 committed=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
QT_QPA_PLATFORM=offscreen "$tool" "$tmp"
status=0
for f in "$tmp"/*; do
  name=$(basename "$f")
  cmp -s "$f" "$committed/$name" || { echo "packaging/icon/$name differs from what make_app_icon draws"; status=1; }
done
[ $status -eq 0 ] && echo "the committed icon files are the generator's"
exit $status
