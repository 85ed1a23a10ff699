// The options sheet and its pages, driven as a user would: through the controls
// they show, with both settings stores in a private folder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <map>
#include <string>
#include <vector>

#include "common/Ini.h"
#include "common/UserDirs.h"
#include "console/shell/OptionsEditor.h"
#include "console/shell/OptionsGeneral.h"
#include "console/shell/OptionsOctave.h"
#include "console/shell/OptionsSheet.h"
#include "console/shell/QtSettings.h"
#include "tests/common/TestPrompts.h"
#include "widgets/FolderBrowseEdit.h"
#include "widgets/TreePropertySheet.h"

namespace {

// The button of class W under `root` showing `text`; null when there is none.
template <typename W>
W* Button(QWidget* root, const QString& text) {
  for (W* widget : root->findChildren<W*>())
    if (widget->text() == text) return widget;
  return nullptr;
}

// The control of class W under `root` with this accessible name.
template <typename W>
W* Named(QWidget* root, const QString& name) {
  for (W* widget : root->findChildren<W*>())
    if (widget->accessibleName() == name) return widget;
  return nullptr;
}

QStringList Keys(const QString& application) {
  return QSettings(QCoreApplication::organizationName(), application).allKeys();
}

void ClearStore(const QString& application) {
  QSettings store(QCoreApplication::organizationName(), application);
  store.clear();
  store.sync();
}

void SetQuire(const std::map<QString, int>& values) {
  QSettings store(QCoreApplication::organizationName(), QStringLiteral("Quire"));
  store.beginGroup(QStringLiteral("General"));
  for (const auto& [key, value] : values) store.setValue(key, value);
  store.sync();
}

int Quire(const QString& key) {
  return QSettings(QCoreApplication::organizationName(), QStringLiteral("Quire"))
      .value(QStringLiteral("General/") + key, -1)
      .toInt();
}

class OptionsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStore(QStringLiteral("Calyx"));
    ClearStore(QStringLiteral("Quire"));
    ASSERT_TRUE(m_dir.isValid());
    m_userData.SetPath(Path("user.ini").toStdString());
  }
  void TearDown() override {
    ClearStore(QStringLiteral("Calyx"));
    ClearStore(QStringLiteral("Quire"));
  }

  QString Path(const QString& name) const { return m_dir.filePath(name); }

  QString MakeFolder(const QString& name, bool withInterpreter) {
    const QString folder = Path(name);
    QDir().mkpath(folder);
    if (withInterpreter) {
      QFile file(QDir(folder).filePath(QStringLiteral("octave-cli")));
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    }
    return folder;
  }

  std::unique_ptr<COptionsSheet> MakeSheet(QComboBox* pathBox = nullptr) {
    return std::make_unique<COptionsSheet>(
        nullptr, m_settings, m_prompts, m_userData, pathBox,
        [this](const std::string& text) {
          m_sent.push_back(text);
          return true;
        },
        [] { return std::string("/work/from-callback"); });
  }

  QTemporaryDir m_dir;
  CQtSettings m_settings;
  CIni m_userData;
  CTestPrompts m_prompts;
  std::vector<std::string> m_sent;
};

// ---------------------------------------------------------------- the sheet

using OptionsSheetTest = OptionsFixture;

TEST_F(OptionsSheetTest, ShowsThreePagesWithIconsAndOnlyOkAndCancel) {
  auto sheet = MakeSheet();
  EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Options"));
  EXPECT_EQ(sheet->NodeTitles(), (QStringList{"Octave", "General", "Editor"}));

  auto* tree = sheet->findChild<QTreeWidget*>();
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->topLevelItemCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(tree->topLevelItem(i)->icon(0).isNull()) << i;

  auto* buttons = sheet->findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(buttons->buttons().size(), 2);
  EXPECT_NE(buttons->button(QDialogButtonBox::Ok), nullptr);
  EXPECT_NE(buttons->button(QDialogButtonBox::Cancel), nullptr);
}

