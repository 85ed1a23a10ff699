// The "Octave" page of the options sheet: where the interpreter lives,
// whether Calyx connects to it at startup, and where its manual is.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "console/session/StartupCommands.h"
#include "widgets/TreePropertySheet.h"

class ISettings;
class QCheckBox;
class CFolderBrowseEdit;

class COptionsOctave : public QWidget, public IPropertyPage {
  Q_OBJECT

 public:
  // The interpreter folder when Octave/"path" is unset.
  static constexpr const char* kDefaultPath = kDefaultInterpreterFolder;

  explicit COptionsOctave(ISettings& settings, QWidget* parent = nullptr);

  void Open() override;
  // A folder typed without Enter is checked and kept as a chosen one is.
  bool Validate() override;
  void Apply() override;

  // The refusal of a folder without the interpreter goes here instead of a
  // message box while set (tests); an empty function restores the box.
  static void SetErrorReporter(std::function<void(const QString& text)> reporter);

 private:
  // Writes `folder` when it holds the interpreter, else reports and puts the
  // last accepted folder back.
  bool OnFolderChosen(const QString& folder);
  void ReportError(const QString& text);

  ISettings& m_settings;
  CFolderBrowseEdit* m_folder = nullptr;
  QCheckBox* m_autoStart = nullptr;
  // Empty: the manual is found beside the interpreter.
  CFolderBrowseEdit* m_manualFolder = nullptr;
  // What the box showed before the last choice: put back on refusal.
  QString m_acceptedFolder;
};
