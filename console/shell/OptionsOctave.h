// The "Octave" page of the options sheet: where the interpreter lives,
// whether Calyx connects to it at startup, and where its manual is.
#pragma once

#include <QString>
#include <QWidget>

#include "console/session/StartupCommands.h"
#include "widgets/TreePropertySheet.h"

class ISettings;
class IUserPrompts;
class QCheckBox;
class CFolderBrowseEdit;

class COptionsOctave : public QWidget, public IPropertyPage {
  Q_OBJECT

 public:
  // The interpreter folder when Octave/"path" is unset.
  static constexpr const char* kDefaultPath = kDefaultInterpreterFolder;

  // `prompts` tells of a folder without the interpreter.
  COptionsOctave(ISettings& settings, IUserPrompts& prompts, QWidget* parent = nullptr);

  void Open() override;
  // A folder typed without Enter is checked and kept as a chosen one is.
  bool Validate() override;
  void Apply() override;

 private:
  // Writes `folder` when it holds the interpreter, else reports and puts the
  // last accepted folder back.
  bool OnFolderChosen(const QString& folder);

  ISettings& m_settings;
  IUserPrompts& m_prompts;
  CFolderBrowseEdit* m_folder = nullptr;
  QCheckBox* m_autoStart = nullptr;
  // Empty: the manual is found beside the interpreter.
  CFolderBrowseEdit* m_manualFolder = nullptr;
  // What the box showed before the last choice: put back on refusal.
  QString m_acceptedFolder;
};
