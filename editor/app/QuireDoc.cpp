#include "editor/app/QuireDoc.h"

#include <QFileInfo>
#include <QProgressBar>
#include <QVBoxLayout>

#include "common/Text.h"
#include "editor/app/DocumentRules.h"
#include "editor/view/ScintillaWnd.h"

namespace {
std::string FileNameOf(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}
}  // namespace

CQuireDoc::CQuireDoc(const std::vector<std::string>& keywords,
                     std::function<ViewSettings()> settings, QWidget* parent)
    : QWidget(parent), m_view(new CScintillaWnd(this)), m_loadBar(new QProgressBar(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_view);
  // Below the text while a large file is still coming in.
  m_loadBar->setFormat(tr("Loading %p%"));
  m_loadBar->setAccessibleName(tr("Loading"));
  m_loadBar->hide();
  layout->addWidget(m_loadBar);
  connect(m_view, &CScintillaWnd::loadProgress, this, [this](int percent) {
    m_loadBar->setValue(percent);
    m_loadBar->show();
  });
  connect(m_view, &CScintillaWnd::loadFinished, m_loadBar, &QWidget::hide);
  m_view->SetSettingsSource(std::move(settings));
  m_view->Init(keywords);
  connect(m_view, &CScintillaWnd::textModified, this, &CQuireDoc::OnTextModified);
}

void CQuireDoc::SetTitle(const std::string& title) {
  if (title == m_title) return;
  m_title = title;
  emit titleChanged(this);
}

bool CQuireDoc::Load(const std::string& path) {
  if (!m_view->LoadFile(path)) return false;
  m_path = path;
  m_bModified = false;
  SetTitle(FileNameOf(path));
  return true;
}

bool CQuireDoc::SaveTo(const std::string& path) {
  if (!m_view->SaveFile(path)) return false;
  m_path = path;
  m_bModified = false;
  SetTitle(FileNameOf(path));
  return true;
}

std::string CQuireDoc::ScriptName() const { return quire::ScriptNameOf(m_title); }

void CQuireDoc::ShowDebugArrow(int line) {
  m_view->GotoLine(line);
  // The arrow may sit below the reported line; remove it wherever it is.
  RemoveDebugArrow();
  m_view->AddMarker(line, CScintillaWnd::DEBUG_ARROW_MARKER);
  m_debugArrowLine = line;
}

void CQuireDoc::RemoveDebugArrow() {
  m_view->DeleteAllMarkers(CScintillaWnd::DEBUG_ARROW_MARKER);
  m_debugArrowLine = -1;
}

bool CQuireDoc::HasBreakpoints() const { return !m_view->GetBreakpoints().empty(); }

void CQuireDoc::RemoveBreakpointMarkers() { m_view->DeleteAllMarkers(CScintillaWnd::BREAKPOINT_MARKER); }

void CQuireDoc::OnTextModified() {
  m_bModified = true;
  if (!text::EndsWith(m_title, "*")) SetTitle(m_title + "*");
}
