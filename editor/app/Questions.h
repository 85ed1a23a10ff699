// What Quire asks of the user and shows outside its window: questions, file
// choices, warnings, tool tips and started programs. The application holds one
// `IQuestions`; the desktop one shows real boxes, tests pass one that answers
// in place of a person.
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

enum class PathFixChoice { ChangeDirectory, AddToPath, Cancel };
enum class SaveChoice { Save, Discard, Cancel };

class IQuestions {
 public:
  virtual ~IQuestions() = default;

  // " - Calyx is not running.\nDo you like to open it?": true for Yes.
  virtual bool AskStartConsole(QWidget* parent, const QString& text) = 0;
  // The question of OfferPathFix with "Change Directory", "Add to Path" and Cancel.
  virtual PathFixChoice AskPathFix(QWidget* parent, const QString& text) = 0;
  // "Save changes to <title>?" before a modified document closes.
  virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& title) = 0;
  // The save dialog, starting at `proposed`; "" when cancelled.
  virtual QString ChooseSaveName(QWidget* parent, const QString& proposed) = 0;
  // "<file> is larger than 64 MB. Open it anyway?": true for Yes.
  virtual bool AskOpenLargeFile(QWidget* parent, const QString& text) = 0;
  // A failure the user should know of (a file that cannot be read or written).
  virtual void ShowWarning(QWidget* parent, const QString& text) = 0;
  // The HTML tool tip at a screen point.
  virtual void ShowHtmlTip(const QPoint& at, const QString& html, QWidget* owner) = 0;
  virtual void HideHtmlTip() = 0;
  // Starts a program detached in `folder`.
  virtual bool StartProgram(const QString& program, const QString& folder) = 0;
};

// Message boxes, Qt's file dialog, QToolTip and a detached QProcess.
class CDesktopQuestions : public IQuestions {
 public:
  bool AskStartConsole(QWidget* parent, const QString& text) override;
  PathFixChoice AskPathFix(QWidget* parent, const QString& text) override;
  SaveChoice AskSaveChanges(QWidget* parent, const QString& title) override;
  QString ChooseSaveName(QWidget* parent, const QString& proposed) override;
  bool AskOpenLargeFile(QWidget* parent, const QString& text) override;
  void ShowWarning(QWidget* parent, const QString& text) override;
  void ShowHtmlTip(const QPoint& at, const QString& html, QWidget* owner) override;
  void HideHtmlTip() override;
  bool StartProgram(const QString& program, const QString& folder) override;
};
