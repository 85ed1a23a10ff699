// The "General" page of the options sheet: updates, warnings, and the sizes of
// the command window, history and recent-folder list.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "widgets/TreePropertySheet.h"

class CIni;
class ISettings;
class QCheckBox;
class QComboBox;
class QLineEdit;

class COptionsGeneral : public QWidget, public IPropertyPage {
  Q_OBJECT

 public:
  // `pathBox` is the toolbar's current-directory box; when null, "Clear All"
  // keeps the folder `currentFolder` names instead.
  COptionsGeneral(ISettings& settings, CIni& userData, QComboBox* pathBox,
                  std::function<std::string()> currentFolder, QWidget* parent = nullptr);

  void Open() override;
  void Apply() override;

  // "Clear All": forgets every recent folder but the current one, at once.
  void ClearRecentFolders();

 private:
  struct CheckOption {
    const char* section;
    const char* key;
    int fallback;
    QCheckBox* box;
  };
  struct NumberOption {
    const char* section;
    const char* key;
    int fallback;
    QLineEdit* edit;
  };

  QCheckBox* AddCheck(QWidget* group, const QString& text, const char* section, const char* key,
                      int fallback);
  QLineEdit* AddNumber(QWidget* group, const QString& name, const char* section, const char* key,
                       int fallback);

  ISettings& m_settings;
  CIni& m_userData;
  QComboBox* m_pathBox;
  std::function<std::string()> m_currentFolder;
  std::vector<CheckOption> m_checks;
  std::vector<NumberOption> m_numbers;
};