TEST_F(OptionsSheetTest, OkAppliesOnlyThePagesThatWereOpened) {
  SetQuire({{"TabSize", 4}});
  auto sheet = MakeSheet();
  sheet->show();
  EXPECT_EQ(sheet->CurrentNode(), 0);
  EXPECT_TRUE(sheet->WasOpened(0));
  EXPECT_FALSE(sheet->WasOpened(1));
  EXPECT_FALSE(sheet->WasOpened(2));

  sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  EXPECT_EQ(sheet->result(), QDialog::Accepted);
  EXPECT_EQ(Keys("Calyx"), (QStringList{"Octave/AutoStart", "Octave/docpath"}));
  EXPECT_EQ(Keys("Quire"), QStringList{"General/TabSize"});
  EXPECT_TRUE(m_sent.empty());
}

TEST_F(OptionsSheetTest, CancelWritesNothingFromAnyPage) {
  SetQuire({{"TabSize", 4}, {"UseSpaces", 0}});
  m_settings.SetInt("General", "MaxLines", 500);
  m_settings.SetInt("Octave", "AutoStart", 1);
  const QStringList calyxBefore = Keys("Calyx");

  auto sheet = MakeSheet();
  sheet->show();
  for (int node = 0; node < 3; ++node) sheet->SelectPage(node);
  Button<QCheckBox>(sheet.get(), "Autoconnect at startup")->setChecked(false);
  Named<QLineEdit>(sheet.get(), "Number of lines in command window:")->setText("7");
  Button<QCheckBox>(sheet.get(), "Use spaces instead of tabs for indentation")->setChecked(true);
  sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();

  EXPECT_EQ(sheet->result(), QDialog::Rejected);
  EXPECT_EQ(Keys("Calyx"), calyxBefore);
  EXPECT_EQ(m_settings.GetInt("General", "MaxLines", -1), 500);
  EXPECT_EQ(m_settings.GetInt("Octave", "AutoStart", -1), 1);
  EXPECT_EQ(Quire("UseSpaces"), 0);
  EXPECT_TRUE(m_sent.empty());
}

TEST(OptionsTreeSheetTest, NodeWithoutPageAsksForAChild) {
  CTreePropertySheet sheet(QStringLiteral("Tools"));
  auto* child = new QWidget;
  const int group = sheet.AddPage(nullptr, QStringLiteral("Printing"));
  const int leaf = sheet.AddPage(child, QStringLiteral("Margins"), QIcon(), group);
  EXPECT_EQ(sheet.NodeTitles(), (QStringList{"Printing", "Margins"}));

  sheet.SelectPage(group);
  auto* placeholder = qobject_cast<QLabel*>(sheet.CurrentWidget());
  ASSERT_NE(placeholder, nullptr);
  EXPECT_EQ(placeholder->text(), QStringLiteral("Select an item of 'Printing'."));
  EXPECT_FALSE(sheet.WasOpened(group));

  sheet.SelectPage(leaf);
  EXPECT_EQ(sheet.CurrentWidget(), child);
  EXPECT_TRUE(sheet.WasOpened(leaf));
}

// ---------------------------------------------------------------- General

struct CheckRow {
  const char* text;
  const char* section;
  const char* key;
  int fallback;
};
const CheckRow kChecks[] = {
    {"Automatically check for updates", "General", "AutoUpdate", 1},
    {"Warn before clearing the Command Window", "General", "ConfirmClearWindow", 0},
    {"Warn before deleting Command History items", "General", "ConfirmClearHistory", 0},
    {"Confirm when deleting Variables", "General", "ConfirmClearVariables", 0},
    {"Confirm disconnect before exiting", "Octave", "ConfirmExit", 1},
    {"Play a beep on errors", "General", "BeepOnErrors", 0},
};
struct NumberRow {
  const char* name;
  const char* key;
  int fallback;
};
const NumberRow kNumbers[] = {
    {"Number of lines in command window:", "MaxLines", 2000},
    {"Save most recent directories", "MaxDirs", 20},
    {"Max. history lines:", "MaxHist", 100},
};

using OptionsGeneralTest = OptionsFixture;

