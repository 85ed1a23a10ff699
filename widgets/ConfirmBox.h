// The confirmation box with a "Don't tell me again" check box.
#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;
class ISettings;

struct ConfirmAnswer {
  bool accepted = false;
  bool dontAskAgain = false;
};

// Shows `text` with OK and Cancel, the information icon and the check box, with
// the application's name as caption.
ConfirmAnswer AskConfirmation(QWidget* parent, const QString& text);

// Asks only while the integer setting is non-zero; ticking the check box writes
// 0 to it. True when the action goes on.
bool ConfirmBySetting(QWidget* parent, ISettings& settings, const std::string& section,
                      const std::string& key, int fallback, const QString& text);

// An information box with the application's name as caption.
void ShowInformation(QWidget* parent, const QString& text);

// An error box (error icon, OK) with the application's name as caption.
void ShowError(QWidget* parent, const QString& text);

// A warning box (warning icon, OK) captioned with what refused the user's input.
void ShowWarning(QWidget* parent, const QString& title, const QString& text);

// Tests answer the box instead of a person: while set, it is called in place of
// showing the box.
void SetConfirmationResponder(std::function<ConfirmAnswer(const QString& text)> responder);

// Tests read information and error boxes instead of a person: while set, it receives their
// texts in place of showing them.
void SetInformationSink(std::function<void(const QString& text)> sink);

// A Yes/No question with the application's name as caption; true for Yes. The
// confirmation responder answers it in tests (accepted means Yes).
bool AskYesNo(QWidget* parent, const QString& text);
