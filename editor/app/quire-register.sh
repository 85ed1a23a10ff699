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

case "$exe" in
  *"
"*)
    echo "quire-register: a desktop entry cannot start a path with a line break" >&2
    exit 1
    ;;
esac

mkdir -p "$data/applications" "$data/mime/packages"
# The entry starts this very quire, wherever it was installed. Exec= takes the
# path in double quotes, inside which ", `, $ and \ need a backslash; the
# entry's string escapes then double every backslash, and % is written %%.
quoted=$(printf '%s' "$exe" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    Exec=*) printf 'Exec="%s" %%F\n' "$quoted" ;;
    *) printf '%s\n' "$line" ;;
  esac
done < "$desktop_in" > "$data/applications/quire.desktop"
cp "$mime_in" "$data/mime/packages/quire-octave.xml"
# The entry's icon, when it was installed beside the entry.
icon="$share/icons/hicolor/scalable/apps/quire.svg"
if [ -f "$icon" ]; then
  mkdir -p "$data/icons/hicolor/scalable/apps"
  cp "$icon" "$data/icons/hicolor/scalable/apps/quire.svg"
fi

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
