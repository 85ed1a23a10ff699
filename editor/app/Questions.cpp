#include "editor/app/Questions.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QToolTip>

namespace {

const QString kCaption = QStringLiteral("Quire");

bool AskYesNo(QWidget* parent, const QString& text, QMessageBox::StandardButton preset) {
  return QMessageBox::question(parent, kCaption, text, QMessageBox::Yes | QMessageBox::No, preset) ==
         QMessageBox::Yes;
}

}  // namespace

bool CDesktopQuestions::AskStartConsole(QWidget* parent, const QString& text) {
  return AskYesNo(parent, text, QMessageBox::Yes);
}

bool CDesktopQuestions::AskOpenLargeFile(QWidget* parent, const QString& text) {
  return AskYesNo(parent, text, QMessageBox::No);
}

PathFixChoice CDesktopQuestions::AskPathFix(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, kCaption, text, QMessageBox::NoButton, parent);
  QPushButton* change = box.addButton(QObject::tr("Change Directory"), QMessageBox::YesRole);
  QPushButton* add = box.addButton(QObject::tr("Add to Path"), QMessageBox::NoRole);
  box.addButton(QMessageBox::Cancel);
  box.exec();
  if (box.clickedButton() == change) return PathFixChoice::ChangeDirectory;
  if (box.clickedButton() == add) return PathFixChoice::AddToPath;
  return PathFixChoice::Cancel;
}

SaveChoice CDesktopQuestions::AskSaveChanges(QWidget* parent, const QString& title) {
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

QString CDesktopQuestions::ChooseSaveName(QWidget* parent, const QString& proposed) {
  QFileDialog dialog(parent, QObject::tr("Save As"), proposed,
                     QObject::tr("Octave Files (*.m);;All Files (*)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("m"));
  dialog.selectFile(proposed);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void CDesktopQuestions::ShowWarning(QWidget* parent, const QString& text) {
  QMessageBox::warning(parent, kCaption, text);
}

void CDesktopQuestions::ShowHtmlTip(const QPoint& at, const QString& html, QWidget* owner) {
  // Line feeds of the tip text are line breaks.
  QString rich = html;
  rich.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  QToolTip::showText(at, QStringLiteral("<qt>") + rich + QStringLiteral("</qt>"), owner);
}

void CDesktopQuestions::HideHtmlTip() { QToolTip::hideText(); }

bool CDesktopQuestions::StartProgram(const QString& program, const QString& folder) {
  return QProcess::startDetached(program, {}, folder);
}