TEST_F(OptionsGeneralTest, OpenShowsDefaultsThenStoredValues) {
  {
    COptionsGeneral page(m_settings, m_userData, nullptr, {});
    page.Open();
    for (const CheckRow& row : kChecks)
      EXPECT_EQ(Button<QCheckBox>(&page, row.text)->isChecked(), row.fallback != 0) << row.key;
    for (const NumberRow& row : kNumbers)
      EXPECT_EQ(Named<QLineEdit>(&page, row.name)->text(), QString::number(row.fallback))
          << row.key;
  }
  int number = 31;
  for (const CheckRow& row : kChecks) m_settings.SetInt(row.section, row.key, !row.fallback);
  for (const NumberRow& row : kNumbers) m_settings.SetInt("General", row.key, number += 11);

  COptionsGeneral page(m_settings, m_userData, nullptr, {});
  page.Open();
  for (const CheckRow& row : kChecks)
    EXPECT_EQ(Button<QCheckBox>(&page, row.text)->isChecked(), row.fallback == 0) << row.key;
  number = 31;
  for (const NumberRow& row : kNumbers)
    EXPECT_EQ(Named<QLineEdit>(&page, row.name)->text(), QString::number(number += 11)) << row.key;
}

TEST_F(OptionsGeneralTest, ApplyWritesEveryControl) {
  COptionsGeneral page(m_settings, m_userData, nullptr, {});
  page.Open();
  for (const CheckRow& row : kChecks) Button<QCheckBox>(&page, row.text)->setChecked(!row.fallback);
  int number = 5;
  for (const NumberRow& row : kNumbers)
    Named<QLineEdit>(&page, row.name)->setText(QString::number(number *= 3));
  page.Apply();

  for (const CheckRow& row : kChecks)
    EXPECT_EQ(m_settings.GetInt(row.section, row.key, -1), row.fallback ? 0 : 1) << row.key;
  number = 5;
  for (const NumberRow& row : kNumbers)
    EXPECT_EQ(m_settings.GetInt("General", row.key, -1), number *= 3) << row.key;

  // And back: what was written is what the next opening shows.
  for (const CheckRow& row : kChecks) Button<QCheckBox>(&page, row.text)->setChecked(row.fallback);
  page.Apply();
  for (const CheckRow& row : kChecks)
    EXPECT_EQ(m_settings.GetInt(row.section, row.key, -1), row.fallback) << row.key;
}

TEST_F(OptionsGeneralTest, NumberFieldsTakeDigitsOnlyAndEmptyStoresZero) {
  COptionsGeneral page(m_settings, m_userData, nullptr, {});
  page.Open();
  for (const NumberRow& row : kNumbers) {
    QLineEdit* edit = Named<QLineEdit>(&page, row.name);
    ASSERT_NE(edit, nullptr) << row.name;
    edit->clear();
    QTest::keyClicks(edit, "4x-2 b7");
    EXPECT_EQ(edit->text(), QStringLiteral("427")) << row.name;
  }
  Named<QLineEdit>(&page, kNumbers[1].name)->clear();
  page.Apply();
  EXPECT_EQ(m_settings.GetInt("General", kNumbers[0].key, -1), 427);
  EXPECT_EQ(m_settings.GetInt("General", kNumbers[1].key, -1), 0);
  EXPECT_EQ(m_settings.GetInt("General", kNumbers[2].key, -1), 427);
}

TEST_F(OptionsGeneralTest, ClearAllKeepsOnlyTheShownFolder) {
  m_userData.WriteArray("WorkingPaths", {"/a", "/b", "/c"}, "|;|");
  QComboBox box;
  box.setEditable(true);
  box.addItems({"/a", "/b", "/c"});
  box.setEditText("/home/user/current");

  COptionsGeneral page(m_settings, m_userData, &box, {});
  page.Open();
  Button<QPushButton>(&page, "Clear All")->click();

  EXPECT_EQ(box.count(), 0);
  EXPECT_EQ(box.currentText(), QStringLiteral("/home/user/current"));
  std::vector<std::string> paths;
  m_userData.GetArray("WorkingPaths", paths, "|;|");
  EXPECT_EQ(paths, std::vector<std::string>{"/home/user/current"});
  EXPECT_EQ(m_userData.GetString("WorkingPaths"), "/home/user/current");
}

