// Answers Calyx's boxes in place of a person and keeps their texts, so that no
// test waits for a modal box.
#pragma once

#include <QStringList>

#include "widgets/UserPrompts.h"

class CTestPrompts : public IUserPrompts {
 public:
  // The answer to every confirmation and Yes/No question: OK or Yes when set.
  bool accept = false;
  // Whether confirmations come back with "Don't tell me again" ticked.
  bool dontAskAgain = false;

  QStringList confirmations;
  QStringList questions;
  QStringList information;
  QStringList errors;
  QStringList warnings;  // "title: text"

  ConfirmAnswer AskConfirmation(QWidget*, const QString& text) override {
    confirmations << text;
    return {accept, dontAskAgain};
  }
  bool AskYesNo(QWidget*, const QString& text) override {
    questions << text;
    return accept;
  }
  void ShowInformation(QWidget*, const QString& text) override { information << text; }
  void ShowError(QWidget*, const QString& text) override { errors << text; }
  void ShowWarning(QWidget*, const QString& title, const QString& text) override {
    warnings << title + QStringLiteral(": ") + text;
  }
};
