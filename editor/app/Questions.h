// The questions Quire asks the user, each with a hook so that tests answer in
// place of a person (no modal box then).
#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class QWidget;

// " - Calyx is not running.\nDo you like to open it?": true for Yes.
bool AskStartConsole(QWidget* parent, const QString& text);
void SetStartConsoleResponder(std::function<bool(const QString& text)> responder);

enum class PathFixChoice { ChangeDirectory, AddToPath, Cancel };
// The question of OfferPathFix with "Change Directory", "Add to Path" and Cancel.
PathFixChoice AskPathFix(QWidget* parent, const QString& text);
void SetPathFixResponder(std::function<PathFixChoice(const QString& text)> responder);

enum class SaveChoice { Save, Discard, Cancel };
// "Save changes to <title>?" before a modified document closes.
SaveChoice AskSaveChanges(QWidget* parent, const QString& title);
void SetSaveChangesResponder(std::function<SaveChoice(const QString& title)> responder);

// The save dialog, starting at `proposed`; "" when cancelled.
QString ChooseSaveName(QWidget* parent, const QString& proposed);
void SetSaveNameResponder(std::function<QString(const QString& proposed)> responder);

// "<file> is larger than 64 MB. Open it anyway?": true for Yes.
bool AskOpenLargeFile(QWidget* parent, const QString& text);
void SetOpenLargeFileResponder(std::function<bool(const QString& text)> responder);

// A failure the user should know of (a file that cannot be read or written).
void ShowWarning(QWidget* parent, const QString& text);
void SetWarningSink(std::function<void(const QString& text)> sink);

// The HTML tool tip at a screen point; tests read what would be shown.
void ShowHtmlTip(const QPoint& at, const QString& html, QWidget* owner);
void HideHtmlTip();
void SetHtmlTipSink(std::function<void(const QPoint& at, const QString& html)> sink);

// Starts a program detached in `folder`; tests record the start instead.
bool StartProgram(const QString& program, const QString& folder);
void SetProgramStarter(std::function<bool(const QString& program, const QString& folder)> starter);
