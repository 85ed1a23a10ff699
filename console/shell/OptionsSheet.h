// The options sheet (File > "Options..."): pages "Octave", "General" and "Editor".
#pragma once

#include <functional>
#include <string>

#include "widgets/TreePropertySheet.h"

class CIni;
class ISettings;
class IUserPrompts;
class QComboBox;
class QWidget;
class COptionsOctave;
class COptionsGeneral;
class COptionsEditor;

class COptionsSheet : public CTreePropertySheet {
  Q_OBJECT

 public:
  // `pathBox` may be null (see COptionsGeneral); an empty `currentFolder` stands
  // for the program's working folder.
  COptionsSheet(QWidget* parent, ISettings& settings, IUserPrompts& prompts, CIni& userData,
                QComboBox* pathBox, std::function<bool(const std::string&)> sendToEditor,
                std::function<std::string()> currentFolder = {});

  COptionsOctave* OctavePage() const { return m_octave; }
  COptionsGeneral* GeneralPage() const { return m_general; }
  COptionsEditor* EditorPage() const { return m_editor; }

 private:
  COptionsOctave* m_octave = nullptr;
  COptionsGeneral* m_general = nullptr;
  COptionsEditor* m_editor = nullptr;
};

// Shows the sheet modally; true when the user chose OK.
bool ShowOptionsSheet(QWidget* parent, ISettings& settings, IUserPrompts& prompts, CIni& userData,
                      QComboBox* pathBox, std::function<bool(const std::string&)> sendToEditor,
                      std::function<std::string()> currentFolder = {});
