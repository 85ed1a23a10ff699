#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks what a
# distribution would: control fields, the file list, the desktop entries and
# AppStream data, and that the packaged programs answer on the command line.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb=$(find "$work/out" -maxdepth 1 -name 'calyx_*.deb' | head -n 1)
[ -n "$deb" ] || fail "no calyx_*.deb was made"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = calyx ] || fail "package name is '$(field Package)'"
version=$(field Version)
[ -n "$version" ] || fail "no version"
[ "$(field Section)" = math ] || fail "section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
grep -q 'GNU Octave' <<< "$(field Description)" || fail "description does not say what it is"
depends=$(field Depends)
grep -Eq '(^|, )octave($|[ ,])' <<<"$depends" || fail "Depends lacks octave: $depends"
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks the Qt libraries found by shlibdeps: $depends"
grep -q 'libqscintilla2-qt6' <<<"$depends" || fail "Depends lacks QScintilla: $depends"
grep -q 'octave-doc' <<< "$(field Recommends)" || fail "octave-doc is not recommended"

# Every file lands under /usr; the ones a desktop needs are there.
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
if grep -Ev '^\./(usr/.*)?$' "$work/files"; then fail "files outside /usr"; fi
for f in usr/bin/calyx usr/bin/quire \
         usr/share/applications/calyx.desktop usr/share/applications/quire.desktop \
         usr/share/metainfo/com.marrowby.calyx.metainfo.xml \
         usr/share/metainfo/com.marrowby.quire.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/calyx.svg usr/share/icons/hicolor/scalable/apps/quire.svg \
         usr/share/icons/hicolor/48x48/apps/calyx.png usr/share/icons/hicolor/48x48/apps/quire.png \
         usr/share/mime/packages/quire-octave.xml; do
  grep -qx "\./$f" "$work/files" || fail "missing $f"
done
# Caches belong to the target machine, never to the package.
if grep -E 'mime/mime\.cache|mimeinfo\.cache|icon-theme\.cache' "$work/files"; then fail "package ships a cache"; fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
for entry in "$root"/usr/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "invalid desktop entry $(basename "$entry")"
done
grep -qx 'Exec=quire %F' "$root/usr/share/applications/quire.desktop" || fail "Quire's Exec is not the packaged program"
grep -qx 'MimeType=text/x-octave;text/x-matlab;' "$root/usr/share/applications/quire.desktop" ||
  fail "Quire does not claim Octave files"
for info in "$root"/usr/share/metainfo/*.xml; do
  appstreamcli validate --no-net "$info" >"$work/as.log" 2>&1 || { cat "$work/as.log"; fail "invalid $(basename "$info")"; }
  grep -q '<screenshot' "$info" || fail "$(basename "$info") has no screenshot"
done

# The packaged programs answer without a display.
for program in calyx quire; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" --version) ||
    fail "$program --version failed"
  title="$(tr '[:lower:]' '[:upper:]' <<<"${program:0:1}")${program:1}"
  [ "$out" = "$title $version" ] || fail "$program --version said '$out'"
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" --help |
    grep -q "^Usage: $program " || fail "$program --help"
  set +e
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$program" --frobnicate \
    >"$work/stdout" 2>"$work/stderr"
  status=$?
  set -e
  [ "$status" -eq 2 ] || fail "$program with an unknown option exited $status"
  [ ! -s "$work/stdout" ] || fail "$program printed its usage error on standard output"
  grep -q "^Usage: $program " "$work/stderr" || fail "$program's usage error lacks the usage"
done
echo "package $(basename "$deb") checked"
