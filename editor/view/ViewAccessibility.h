// How the editor view presents itself to assistive tools.
#pragma once

// QScintilla's accessible interface counts the characters from the start of the
// document to the caret at every caret move and repaint, and Qt creates it at
// the first accessibility event whether or not an assistive tool listens: a cost
// that grows with the file. While no tool is active the view gets a plain
// editable-text interface instead; when one becomes active the plain ones are
// dropped, so that the tool reaches QScintilla's full interface. Call once the
// first view exists (after QScintilla has installed its own factory).
void UsePlainAccessibilityWhileNoToolListens();