TEST_F(OptionsGeneralTest, ClearAllWithoutBoxWritesTheCurrentFolder) {
  m_userData.WriteArray("WorkingPaths", {"/a", "/b"}, "|;|");
  COptionsGeneral page(m_settings, m_userData, nullptr, [] { return std::string("/cb/folder"); });
  Button<QPushButton>(&page, "Clear All")->click();
  std::vector<std::string> paths;
  m_userData.GetArray("WorkingPaths", paths, "|;|");
  EXPECT_EQ(paths, std::vector<std::string>{"/cb/folder"});
}

// ---------------------------------------------------------------- Octave

using OptionsOctaveTest = OptionsFixture;

TEST_F(OptionsOctaveTest, OpenShowsTheLongFormOfTheStoredFolder) {
  {
    COptionsOctave page(m_settings, m_prompts);
    page.Open();
    EXPECT_EQ(page.findChild<CFolderBrowseEdit*>()->Text(),
              QString::fromStdString(LongPathName(COptionsOctave::kDefaultPath)));
    EXPECT_TRUE(Button<QCheckBox>(&page, "Autoconnect at startup")->isChecked());
  }
  const QString folder = MakeFolder("octave/bin", true);
  m_settings.SetString("Octave", "path", (folder + "/../bin/.").toStdString());
  m_settings.SetInt("Octave", "AutoStart", 0);
  COptionsOctave page(m_settings, m_prompts);
  page.Open();
  EXPECT_EQ(page.findChild<CFolderBrowseEdit*>()->Text(),
            QString::fromStdString(LongPathName(folder.toStdString())));
  EXPECT_FALSE(Button<QCheckBox>(&page, "Autoconnect at startup")->isChecked());
}

TEST_F(OptionsOctaveTest, ManualFolderIsShownAndWrittenOnApplyEmptyMeaningFoundAutomatically) {
  m_settings.SetString("Octave", "docpath", "/opt/manual");
  COptionsOctave page(m_settings, m_prompts);
  page.Open();
  auto* edit = Named<QLineEdit>(&page, "Octave Manual Folder");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), "/opt/manual");

  edit->setText("  /srv/octave.html  ");
  page.Apply();
  EXPECT_EQ(m_settings.GetString("Octave", "docpath", ""), "/srv/octave.html");
  edit->clear();
  page.Apply();
  EXPECT_EQ(m_settings.GetString("Octave", "docpath", "unset"), "");
  // The interpreter's folder is not touched by the manual's.
  EXPECT_EQ(m_settings.GetString("Octave", "path", "unset"), "unset");
}

TEST_F(OptionsOctaveTest, FolderWithoutInterpreterIsRefused) {
  const QString good = MakeFolder("good", true);
  m_settings.SetString("Octave", "path", good.toStdString());
  COptionsOctave page(m_settings, m_prompts);
  page.Open();
  auto* box = page.findChild<CFolderBrowseEdit*>();

  const QString empty = MakeFolder("empty", false);
  box->ChooseFolder(empty);
  EXPECT_EQ(m_prompts.errors, QStringList{"octave-cli does not exist in path\n" + empty});
  EXPECT_EQ(m_settings.GetString("Octave", "path", ""), good.toStdString());
  EXPECT_EQ(box->Text(), QString::fromStdString(LongPathName(good.toStdString())));

  // A folder named like the program is not the program.
  const QString decoy = MakeFolder("decoy", false);
  QDir(decoy).mkdir("octave-cli");
  box->ChooseFolder(decoy);
  EXPECT_EQ(m_prompts.errors.size(), 2);
  EXPECT_EQ(m_settings.GetString("Octave", "path", ""), good.toStdString());
}

TEST_F(OptionsOctaveTest, FolderWithInterpreterIsWrittenAtOnceAndSurvivesCancel) {
  m_settings.SetString("Octave", "path", MakeFolder("old", true).toStdString());
  const QString chosen = MakeFolder("new", true);
  auto sheet = MakeSheet();
  sheet->show();
  sheet->findChild<CFolderBrowseEdit*>()->ChooseFolder(chosen);
  EXPECT_TRUE(m_prompts.errors.isEmpty());
  EXPECT_EQ(m_settings.GetString("Octave", "path", ""), chosen.toStdString());

  // A refusal afterwards puts back the folder just accepted, not the first one.
  sheet->findChild<CFolderBrowseEdit*>()->ChooseFolder(MakeFolder("none", false));
  EXPECT_EQ(sheet->findChild<CFolderBrowseEdit*>()->Text(), chosen);

  sheet->Reject();
  EXPECT_EQ(m_settings.GetString("Octave", "path", ""), chosen.toStdString());
}

