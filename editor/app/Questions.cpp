#include "editor/app/Questions.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QToolTip>

namespace {

std::function<bool(const QString&)> g_startConsoleResponder;
std::function<bool(const QString&)> g_openLargeFileResponder;
std::function<PathFixChoice(const QString&)> g_pathFixResponder;
std::function<SaveChoice(const QString&)> g_saveChangesResponder;
std::function<QString(const QString&)> g_saveNameResponder;
std::function<void(const QPoint&, const QString&)> g_htmlTipSink;
std::function<void(const QString&)> g_warningSink;
std::function<bool(const QString&, const QString&)> g_programStarter;

const QString kCaption = QStringLiteral("Quire");

}  // namespace

bool AskStartConsole(QWidget* parent, const QString& text) {
  if (g_startConsoleResponder) return g_startConsoleResponder(text);
  return QMessageBox::question(parent, kCaption, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void SetStartConsoleResponder(std::function<bool(const QString&)> responder) {
  g_startConsoleResponder = std::move(responder);
}

bool AskOpenLargeFile(QWidget* parent, const QString& text) {
  if (g_openLargeFileResponder) return g_openLargeFileResponder(text);
  return QMessageBox::question(parent, kCaption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

void SetOpenLargeFileResponder(std::function<bool(const QString&)> responder) {
  g_openLargeFileResponder = std::move(responder);
}

PathFixChoice AskPathFix(QWidget* parent, const QString& text) {
  if (g_pathFixResponder) return g_pathFixResponder(text);
  QMessageBox box(QMessageBox::Question, kCaption, text, QMessageBox::NoButton, parent);
  QPushButton* change = box.addButton(QObject::tr("Change Directory"), QMessageBox::YesRole);
  QPushButton* add = box.addButton(QObject::tr("Add to Path"), QMessageBox::NoRole);
  box.addButton(QMessageBox::Cancel);
  box.exec();
  if (box.clickedButton() == change) return PathFixChoice::ChangeDirectory;
  if (box.clickedButton() == add) return PathFixChoice::AddToPath;
  return PathFixChoice::Cancel;
}

void SetPathFixResponder(std::function<PathFixChoice(const QString&)> responder) {
  g_pathFixResponder = std::move(responder);
}

SaveChoice AskSaveChanges(QWidget* parent, const QString& title) {
  if (g_saveChangesResponder) return g_saveChangesResponder(title);
  switch (QMessageBox::question(parent, kCaption, QObject::tr("Save changes to %1?").arg(title),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
      return SaveChoice::Save;
    case QMessageBox::No:
      return SaveChoice::Discard;
    default:
      return SaveChoice::Cancel;
  }
}

void SetSaveChangesResponder(std::function<SaveChoice(const QString&)> responder) {
  g_saveChangesResponder = std::move(responder);
}

QString ChooseSaveName(QWidget* parent, const QString& proposed) {
  if (g_saveNameResponder) return g_saveNameResponder(proposed);
  QFileDialog dialog(parent, QObject::tr("Save As"), proposed,
                     QObject::tr("Octave Files (*.m);;All Files (*)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("m"));
  dialog.selectFile(proposed);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void SetSaveNameResponder(std::function<QString(const QString&)> responder) {
  g_saveNameResponder = std::move(responder);
}

void ShowWarning(QWidget* parent, const QString& text) {
  if (g_warningSink) {
    g_warningSink(text);
    return;
  }
  QMessageBox::warning(parent, kCaption, text);
}

void SetWarningSink(std::function<void(const QString&)> sink) { g_warningSink = std::move(sink); }

void ShowHtmlTip(const QPoint& at, const QString& html, QWidget* owner) {
  if (g_htmlTipSink) {
    g_htmlTipSink(at, html);
    return;
  }
  // Line feeds of the tip text are line breaks.
  QString rich = html;
  rich.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  QToolTip::showText(at, QStringLiteral("<qt>") + rich + QStringLiteral("</qt>"), owner);
}

void HideHtmlTip() {
  if (!g_htmlTipSink) QToolTip::hideText();
}

void SetHtmlTipSink(std::function<void(const QPoint&, const QString&)> sink) {
  g_htmlTipSink = std::move(sink);
}

bool StartProgram(const QString& program, const QString& folder) {
  if (g_programStarter) return g_programStarter(program, folder);
  return QProcess::startDetached(program, {}, folder);
}

void SetProgramStarter(std::function<bool(const QString&, const QString&)> starter) {
  g_programStarter = std::move(starter);
}
