#include "console/shell/OptionsSheet.h"

#include <QApplication>
#include <QDir>
#include <QStyle>

#include "console/shell/OptionsEditor.h"
#include "console/shell/OptionsGeneral.h"
#include "console/shell/OptionsOctave.h"

COptionsSheet::COptionsSheet(QWidget* parent, ISettings& settings, IUserPrompts& prompts,
                             CIni& userData, QComboBox* pathBox,
                             std::function<bool(const std::string&)> sendToEditor,
                             std::function<std::string()> currentFolder)
    : CTreePropertySheet(tr("Options"), parent) {
  if (!currentFolder) currentFolder = [] { return QDir::currentPath().toStdString(); };
  m_octave = new COptionsOctave(settings, prompts);
  m_general = new COptionsGeneral(settings, userData, pathBox, std::move(currentFolder));
  m_editor = new COptionsEditor(std::move(sendToEditor));

  QStyle* style = QApplication::style();
  AddPage(m_octave, tr("Octave"), style->standardIcon(QStyle::SP_ComputerIcon));
  AddPage(m_general, tr("General"), style->standardIcon(QStyle::SP_FileDialogDetailedView));
  AddPage(m_editor, tr("Editor"), style->standardIcon(QStyle::SP_FileIcon));
}

bool ShowOptionsSheet(QWidget* parent, ISettings& settings, IUserPrompts& prompts, CIni& userData,
                      QComboBox* pathBox, std::function<bool(const std::string&)> sendToEditor,
                      std::function<std::string()> currentFolder) {
  COptionsSheet sheet(parent, settings, prompts, userData, pathBox, std::move(sendToEditor),
                      std::move(currentFolder));
  return sheet.exec() == QDialog::Accepted;
}
