// CMainFrame's file commands: new, open (also by drop), save, close, the
// recent files and printing.
#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QUrl>

#include "common/ProgramArgs.h"
#include "common/Text.h"
#include "editor/app/CommandIds.h"
#include "editor/app/MainFrame.h"
#include "editor/app/Questions.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/dialogs/NewOctaveFile.h"
#include "editor/view/ScintillaWnd.h"

using namespace quire_command;

namespace {

constexpr int kRecentFiles = 4;
const QString kRecentGroup = QStringLiteral("Recent File List");

QString ToQ(const std::string& s) { return QString::fromStdString(s); }

// The same file for two spellings of its path (links, "..").
QString FileKey(const std::string& path) {
  const QFileInfo info(ToQ(path));
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString TitleWithoutStar(const CQuireDoc* doc) {
  std::string title = doc->Title();
  if (text::EndsWith(title, "*")) title.pop_back();
  return ToQ(title);
}

}  // namespace

void CMainFrame::CreateFileActions() {
  auto onDoc = [this](bool (CMainFrame::*call)(CQuireDoc*)) {
    return [this, call] {
      if (CQuireDoc* doc = ActiveDocument()) (this->*call)(doc);
    };
  };
  connect(AddAction(kNewFunctionFile, tr("&Function M-File"), QKeySequence(Qt::CTRL | Qt::Key_N)),
          &QAction::triggered, this, [this] { NewFunctionDocument(); });
  connect(AddAction(kNewBlankFile, tr("&Blank M-File")), &QAction::triggered, this, [this] { NewBlankDocument(); });
  connect(AddAction(kFileOpen, tr("&Open..."), QKeySequence::Open), &QAction::triggered, this, [this] {
    const QStringList files = QFileDialog::getOpenFileNames(
        this, tr("Open"), QString(), tr("Octave Files (*.m);;All Files (*)"));
    for (const QString& file : files) OpenDocument(file.toStdString(), true);
  });
  connect(AddAction(kFileClose, tr("&Close")), &QAction::triggered, this, [this] {
    if (CQuireDoc* doc = ActiveDocument()) CloseDocument(doc);
  });
  connect(AddAction(kCloseAll, tr("C&lose All")), &QAction::triggered, this, [this] { CloseAll(); });
  connect(AddAction(kCloseAllButThis, tr("Close All &But This")), &QAction::triggered, this,
          [this] { CloseAllButThis(); });
  connect(AddAction(kFileSave, tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)), &QAction::triggered, this,
          onDoc(&CMainFrame::SaveDocument));
  connect(AddAction(kFileSaveAs, tr("Save &As...")), &QAction::triggered, this, onDoc(&CMainFrame::SaveDocumentAs));
  connect(AddAction(kSaveAll, tr("Save A&ll"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
          &QAction::triggered, this, [this] { SaveAll(); });
  connect(AddAction(kFilePrint, tr("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P)), &QAction::triggered,
          this, [this] { Print(false); });
  connect(AddAction(kFilePrintPreview, tr("Print Pre&view")), &QAction::triggered, this,
          [this] { Print(true); });
  connect(AddAction(kFilePrintSetup, tr("P&rint Setup...")), &QAction::triggered, this, [this] {
    QPageSetupDialog(m_printer.get(), this).exec();
  });
  connect(AddAction(kAppExit, tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered, this,
          &QWidget::close);
}

// ---------------------------------------------------------------------------
// New and open

CQuireDoc* CMainFrame::FindDocument(const std::string& path) const {
  if (path.empty()) return nullptr;
  const QString key = FileKey(path);
  for (CQuireDoc* doc : Documents())
    if (doc->HasPath() && FileKey(doc->Path()) == key) return doc;
  return nullptr;
}

CQuireDoc* CMainFrame::NewBlankDocument() {
  std::vector<std::string> titles;
  for (CQuireDoc* doc : Documents()) titles.push_back(doc->Title());
  CQuireDoc* doc = CreateDocument();
  doc->SetTitle(quire::NextUntitledTitle(titles));
  AddDocument(doc);
  return doc;
}

CQuireDoc* CMainFrame::NewFunctionDocument() {
  CNewOctaveFile wizard(this);
  if (wizard.exec() != QDialog::Accepted) return nullptr;
  CQuireDoc* doc = NewBlankDocument();
  doc->View()->SetText(wizard.GeneratedText());
  const std::string name = wizard.Fields().name;
  if (!name.empty()) doc->SetTitle(name + ".m*");
  return doc;
}

CQuireDoc* CMainFrame::OpenDocument(const std::string& path, bool report) {
  if (CQuireDoc* open = FindDocument(path)) {
    Activate(open);
    return open;
  }
  const std::string absolute = QFileInfo(ToQ(path)).absoluteFilePath().toStdString();
  switch (quire::KindOfFileToOpen(absolute)) {
    case quire::FileKind::NotAFile:
      // A pipe or a device would never end; a folder has no text.
      if (report) m_app.Questions().ShowWarning(this, tr("%1 is not a file that can be opened.").arg(ToQ(path)));
      return nullptr;
    case quire::FileKind::Large:
      if (!m_app.Questions().AskOpenLargeFile(this, tr("%1 is larger than %2 MB. Open it anyway?")
                                      .arg(ToQ(path))
                                      .arg(quire::kAskBeforeOpeningBytes >> 20)))
        return nullptr;
      break;
    case quire::FileKind::Regular:
    case quire::FileKind::Missing:
      break;
  }
  CQuireDoc* doc = CreateDocument();
  // A large file is read on after it opened; a save would write only what came.
  connect(doc->View(), &CScintillaWnd::readFailed, doc, [this, absolute] {
    m_app.Questions().ShowWarning(this, tr("Cannot read the whole file %1.").arg(ToQ(absolute)));
  }, Qt::QueuedConnection);
  if (path.empty() || !doc->Load(absolute)) {
    delete doc;
    if (report) m_app.Questions().ShowWarning(this, tr("Cannot open the file %1.").arg(ToQ(path)));
    return nullptr;
  }
  AddDocument(doc);
  // The caret goes where it was when the file was last open.
  std::vector<std::string> files;
  std::vector<std::string> positions;
  m_app.UserFile().GetArray("OpenFiles", files, quire::kOpenFilesSeparator);
  m_app.UserFile().GetArray("FilesPositions", positions, quire::kListSeparator);
  if (const std::optional<long> caret = quire::SavedCaretPosition(absolute, files, positions))
    doc->View()->GotoPosition(*caret);
  AddRecentFile(absolute);
  return doc;
}

CQuireDoc* CMainFrame::OpenArgument(const QString& argument) {
  const SFileLine target = SplitFileLine(argument.toStdString(), [](const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).isFile();
  });
  CQuireDoc* doc = OpenDocument(target.path, true);
  if (doc && target.line > 0) doc->View()->GotoLine(target.line);
  return doc;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  bool opened = false;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    OpenDocument(url.toLocalFile().toStdString(), true);
    opened = true;
  }
  if (opened) event->acceptProposedAction();
}

// ---------------------------------------------------------------------------
// Save and close

bool CMainFrame::SaveDocument(CQuireDoc* doc) {
  if (!doc) return false;
  if (!doc->HasPath()) return SaveDocumentAs(doc);
  if (!doc->SaveTo(doc->Path())) {
    m_app.Questions().ShowWarning(this, tr("Cannot save the file %1.").arg(ToQ(doc->Path())));
    return false;
  }
  AddRecentFile(doc->Path());
  return true;
}

bool CMainFrame::SaveDocumentAs(CQuireDoc* doc) {
  if (!doc) return false;
  const std::string declared = quire::ProposeFunctionName(doc->View()->GetText());
  const QFileInfo current(ToQ(doc->Path()));
  const QString folder = doc->HasPath() ? current.absolutePath() : QDir::currentPath();
  QString name;
  if (!declared.empty())
    name = ToQ(declared) + QStringLiteral(".m");
  else if (doc->HasPath())
    name = current.fileName();
  else
    name = TitleWithoutStar(doc) + QStringLiteral(".m");
  const QString chosen = m_app.Questions().ChooseSaveName(this, QDir(folder).filePath(name));
  if (chosen.isEmpty()) return false;
  const std::string path = QFileInfo(chosen).absoluteFilePath().toStdString();
  if (!doc->SaveTo(path)) {
    m_app.Questions().ShowWarning(this, tr("Cannot save the file %1.").arg(chosen));
    return false;
  }
  AddRecentFile(path);
  return true;
}

void CMainFrame::SaveAll() {
  CQuireDoc* selected = ActiveDocument();
  for (CQuireDoc* doc : Documents()) {
    if (!doc->HasPath() || !doc->IsModified()) continue;
    Activate(doc);
    SaveDocument(doc);
  }
  Activate(selected);
}

bool CMainFrame::CloseDocument(CQuireDoc* doc, bool ask) {
  if (!doc) return false;
  if (ask && doc->IsModified()) {
    switch (m_app.Questions().AskSaveChanges(this, TitleWithoutStar(doc))) {
      case SaveChoice::Save:
        if (!SaveDocument(doc)) return false;
        break;
      case SaveChoice::Discard:
        break;
      case SaveChoice::Cancel:
        return false;
    }
  }
  RemoveDocument(doc);
  return true;
}

bool CMainFrame::AskToSaveEach(const std::vector<CQuireDoc*>& docs) {
  for (CQuireDoc* doc : docs) {
    if (!doc->IsModified()) continue;
    Activate(doc);
    const SaveChoice choice = m_app.Questions().AskSaveChanges(this, TitleWithoutStar(doc));
    if (choice == SaveChoice::Cancel || (choice == SaveChoice::Save && !SaveDocument(doc))) return false;
  }
  return true;
}

bool CMainFrame::CloseAll() {
  // Every question first: a cancel leaves all documents open.
  const std::vector<CQuireDoc*> docs = Documents();
  if (!AskToSaveEach(docs)) return false;
  for (CQuireDoc* doc : docs) RemoveDocument(doc);
  return true;
}

bool CMainFrame::CloseAllButThis() {
  CQuireDoc* kept = ActiveDocument();
  std::vector<CQuireDoc*> others;
  for (CQuireDoc* doc : Documents())
    if (doc != kept) others.push_back(doc);
  const bool asked = AskToSaveEach(others);
  if (asked)
    for (CQuireDoc* doc : others) RemoveDocument(doc);
  Activate(kept);
  return asked;
}

// ---------------------------------------------------------------------------
// Recent files

void CMainFrame::AddRecentFile(const std::string& path) {
  QSettings store;
  store.beginGroup(kRecentGroup);
  QStringList files;
  for (int i = 1; i <= kRecentFiles; ++i) {
    const QString file = store.value(QStringLiteral("File%1").arg(i)).toString();
    if (!file.isEmpty() && file != ToQ(path)) files << file;
  }
  files.prepend(ToQ(path));
  for (int i = 1; i <= kRecentFiles; ++i) {
    if (i <= files.size())
      store.setValue(QStringLiteral("File%1").arg(i), files[i - 1]);
    else
      store.remove(QStringLiteral("File%1").arg(i));
  }
}

void CMainFrame::FillRecentMenu() {
  m_recentMenu->clear();
  QSettings store;
  store.beginGroup(kRecentGroup);
  for (int i = 1; i <= kRecentFiles; ++i) {
    const QString file = store.value(QStringLiteral("File%1").arg(i)).toString();
    if (file.isEmpty()) continue;
    QAction* action = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i).arg(file));
    connect(action, &QAction::triggered, this, [this, file] { OpenDocument(file.toStdString(), true); });
  }
  m_recentMenu->setEnabled(!m_recentMenu->isEmpty());
}

// ---------------------------------------------------------------------------
// Printing

void CMainFrame::Print(bool preview) {
  if (!ActiveDocument()) return;
  if (preview) {
    QPrintPreviewDialog dialog(m_printer.get(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &CMainFrame::PrintDocument);
    dialog.exec();
    return;
  }
  QPrintDialog dialog(m_printer.get(), this);
  if (dialog.exec() == QDialog::Accepted) PrintDocument(m_printer.get());
}

void CMainFrame::PrintDocument(QPrinter* printer) {
  CQuireDoc* doc = ActiveDocument();
  if (!doc) return;
  QPainter painter(printer);
  const QRect page(QPoint(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
  const long length = doc->View()->GetLength();
  for (long position = 0; position < length;) {
    const long next = doc->View()->FormatRange(true, &painter, page, position, length);
    if (next <= position) break;  // nothing more fits: do not loop for ever
    position = next;
    if (position < length) printer->newPage();
  }
}
