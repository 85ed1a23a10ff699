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

# Away from a quire it changes nothing and fails.
mkdir "$tmp/alone"
cp "$bin/quire-register" "$tmp/alone/"
if HOME="$tmp/home" XDG_DATA_HOME="$tmp/data3" sh "$tmp/alone/quire-register" 2>/dev/null; then
  fail "registered without a quire"
fi
[ ! -e "$tmp/data3" ] || fail "wrote files without a quire"
echo "quire-register: ok"
