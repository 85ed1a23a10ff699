// The Documentation pane off screen, on small manual folders of both layouts.
#include "console/docs/DocumentationView.h"

#include <QAction>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "console/docs/ManualBrowser.h"
#include "tests/common/TestFiles.h"
#include "tests/console/docs/ManualFixture.h"

namespace {

class DocumentationViewTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteTodaysManual(m_dir.Path()); }

  void MakeView(std::vector<std::string> candidates) {
    m_view = std::make_unique<CDocumentationView>([candidates] { return candidates; });
    m_view->resize(800, 400);
    m_view->show();
    m_filled = std::make_unique<QSignalSpy>(m_view.get(), &CDocumentationView::TopicsFilled);
    m_shown = std::make_unique<QSignalSpy>(m_view->Browser(), &CManualBrowser::PageShown);
  }

  // Makes a help request and waits until its page is shown and its topics are listed.
  void Request(const QString& term) {
    const qsizetype before = m_filled->count();
    m_view->ShowHelpTopic(term);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_filled->count() > before && !Browser()->Loading(); }, 30000))
        << term.toStdString();
  }

  // Waits until the browser has shown one more page than `before` and reads no other.
  bool WaitShown(qsizetype before) {
    return QTest::qWaitFor([&] { return m_shown->count() > before && !Browser()->Loading(); }, 30000);
  }
  // Starts a navigation and waits until its page is shown.
  template <typename Navigate>
  bool Go(Navigate&& navigate) {
    const qsizetype before = m_shown->count();
    navigate();
    return WaitShown(before);
  }

  CManualBrowser* Browser() const { return m_view->Browser(); }
  QString Shown() const {
    const QUrl page = Browser()->Page();
    return page.fileName() + (page.hasFragment() ? "#" + page.fragment() : QString());
  }

  QStringList TopicTexts() const {
    QStringList texts;
    for (int i = 0; i < m_view->Topics()->topLevelItemCount(); ++i) texts << m_view->Topics()->topLevelItem(i)->text(0);
    return texts;
  }

  CTempDir m_dir;
  std::unique_ptr<CDocumentationView> m_view;
  std::unique_ptr<QSignalSpy> m_filled;
  std::unique_ptr<QSignalSpy> m_shown;
};

}  // namespace

TEST_F(DocumentationViewTest, AHelpRequestOpensThePageAtItsAnchorAndListsThePagesThatMentionIt) {
  MakeView({"/nowhere/", m_dir.Path() + "/"});
  Request("num2str");
  EXPECT_EQ(Shown(), "Converting-Numerical-Data-to-Strings.html#XREFnum2str");
  EXPECT_EQ(TopicTexts(), (QStringList{"Converting Numerical Data to Strings ", "num2str ", "Trigonometry "}));
  EXPECT_EQ(m_view->Topics()->topLevelItem(1)->text(1), "XREFnum2str.html");
  EXPECT_TRUE(m_view->Topics()->isColumnHidden(1));
  EXPECT_FALSE(m_view->Searching());
  EXPECT_FALSE(m_view->Action(docs_id::kStop)->isEnabled());
  EXPECT_TRUE(m_view->Browser()->toPlainText().contains("num2str (x)"));

  // The start page for an empty term, listing the pages that hold "index".
  Request("");
  EXPECT_EQ(Shown(), "index.html");
  Request("Octave");
  EXPECT_EQ(Shown(), "index.html");
  // An unknown word: the start page, and the pages that mention it (none).
  Request("tangent");
  EXPECT_EQ(Shown(), "index.html");
  EXPECT_TRUE(TopicTexts().isEmpty());
}

TEST_F(DocumentationViewTest, TopicsAndLinksFollowRedirectionsToTheirAnchor) {
  MakeView({m_dir.Path()});
  Request("sin");
  EXPECT_TRUE(TopicTexts().contains("Trigonometry "));
  EXPECT_TRUE(TopicTexts().contains("Built in Data Types "));
  // Opening the topic "sin " goes through its redirection file.
  Request("cos");
  QTreeWidgetItem* cos = m_view->Topics()->findItems("cos ", Qt::MatchExactly).value(0);
  ASSERT_NE(cos, nullptr);
  m_view->Topics()->setCurrentItem(cos);
  ASSERT_TRUE(Go([&] { m_view->OpenSelectedTopic(); }));
  EXPECT_EQ(Shown(), "Trigonometry.html#XREFcos");
  // A link to a redirection file inside a page.
  ASSERT_TRUE(Go([&] { Browser()->setSource(QUrl(QStringLiteral("XREFnum2str.html"))); }));
  EXPECT_EQ(Shown(), "Converting-Numerical-Data-to-Strings.html#XREFnum2str");
  // A link to a page that is not there.
  ASSERT_TRUE(Go([&] { Browser()->setSource(QUrl(QStringLiteral("Gone.html"))); }));
  EXPECT_EQ(Shown(), "Gone.html");
  EXPECT_TRUE(Browser()->toPlainText().contains("could not be read"));
}