TEST_F(OptionsOctaveTest, FolderTypedWithoutEnterIsCheckedAndKeptOnOk) {
  const QString old = MakeFolder("old", true);
  m_settings.SetString("Octave", "path", old.toStdString());

  // A typed folder without the interpreter: OK reports it, writes nothing and
  // keeps the sheet open on the Octave page with the last good folder shown.
  auto sheet = MakeSheet();
  sheet->show();
  sheet->SelectPage(1);
  auto* edit = Named<QLineEdit>(sheet.get(), "GNU Octave Executable Files Directory:");
  ASSERT_NE(edit, nullptr);
  const QString empty = MakeFolder("empty", false);
  edit->setText(empty);
  Button<QCheckBox>(sheet.get(), "Autoconnect at startup")->setChecked(false);
  sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  EXPECT_EQ(m_prompts.errors, QStringList{"octave-cli does not exist in path\n" + empty});
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(sheet->CurrentNode(), 0);
  EXPECT_EQ(edit->text(), old);
  EXPECT_EQ(m_settings.GetString("Octave", "path", ""), old.toStdString());
  EXPECT_EQ(m_settings.GetInt("Octave", "AutoStart", -1), -1);

  // A typed folder with the interpreter is kept, with the other pages' values.
  const QString typed = MakeFolder("typed", true);
  edit->setText(typed + "  ");
  sheet->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  EXPECT_EQ(sheet->result(), QDialog::Accepted);
  EXPECT_FALSE(sheet->isVisible());
  EXPECT_EQ(m_prompts.errors.size(), 1);
  EXPECT_EQ(m_settings.GetString("Octave", "path", ""), typed.toStdString());
  EXPECT_EQ(m_settings.GetInt("Octave", "AutoStart", -1), 0);
}

TEST_F(OptionsOctaveTest, AutoStartIsWrittenOnOkOnly) {
  {
    auto sheet = MakeSheet();
    sheet->show();
    Button<QCheckBox>(sheet.get(), "Autoconnect at startup")->setChecked(false);
    sheet->Reject();
    EXPECT_EQ(m_settings.GetInt("Octave", "AutoStart", -1), -1);
  }
  for (const bool checked : {false, true}) {
    auto sheet = MakeSheet();
    sheet->show();
    Button<QCheckBox>(sheet.get(), "Autoconnect at startup")->setChecked(checked);
    sheet->Accept();
    EXPECT_EQ(m_settings.GetInt("Octave", "AutoStart", -1), checked ? 1 : 0);
  }
}

// ---------------------------------------------------------------- Editor

using OptionsEditorTest = OptionsFixture;

struct EditorView {
  bool autoComplete, calltips, showAll, reopen;
  QString tabSize;
  bool useSpaces, smartIndent;
  int comment;
  bool operator==(const EditorView&) const = default;
};

void PrintTo(const EditorView& v, std::ostream* os) {
  *os << v.autoComplete << v.calltips << v.showAll << v.reopen << " tab=" << v.tabSize.toStdString()
      << " spaces=" << v.useSpaces << " smart=" << v.smartIndent << " comment=" << v.comment;
}

EditorView Shown(QWidget* page) {
  EXPECT_EQ(Button<QRadioButton>(page, "No indent")->isChecked(),
            !Button<QRadioButton>(page, "Smart indent")->isChecked());
  return {Button<QCheckBox>(page, "Enable Auto-completion on each input")->isChecked(),
          Button<QCheckBox>(page, "Function parameters hint on input")->isChecked(),
          Button<QCheckBox>(page, "Show All Characters")->isChecked(),
          Button<QCheckBox>(page, "Reopen files from previous session")->isChecked(),
          Named<QLineEdit>(page, "Tab size:")->text(),
          Button<QCheckBox>(page, "Use spaces instead of tabs for indentation")->isChecked(),
          Button<QRadioButton>(page, "Smart indent")->isChecked(),
          Named<QComboBox>(page, "Default comment style:")->currentIndex()};
}

