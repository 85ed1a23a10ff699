#include "widgets/ConfirmBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>

#include "common/Settings.h"

namespace {
std::function<ConfirmAnswer(const QString&)>& Responder() {
  static std::function<ConfirmAnswer(const QString&)> responder;
  return responder;
}
}  // namespace


static std::function<void(const QString&)>& Sink() {
  static std::function<void(const QString&)> sink;
  return sink;
}

void SetInformationSink(std::function<void(const QString& text)> sink) { Sink() = std::move(sink); }

void ShowInformation(QWidget* parent, const QString& text) {
  if (Sink()) {
    Sink()(text);
    return;
  }
  QMessageBox::information(parent, QApplication::applicationName(), text);
}

void ShowError(QWidget* parent, const QString& text) {
  if (Sink()) {
    Sink()(text);
    return;
  }
  QMessageBox::critical(parent, QApplication::applicationName(), text);
}

void ShowWarning(QWidget* parent, const QString& title, const QString& text) {
  if (Sink()) {
    Sink()(text);
    return;
  }
  QMessageBox::warning(parent, title, text);
}

void SetConfirmationResponder(std::function<ConfirmAnswer(const QString& text)> responder) {
  Responder() = std::move(responder);
}

ConfirmAnswer AskConfirmation(QWidget* parent, const QString& text) {
  if (Responder()) return Responder()(text);
  QMessageBox box(QMessageBox::Information, QApplication::applicationName(), text,
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  auto* check = new QCheckBox(QObject::tr("Don't tell me again"), &box);
  box.setCheckBox(check);
  const bool accepted = box.exec() == QMessageBox::Ok;
  return {accepted, check->isChecked()};
}

bool ConfirmBySetting(QWidget* parent, ISettings& settings, const std::string& section,
                      const std::string& key, int fallback, const QString& text) {
  if (settings.GetInt(section, key, fallback) == 0) return true;
  const ConfirmAnswer answer = AskConfirmation(parent, text);
  if (answer.dontAskAgain) settings.SetInt(section, key, 0);
  return answer.accepted;
}

bool AskYesNo(QWidget* parent, const QString& text) {
  if (Responder()) return Responder()(text).accepted;
  return QMessageBox::question(parent, QApplication::applicationName(), text,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
