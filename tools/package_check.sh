#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, installs it with
# apt as a user would, checks the installed program and its desktop files,
# and removes it again, checking that none of its files stay behind.
# Changes the system: run it as root on a machine meant for it (CI).
#   tools/package_check.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

rm -f "$build"/tetrad_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$build"/tetrad_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made ${debs[*]}"
deb=${debs[0]}
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2 libsndfile1 librtmidi libpng16; do
  [[ $depends == *"$lib"* ]] || fail "the package does not depend on $lib: $depends"
done

export DEBIAN_FRONTEND=noninteractive
apt-get install -y "$deb" >"$work/apt.log" || { cat "$work/apt.log"; fail "apt-get install"; }
dpkg -L tetrad >"$work/files"

[ "$(/usr/bin/tetrad --version)" = "tetrad $(dpkg-deb -f "$deb" Version)" ] ||
  fail "--version said '$(/usr/bin/tetrad --version)'"
# From another folder, by the PATH: the program finds its data by its own place.
(cd "$work" && tetrad --render /usr/share/tetrad/data/demo.mod demo.wav) || fail "--render of the demo"
[ "$(head -c 4 "$work/demo.wav")" = RIFF ] && [ "$(stat -c %s "$work/demo.wav")" -gt 1000000 ] ||
  fail "the render of the installed demo is not a WAV of the song"

desktop-file-validate /usr/share/applications/org.tetrad.Tetrad.desktop || fail "desktop file"
appstreamcli validate --no-net /usr/share/metainfo/org.tetrad.Tetrad.metainfo.xml ||
  fail "AppStream data"
for size in 48 128 256; do
  file "/usr/share/icons/hicolor/${size}x$size/apps/tetrad.png" | grep -q "$size x $size" ||
    fail "the ${size}px icon is $(file "/usr/share/icons/hicolor/${size}x$size/apps/tetrad.png")"
done
grep -q 'offset="1080"' /usr/share/mime/packages/org.tetrad.Tetrad.xml || fail "no signature rule"
# The page from the package itself: some images leave /usr/share/man out.
dpkg-deb -x "$deb" "$work/unpacked"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/unpacked/usr/share/man/man1/tetrad.1" \
  >"$work/man.txt" 2>"$work/man.err" || fail "man -l"
[ ! -s "$work/man.err" ] || fail "man -l warned: $(cat "$work/man.err")"
grep -q -- "--render" "$work/man.txt" || fail "the manual page lacks the options"

apt-get remove -y --purge tetrad >"$work/apt.log" || { cat "$work/apt.log"; fail "apt-get remove"; }
! dpkg -s tetrad >/dev/null 2>&1 || fail "the package is still installed"
left=0
while IFS= read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then
    echo "left behind: $path" >&2
    left=1
  fi
done <"$work/files"
[ -e /usr/share/tetrad ] && { echo "left behind: /usr/share/tetrad" >&2; left=1; }
[ "$left" -eq 0 ] || fail "files of the package stayed after its removal"
echo "package check: $(basename "$deb") built, installed, checked and removed"
