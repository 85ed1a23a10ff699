#!/bin/sh
# Regenerates OctaveKeywords.txt, the built-in keyword list of the editor, from
# the installed interpreter: the names of its functions and keywords as its own
# alphabetical multi-column listing prints them, read row by row (so neighbours
# in the file run across the columns of that listing, not in sorted order).
# Run by hand when the interpreter changes; the build only reads the result.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
octave=${OCTAVE:-octave-cli}
out="$here/OctaveKeywords.txt"

# Internal names (__name__) and variables are left out; packages are loaded so
# that their functions are listed too.
"$octave" --no-gui --norc --quiet --no-history --eval '
  for p = pkg ("list"), try, pkg ("load", p{1}.name); catch, end, end
  names = deblank (cellstr (completion_matches ("")));
  keywords = iskeyword ();
  names = unique ([names; __list_functions__()(:); keywords(:)]);
  internal = ! cellfun (@isempty, regexp (names, "^__", "once"));
  isfunc = cellfun (@(n) any (exist (n) == [2 3 5]), names);
  names = names(! internal & (isfunc | ismember (names, keywords)));
  printf ("%s", list_in_columns (names, 80));
' 2>/dev/null | tr -s ' \t' '\n\n' | sed '/^$/d' > "$out.tmp"

# An interpreter that printed nothing must not wipe the committed list.
if [ ! -s "$out.tmp" ]; then
  rm -f "$out.tmp"
  echo "make_keywords.sh: the interpreter printed no names" >&2
  exit 1
fi
mv "$out.tmp" "$out"
echo "$(wc -l < "$out") names written to $out"
