// Answers Quire's questions in place of a person and keeps what would have
// been shown, so that no test waits for a modal box.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "editor/app/Questions.h"

class CTestQuestions : public IQuestions {
 public:
  std::function<bool(const QString& text)> startConsole = [](const QString&) { return false; };
  std::function<PathFixChoice(const QString& text)> pathFix = [](const QString&) { return PathFixChoice::Cancel; };
  std::function<SaveChoice(const QString& title)> saveChanges = [](const QString&) { return SaveChoice::Discard; };
  std::function<QString(const QString& proposed)> saveName = [](const QString&) { return QString(); };
  std::function<bool(const QString& text)> openLargeFile = [](const QString&) { return false; };

  std::vector<std::string> startQuestions;
  std::vector<std::string> largeFileQuestions;
  std::vector<std::string> warnings;
  std::vector<std::string> tips;
  std::vector<std::string> started;

  bool AskStartConsole(QWidget*, const QString& text) override {
    startQuestions.push_back(text.toStdString());
    return startConsole(text);
  }
  PathFixChoice AskPathFix(QWidget*, const QString& text) override { return pathFix(text); }
  SaveChoice AskSaveChanges(QWidget*, const QString& title) override { return saveChanges(title); }
  QString ChooseSaveName(QWidget*, const QString& proposed) override { return saveName(proposed); }
  bool AskOpenLargeFile(QWidget*, const QString& text) override {
    largeFileQuestions.push_back(text.toStdString());
    return openLargeFile(text);
  }
  void ShowWarning(QWidget*, const QString& text) override { warnings.push_back(text.toStdString()); }
  void ShowHtmlTip(const QPoint&, const QString& html, QWidget*) override { tips.push_back(html.toStdString()); }
  void HideHtmlTip() override {}
  bool StartProgram(const QString& program, const QString&) override {
    started.push_back(program.toStdString());
    return true;
  }
};
