#!/bin/sh
# quire-register puts Quire's desktop entry and the Octave file type into the
# user's data folder, pointing at the quire beside it; it works without the
# desktop tools and refuses to run away from a quire.
set -eu

bin=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

check_registered() {
  data="$1"
  desktop="$data/applications/quire.desktop"
  [ -f "$desktop" ] || fail "no desktop entry in $data"
  grep -qx "Exec=\"$bin/quire\" %F" "$desktop" || fail "Exec does not start $bin/quire"
  grep -qx "MimeType=text/x-octave;text/x-matlab;" "$desktop" || fail "MimeType line"
  cmp -s "$data/mime/packages/quire-octave.xml" "$bin/../share/mime/packages/quire-octave.xml" ||
    fail "Octave file type not copied"
  grep -q '<glob pattern="\*.m"/>' "$data/mime/packages/quire-octave.xml" || fail "no *.m glob"
}

# With whatever tools this machine has.
HOME="$tmp/home" XDG_DATA_HOME="$tmp/data1" sh "$bin/quire-register" >/dev/null
check_registered "$tmp/data1"

# Without any desktop tool: only the basic commands the script needs.
mkdir "$tmp/tools"
for tool in sh sed cp mkdir dirname id; do
  ln -s "$(command -v "$tool")" "$tmp/tools/$tool"
done
HOME="$tmp/home" XDG_DATA_HOME="$tmp/data2" PATH="$tmp/tools" "$tmp/tools/sh" "$bin/quire-register" >/dev/null
check_registered "$tmp/data2"

# Installed under a folder whose name holds the characters the desktop entry
# escapes: the Exec line still names exactly that quire.
odd="$tmp/a&b|c\\d e\$f\"g%h'i"
mkdir -p "$odd/bin" "$odd/share/applications" "$odd/share/mime/packages"
cp "$bin/quire-register" "$odd/bin/"
cp "$bin/../share/applications/quire.desktop" "$odd/share/applications/"
cp "$bin/../share/mime/packages/quire-octave.xml" "$odd/share/mime/packages/"
printf '#!/bin/sh\n' > "$odd/bin/quire"
chmod +x "$odd/bin/quire"
HOME="$tmp/home" XDG_DATA_HOME="$tmp/data4" sh "$odd/bin/quire-register" >/dev/null
expected="Exec=\"$tmp/a&b|c\\\\\\\\d e\\\\\$f\\\\\"g%%h'i/bin/quire\" %F"
grep -qxF "$expected" "$tmp/data4/applications/quire.desktop" ||
  fail "Exec of an odd folder: $(grep '^Exec=' "$tmp/data4/applications/quire.desktop")"
[ "$(grep -c '^Exec=' "$tmp/data4/applications/quire.desktop")" = 1 ] || fail "one Exec line"

# Away from a quire it changes nothing and fails.
mkdir "$tmp/alone"
cp "$bin/quire-register" "$tmp/alone/"
if HOME="$tmp/home" XDG_DATA_HOME="$tmp/data3" sh "$tmp/alone/quire-register" 2>/dev/null; then
  fail "registered without a quire"
fi
[ ! -e "$tmp/data3" ] || fail "wrote files without a quire"
echo "quire-register: ok"