void Show(QWidget* page, const EditorView& v) {
  Button<QCheckBox>(page, "Enable Auto-completion on each input")->setChecked(v.autoComplete);
  Button<QCheckBox>(page, "Function parameters hint on input")->setChecked(v.calltips);
  Button<QCheckBox>(page, "Show All Characters")->setChecked(v.showAll);
  Button<QCheckBox>(page, "Reopen files from previous session")->setChecked(v.reopen);
  Named<QLineEdit>(page, "Tab size:")->setText(v.tabSize);
  Button<QCheckBox>(page, "Use spaces instead of tabs for indentation")->setChecked(v.useSpaces);
  Button<QRadioButton>(page, v.smartIndent ? "Smart indent" : "No indent")->setChecked(true);
  Named<QComboBox>(page, "Default comment style:")->setCurrentIndex(v.comment);
}

const EditorView kTemplate{true, true, false, true, "4", false, true, 0};

TEST_F(OptionsEditorTest, WithoutQuireSettingsShowsTemplateAndOkWritesNothing) {
  auto sheet = MakeSheet();
  sheet->show();
  sheet->SelectPage(2);
  EXPECT_EQ(Shown(sheet->EditorPage()), kTemplate);
  auto* comment = Named<QComboBox>(sheet->EditorPage(), "Default comment style:");
  ASSERT_EQ(comment->count(), 3);
  EXPECT_EQ((QStringList{comment->itemText(0), comment->itemText(1), comment->itemText(2)}),
            (QStringList{"#", "%", "##"}));

  Show(sheet->EditorPage(), {false, false, true, false, "8", true, false, 2});
  sheet->Accept();
  EXPECT_TRUE(Keys("Quire").isEmpty());
  EXPECT_TRUE(m_sent.empty());
}

TEST_F(OptionsEditorTest, WithQuireSettingsShowsThemAndOkWritesAllAndNotifiesOnce) {
  SetQuire({{"AutoCompleteEnabled", 0},
            {"CalltipsEnabled", 0},
            {"ShowAllCharacters", 1},
            {"ReopenFiles", 0},
            {"TabSize", 8},
            {"UseSpaces", 1},
            {"SmarIndent", 1},
            {"Comment", 2}});
  auto sheet = MakeSheet();
  sheet->show();
  sheet->SelectPage(2);
  EXPECT_EQ(Shown(sheet->EditorPage()),
            (EditorView{false, false, true, false, "8", true, true, 2}));

  const EditorView chosen{true, true, false, true, "3", false, false, 1};
  Show(sheet->EditorPage(), chosen);
  sheet->Accept();

  EXPECT_EQ(Quire("AutoCompleteEnabled"), 1);
  EXPECT_EQ(Quire("CalltipsEnabled"), 1);
  EXPECT_EQ(Quire("ShowAllCharacters"), 0);
  EXPECT_EQ(Quire("ReopenFiles"), 1);
  EXPECT_EQ(Quire("TabSize"), 3);
  EXPECT_EQ(Quire("UseSpaces"), 0);
  EXPECT_EQ(Quire("SmarIndent"), 0);
  EXPECT_EQ(Quire("Comment"), 1);
  EXPECT_EQ(m_sent, std::vector<std::string>{"UpdatePreferences"});

  // What was written is what the next opening shows.
  COptionsEditor again({});
  again.Open();
  EXPECT_EQ(Shown(&again), chosen);
}

TEST_F(OptionsEditorTest, IndentValueZeroIsNoIndentAnyOtherIsSmart) {
  for (const int value : {0, 1, 7}) {
    SetQuire({{"SmarIndent", value}});
    COptionsEditor page({});
    page.Open();
    EXPECT_EQ(Button<QRadioButton>(&page, "Smart indent")->isChecked(), value != 0) << value;
    // Keys Quire has not written yet show its defaults, "ReopenFiles" among them.
    EXPECT_TRUE(Button<QCheckBox>(&page, "Reopen files from previous session")->isChecked());
  }
}

}  // namespace
