// CScintillaWnd's cell operations: the marker lines kept through edits, the
// cell at the caret, moving between cells, new marker lines, and the number
// at the caret changed by a step or factor.
#include <QTimer>

#include "editor/view/ScintillaWnd.h"

namespace {
using Base = QsciScintillaBase;
constexpr long kMarkerLength = static_cast<long>(quire_cells::kCellMarker.size());
}  // namespace

long CScintillaWnd::LineStart(int line0) const {
  return SendScintilla(Base::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line0), 0L);
}

void CScintillaWnd::NotifyCellsChanged() {
  if (m_bCellsSignalPending) return;
  m_bCellsSignalPending = true;
  // Once the edits of this moment are done: a paste or an undo of many lines
  // refills the cell list once.
  QTimer::singleShot(0, this, [this] {
    m_bCellsSignalPending = false;
    emit cellsChanged();
  });
}

void CScintillaWnd::UpdateCellMarkers(long position, int linesAdded) {
  // A file loading in pieces tells once it is whole.
  if (m_bLoading) {
    m_bCellMarkersValid = false;
    return;
  }
  if (!m_bCellMarkersValid) {
    NotifyCellsChanged();
    return;
  }
  const int line = static_cast<int>(SendScintilla(Base::SCI_LINEFROMPOSITION, position));
  const bool changed = m_cellMarkers.Update(
      line, linesAdded, [this](int l) { return quire_cells::MarkerOffset(GetLine(l)).has_value(); });
  if (changed) NotifyCellsChanged();
}

const std::vector<int>& CScintillaWnd::GetCellMarkerLines() {
  FlushEdit();
  if (!m_bCellMarkersValid) {
    // The control's own buffer, without a copy of the text.
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(Base::SCI_GETCHARACTERPOINTER));
    m_cellMarkers.Assign(quire_cells::FindMarkerLines(std::string_view(text, static_cast<size_t>(GetLength()))));
    m_bCellMarkersValid = true;
  }
  return m_cellMarkers.Lines();
}

std::vector<std::string> CScintillaWnd::GetCellNames() {
  std::vector<std::string> lines;
  for (int line : GetCellMarkerLines()) lines.push_back(GetLine(line));
  return quire_cells::CellNames(lines);
}

int CScintillaWnd::GetCurrentCellIndex() {
  return quire_cells::CellIndexAt(GetCellMarkerLines(), GetCurrentLine() - 1);
}

namespace {
// Just after the "%% " of marker line `line0`.
long AfterMarker(CScintillaWnd& view, long lineStart, int line0) {
  return lineStart + static_cast<long>(quire_cells::MarkerOffset(view.GetLine(line0)).value_or(0)) + kMarkerLength;
}
}  // namespace

bool CScintillaWnd::NextCell() {
  const int line = GetCurrentLine() - 1;
  const std::optional<size_t> offset = quire_cells::MarkerOffset(GetLine(line));
  const bool beforeMarker = offset && GetCurrentPosition() <= LineStart(line) + static_cast<long>(*offset);
  const std::optional<int> next = quire_cells::NextMarker(GetCellMarkerLines(), line, beforeMarker);
  if (!next) return false;
  GotoPosition(AfterMarker(*this, LineStart(*next), *next));
  return true;
}

bool CScintillaWnd::PreviousCell() {
  const std::optional<int> previous = quire_cells::PreviousMarker(GetCellMarkerLines(), GetCurrentLine() - 1);
  if (!previous) return false;
  GotoPosition(AfterMarker(*this, LineStart(*previous), *previous));
  return true;
}

void CScintillaWnd::GotoCell(int index) {
  const std::vector<int>& markers = GetCellMarkerLines();
  if (index < 0 || index >= static_cast<int>(markers.size())) return;
  const int line = markers[static_cast<size_t>(index)];
  GotoPosition(AfterMarker(*this, LineStart(line), line));
}

std::string CScintillaWnd::GetCurrentCellText() {
  const quire_cells::SLineRange lines =
      quire_cells::CellLinesAt(GetCellMarkerLines(), GetCurrentLine() - 1, GetLineCount());
  const long end = lines.end >= GetLineCount() ? GetLength() : LineStart(lines.end);
  return TextRange(LineStart(lines.first), end);
}

void CScintillaWnd::InsertCellBreak() {
  const int line = GetCurrentLine() - 1;
  const std::string marker = quire_cells::MarkerLineBelow(GetLine(line), LineEnd());
  const long at = SendScintilla(Base::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line), 0L);
  SendScintilla(Base::SCI_INSERTTEXT, static_cast<unsigned long>(at), marker.c_str());
  GotoPosition(at + static_cast<long>(marker.size()));
}

void CScintillaWnd::InsertCellBreaksAroundSelection() {
  const long start = GetSelectionStart();
  const long end = GetSelectionEnd();
  const auto lineOf = [this](long position) {
    return static_cast<int>(SendScintilla(Base::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position), 0L));
  };
  const int first = lineOf(start);
  int last = lineOf(end);
  // Whole lines selected end at the start of the line below, which is not part
  // of the selection.
  if (last > first && end == LineStart(last)) --last;

  SendScintilla(Base::SCI_BEGINUNDOACTION);
  const std::string below = quire_cells::MarkerLineBelow(GetLine(last), LineEnd());
  const long belowAt = SendScintilla(Base::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(last), 0L);
  SendScintilla(Base::SCI_INSERTTEXT, static_cast<unsigned long>(belowAt), below.c_str());
  long caret = 0;
  if (first > 0) {
    const std::string above = quire_cells::MarkerLineBelow(GetLine(first - 1), LineEnd());
    const long at = SendScintilla(Base::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(first - 1), 0L);
    SendScintilla(Base::SCI_INSERTTEXT, static_cast<unsigned long>(at), above.c_str());
    caret = at + static_cast<long>(above.size());
  } else {
    // The first line has no line above to put the marker below.
    const std::string above = quire_cells::MarkerLineAbove(GetLine(0), LineEnd());
    SendScintilla(Base::SCI_INSERTTEXT, 0UL, above.c_str());
    caret = static_cast<long>(above.size() - LineEnd().size());
  }
  SendScintilla(Base::SCI_ENDUNDOACTION);
  GotoPosition(caret);
}

bool CScintillaWnd::NudgeNumber(quire_cells::NudgeOp op, std::string_view amount) {
  std::string word;
  CharRange range;
  GetWordAt(word, range, true);
  if (word.empty()) return false;
  const char before =
      range.start > 0 ? static_cast<char>(SendScintilla(Base::SCI_GETCHARAT, static_cast<unsigned long>(range.start - 1), 0L))
                      : ' ';
  const std::optional<quire_cells::SNumberText> number = quire_cells::NumberInWord(word, before);
  if (!number) return false;
  const std::optional<std::string> replacement = quire_cells::Nudged(number->text, op, amount);
  if (!replacement) return false;
  SendScintilla(Base::SCI_SETSEL, static_cast<unsigned long>(range.start + static_cast<long>(number->offset)),
                range.end);
  SendScintilla(Base::SCI_REPLACESEL, 0UL, replacement->c_str());
  return true;
}
