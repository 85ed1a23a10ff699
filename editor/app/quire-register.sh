#!/bin/sh
# Makes Quire the program that opens Octave files (.m) for the current user:
# its desktop entry and the Octave file type go into the user's data folder,
# pointing at the quire beside this script. The desktop tools are used when
# they are installed; without them the files are still put in place.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
exe="$here/quire"
share="$here/../share"
desktop_in="$share/applications/quire.desktop"
mime_in="$share/mime/packages/quire-octave.xml"
data="${XDG_DATA_HOME:-$HOME/.local/share}"

if [ ! -x "$exe" ] || [ ! -f "$desktop_in" ] || [ ! -f "$mime_in" ]; then
  echo "quire-register: quire or its desktop files are not next to this script" >&2
  exit 1
fi

mkdir -p "$data/applications" "$data/mime/packages"
# The entry starts this very quire, wherever it was installed.
sed "s|^Exec=.*|Exec=\"$exe\" %F|" "$desktop_in" > "$data/applications/quire.desktop"
cp "$mime_in" "$data/mime/packages/quire-octave.xml"

if command -v update-mime-database >/dev/null 2>&1; then
  update-mime-database "$data/mime" >/dev/null 2>&1 || true
fi
if command -v update-desktop-database >/dev/null 2>&1; then
  update-desktop-database "$data/applications" >/dev/null 2>&1 || true
fi
if command -v xdg-mime >/dev/null 2>&1; then
  xdg-mime default quire.desktop text/x-octave text/x-matlab >/dev/null 2>&1 || true
fi
echo "Quire now opens Octave files for $(id -un)."