TEST_F(DocumentationViewTest, BackForwardAndHome) {
  MakeView({m_dir.Path()});
  Request("");
  EXPECT_FALSE(m_view->Action(docs_id::kBack)->isEnabled());
  m_view->Back();  // nothing to go back to
  EXPECT_EQ(Shown(), "index.html");

  EXPECT_FALSE(Browser()->Loading());
  Request("sin");
  Request("num2str");
  EXPECT_TRUE(m_view->Action(docs_id::kBack)->isEnabled());
  EXPECT_FALSE(m_view->Action(docs_id::kForward)->isEnabled());
  ASSERT_TRUE(Go([&] { m_view->Action(docs_id::kBack)->trigger(); }));
  EXPECT_EQ(Shown(), "Trigonometry.html#XREFsin");
  EXPECT_TRUE(m_view->Action(docs_id::kForward)->isEnabled());
  ASSERT_TRUE(Go([&] { m_view->Action(docs_id::kForward)->trigger(); }));
  EXPECT_EQ(Shown(), "Converting-Numerical-Data-to-Strings.html#XREFnum2str");
  ASSERT_TRUE(Go([&] { m_view->Back(); }));
  EXPECT_EQ(Shown(), "Trigonometry.html#XREFsin");

  // A new page after going back empties the forward list.
  ASSERT_TRUE(Go([&] { m_view->Action(docs_id::kHome)->trigger(); }));
  EXPECT_EQ(Shown(), "index.html");
  EXPECT_FALSE(m_view->Action(docs_id::kForward)->isEnabled());
  ASSERT_TRUE(Go([&] { m_view->Back(); }));
  EXPECT_EQ(Shown(), "Trigonometry.html#XREFsin");
  ASSERT_TRUE(Go([&] { m_view->Back(); }));
  EXPECT_EQ(Shown(), "index.html");
  ASSERT_TRUE(Go([&] { m_view->Action(docs_id::kRefresh)->trigger(); }));
  EXPECT_EQ(Shown(), "index.html");
}

TEST_F(DocumentationViewTest, ASecondRequestCancelsTheFirstAndItsOwnTopicsAreListed) {
  // Enough pages that the first search is still running when the second arrives.
  for (int i = 0; i < 400; ++i) WriteFile(m_dir.File("Filler-" + std::to_string(i) + ".html"), std::string(20000, 'x'));
  MakeView({m_dir.Path()});
  m_view->ShowHelpTopic("sin");
  EXPECT_TRUE(m_view->Searching());
  EXPECT_TRUE(m_view->Action(docs_id::kStop)->isEnabled());
  Request("num2str");
  EXPECT_EQ(m_filled->count(), 1);
  EXPECT_EQ(Shown(), "Converting-Numerical-Data-to-Strings.html#XREFnum2str");
  EXPECT_EQ(TopicTexts(), (QStringList{"Converting Numerical Data to Strings ", "num2str ", "Trigonometry "}));

  // Stop drops the search: the next request is the one that is listed.
  m_view->ShowHelpTopic("sin");
  m_view->Action(docs_id::kStop)->trigger();
  EXPECT_FALSE(m_view->Searching());
  Request("cos");
  EXPECT_EQ(m_filled->count(), 2);
  EXPECT_TRUE(TopicTexts().contains("cos "));
  EXPECT_FALSE(TopicTexts().contains("sin "));
}

TEST_F(DocumentationViewTest, WithoutAManualThePageSaysHowToInstallIt) {
  MakeView({m_dir.File("missing/")});
  Request("sin");
  EXPECT_TRUE(m_view->ManualFolder().isEmpty());
  EXPECT_TRUE(Browser()->Page().isEmpty());
  EXPECT_FALSE(m_view->Action(docs_id::kRefresh)->isEnabled());
  EXPECT_TRUE(m_view->Browser()->toPlainText().contains("octave-doc"));
  EXPECT_TRUE(m_view->Browser()->toPlainText().contains(QString::fromStdString(m_dir.File("missing/"))));
  EXPECT_TRUE(TopicTexts().isEmpty());
}

// Receives the URLs the desktop would open.
class CUrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }
};

TEST_F(DocumentationViewTest, LinksToOtherSitesGoToTheDesktopsBrowser) {
  CUrlCatcher catcher;
  QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
  MakeView({m_dir.Path()});
  Request("");
  m_view->Browser()->setSource(QUrl(QStringLiteral("https://www.octave.org/")));
  QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  EXPECT_EQ(catcher.opened, QList<QUrl>{QUrl(QStringLiteral("https://www.octave.org/"))});
  EXPECT_FALSE(Browser()->Loading());
  EXPECT_EQ(Shown(), "index.html");
}

#include "DocumentationViewTest.moc"
