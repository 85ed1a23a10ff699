// The boxes Calyx shows to ask the user or tell them something. The
// application holds one `IUserPrompts` and hands it to the panes and dialogs
// that ask; the desktop one shows message boxes, tests pass one that answers
// in place of a person.
#pragma once

#include <QString>

#include <string>

class QWidget;
class ISettings;

struct ConfirmAnswer {
  bool accepted = false;
  bool dontAskAgain = false;
};

class IUserPrompts {
 public:
  virtual ~IUserPrompts() = default;

  // `text` with OK and Cancel and a "Don't tell me again" check box.
  virtual ConfirmAnswer AskConfirmation(QWidget* parent, const QString& text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
  virtual void ShowInformation(QWidget* parent, const QString& text) = 0;
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // A refusal of the user's input, captioned with what refused it.
  virtual void ShowWarning(QWidget* parent, const QString& title, const QString& text) = 0;
};

// Message boxes captioned with the application's name (a warning with its
// title): the confirmation with the information icon, the question, information,
// error and warning boxes with theirs.
class CDesktopPrompts : public IUserPrompts {
 public:
  ConfirmAnswer AskConfirmation(QWidget* parent, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& text) override;
  void ShowInformation(QWidget* parent, const QString& text) override;
  void ShowError(QWidget* parent, const QString& text) override;
  void ShowWarning(QWidget* parent, const QString& title, const QString& text) override;
};

// Asks only while the integer setting is non-zero; ticking the check box writes
// 0 to it. True when the action goes on.
bool ConfirmBySetting(IUserPrompts& prompts, QWidget* parent, ISettings& settings,
                      const std::string& section, const std::string& key, int fallback,
                      const QString& text);
