#!/usr/bin/env bash
# The installed program: installs the build tree into a temporary prefix
# and, relocated, through DESTDIR; checks the tree, runs the installed
# kalynth-calc, starts the installed kalynth offscreen until it reports the
# data folders it found, and checks the desktop files with the desktop's
# own tools where they are installed.
#
#   installed_tree.sh BUILD_DIR APP_ID RECORD_MIME SAMPLE_RECORD
set -uo pipefail

build=$1 id=$2 mime=$3 sample=$4
tmp=$(mktemp -d)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  rm -rf "$tmp"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
ok() { echo "ok: $*"; }

# ---- Install, plain and relocated ------------------------------------------
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; exit 1; }
DESTDIR=$tmp/dest cmake --install "$build" --prefix /usr >"$tmp/install-destdir.log" 2>&1 ||
  { cat "$tmp/install-destdir.log"; exit 1; }
relocated=$tmp/dest/usr

# ---- The tree ----------------------------------------------------------------
check_tree() {
  local root=$1 f size
  for f in bin/kalynth bin/kalynth-calc; do
    [ -x "$root/$f" ] || fail "$root/$f is not an executable"
  done
  # Only the two programs: no tests, benchmarks or drawing tools.
  [ "$(ls "$root/bin" | tr '\n' ' ')" = "kalynth kalynth-calc " ] || fail "$root/bin holds $(ls "$root/bin")"
  # Libraries are linked in; nothing else goes to lib/ or include/.
  [ ! -e "$root/lib" ] && [ ! -e "$root/include" ] || fail "$root has lib/ or include/"
  for f in share/kalynth/comment/1.htm share/kalynth/comment/64.htm share/kalynth/help/index.htm \
    share/applications/$id.desktop share/mime/packages/$id.xml share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/kalynth.1.gz share/man/man1/kalynth-calc.1.gz \
    share/man/ru/man1/kalynth.1.gz share/man/ru/man1/kalynth-calc.1.gz \
    share/doc/kalynth/copyright; do
    [ -s "$root/$f" ] || fail "missing $root/$f"
  done
  [ -d "$root/share/kalynth/bmp" ] || fail "missing $root/share/kalynth/bmp/"
  # The data folders hold data only (no page generator, no placeholders).
  local extra
  extra=$(find "$root/share/kalynth" -name '*.py' -o -name '.keep')
  [ -z "$extra" ] || fail "not data: $extra"
  # Each hicolor PNG is as large as its folder says (width, height from the
  # PNG header at bytes 16..23).
  for size in 16 22 24 32 48 64 128 256; do
    f=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
    if [ ! -s "$f" ]; then
      fail "missing $f"
      continue
    fi
    local dims
    dims=$(od -An -tu1 -j16 -N8 "$f" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$f is $dims"
  done
  # The manual pages are gzip files.
  for f in "$root"/share/man/man1/*.gz "$root"/share/man/ru/man1/*.gz; do
    gzip -t "$f" 2>/dev/null || fail "$f is not a gzip file"
  done
}
check_tree "$prefix"
check_tree "$relocated"
ok "installed tree"

desktop=$prefix/share/applications/$id.desktop
grep -qx 'Exec=kalynth %f' "$desktop" || fail "desktop entry: no 'Exec=kalynth %f'"
grep -qx "Icon=$id" "$desktop" || fail "desktop entry: no 'Icon=$id'"
grep -qx "MimeType=$mime;" "$desktop" || fail "desktop entry: no 'MimeType=$mime;'"

# ---- The installed kalynth-calc ------------------------------------------------
# 10 February 2024 was the Chinese New Year: lunar month 1, day 1, no leap.
for root in "$prefix" "$relocated"; do
  out=$("$root/bin/kalynth-calc" lunar 2024-02-10 2>&1)
  row=$(printf '%s\n' "$out" | awk -F'\t' 'NR==1{for(i=1;i<=NF;i++)c[$i]=i} NR==2{print $c["month"], $c["leap_month"], $c["day"]}')
  [ "$row" = "1 0 1" ] || fail "$root/bin/kalynth-calc lunar 2024-02-10 gave: $out"
  "$root/bin/kalynth-calc" --help >/dev/null || fail "$root/bin/kalynth-calc --help failed"
done
ok "installed kalynth-calc"

# ---- The installed program finds its data ----------------------------------
# It is started as the menu entry starts it, with a record; KALYNTH_TRACE
# makes it report the data folders it found and its window title.
mkdir -m 700 "$tmp/runtime"
cp "$sample" "$tmp/Запись.kly"
start_program() {
  local root=$1 log=$2 waited=0
  XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp/runtime QT_QPA_PLATFORM=offscreen KALYNTH_TRACE=1 \
    "$root/bin/kalynth" "$tmp/Запись.kly" >"$log" 2>"$log.err" &
  local pid=$!
  pids+=("$pid")
  while ! grep -q '^ready' "$log" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null || [ $waited -ge 600 ]; then break; fi
    sleep 0.1
    waited=$((waited + 1))
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  grep -q '^ready' "$log" || { fail "$root/bin/kalynth did not get ready"; cat "$log" "$log.err"; }
}
for root in "$prefix" "$relocated"; do
  log=$tmp/trace-$(basename "$root").txt
  start_program "$root" "$log"
  for data in comment help bmp; do
    grep -qx "data $data $root/share/kalynth/$data" "$log" ||
      fail "$root/bin/kalynth did not find $root/share/kalynth/$data: $(grep "^data $data" "$log")"
  done
  grep -q '^title .*Запись\.kly' "$log" || fail "$root/bin/kalynth did not open the record: $(grep '^title' "$log")"
done
ok "installed kalynth found comment/, help/, bmp/ and opened the record"

# ---- The desktop's own checks, where the tools are installed ------------------
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
  ok "desktop-file-validate"
else
  echo "skipped: desktop-file-validate (desktop-file-utils) not installed"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
  ok "appstreamcli validate"
else
  echo "skipped: appstreamcli (appstream) not installed"
fi
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
  XDG_DATA_DIRS=$prefix/share update-mime-database "$prefix/share/mime" || fail "update-mime-database"
  mkdir "$tmp/files"
  for name in a.kly b.KLY c.Kly renamed-without-extension; do cp "$sample" "$tmp/files/$name"; done
  printf 'plain text\r\n' >"$tmp/files/not-a-record"
  type_of() {
    XDG_DATA_HOME=$prefix/share XDG_DATA_DIRS=$prefix/share:/usr/share \
      gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
  }
  for name in a.kly b.KLY c.Kly renamed-without-extension; do
    [ "$(type_of "$tmp/files/$name")" = "$mime" ] || fail "$name is $(type_of "$tmp/files/$name"), not $mime"
  done
  [ "$(type_of "$tmp/files/not-a-record")" != "$mime" ] || fail "a plain text file was taken for a record"
  ok "file type by name (.kly .KLY .Kly) and by content"
else
  echo "skipped: file type check (shared-mime-info, gio) not installed"
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
