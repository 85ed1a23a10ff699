#include "widgets/UserPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>

#include "common/Settings.h"

ConfirmAnswer CDesktopPrompts::AskConfirmation(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Information, QApplication::applicationName(), text,
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  auto* check = new QCheckBox(QObject::tr("Don't tell me again"), &box);
  box.setCheckBox(check);
  const bool accepted = box.exec() == QMessageBox::Ok;
  return {accepted, check->isChecked()};
}

bool CDesktopPrompts::AskYesNo(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QApplication::applicationName(), text,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void CDesktopPrompts::ShowInformation(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QApplication::applicationName(), text);
}

void CDesktopPrompts::ShowError(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QApplication::applicationName(), text);
}

void CDesktopPrompts::ShowWarning(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox::warning(parent, title, text);
}

bool ConfirmBySetting(IUserPrompts& prompts, QWidget* parent, ISettings& settings,
                      const std::string& section, const std::string& key, int fallback,
                      const QString& text) {
  if (settings.GetInt(section, key, fallback) == 0) return true;
  const ConfirmAnswer answer = prompts.AskConfirmation(parent, text);
  if (answer.dontAskAgain) settings.SetInt(section, key, 0);
  return answer.accepted;
}
