// The manual's page view on its own, off screen: pages built on the worker
// thread, the history it keeps itself, anchors and scroll positions, images,
// and the newest navigation winning over older, slower ones.
#include "console/docs/ManualBrowser.h"

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <filesystem>

#include "console/docs/PageLoader.h"
#include "tests/common/TestFiles.h"
#include "tests/console/docs/ManualFixture.h"

namespace {

// A page long enough to scroll, with an anchor near its end.
std::string LongPage(const std::string& extra = {}) {
  std::string body;
  for (int i = 0; i < 200; ++i) body += "<p>Paragraph " + std::to_string(i) + "</p>";
  return Page("Long", body + "<p><a name=\"deep\"></a>Deep section</p>" + body + extra);
}

// A page whose parsing takes a while: a table of many rows.
std::string SlowPage() {
  std::string rows;
  for (int i = 0; i < 3000; ++i) rows += "<tr><td><code>f" + std::to_string(i) + "</code></td><td>Functions</td></tr>";
  return Page("Slow", "<table>" + rows + "</table>");
}

class ManualBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteTodaysManual(m_dir.Path());
    WriteFile(m_dir.File("Long.html"), LongPage());
    m_browser.resize(600, 300);
    m_browser.show();
  }

  // The page `name`, at `anchor` when one is given.
  QUrl Url(const std::string& name, const QString& anchor = {}) const {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(m_dir.File(name)));
    if (!anchor.isEmpty()) url.setFragment(anchor);
    return url;
  }
  QString Shown() const {
    const QUrl page = m_browser.Page();
    return page.fileName() + (page.hasFragment() ? "#" + page.fragment() : QString());
  }
  // Starts a navigation and waits until its page is shown.
  template <typename Navigate>
  bool Go(Navigate&& navigate) {
    const qsizetype before = m_shown.count();
    navigate();
    return QTest::qWaitFor([&] { return m_shown.count() > before && !m_browser.Loading(); }, 30000);
  }
  bool Open(const std::string& name, const QString& anchor = {}) {
    return Go([&] { m_browser.setSource(Url(name, anchor)); });
  }
  int Scroll() const { return m_browser.verticalScrollBar()->value(); }
  // The text at the top of the viewport.
  QString TopText() const { return m_browser.cursorForPosition(QPoint(4, 4)).block().text(); }

  CTempDir m_dir;
  CManualBrowser m_browser;
  QSignalSpy m_shown{&m_browser, &CManualBrowser::PageShown};
};

}  // namespace

TEST_F(ManualBrowserTest, PagesOpenAtTheirAnchorAndInPageLinksScrollWithoutReading) {
  ASSERT_TRUE(Open("Long.html"));
  EXPECT_EQ(Scroll(), 0);
  EXPECT_TRUE(m_browser.toPlainText().contains("Deep section"));
  ASSERT_TRUE(Open("Long.html", "deep"));
  EXPECT_GT(Scroll(), 0);
  EXPECT_EQ(TopText(), "Deep section");

  // Today's manual names a function twice: the page opens at either name.
  std::string filler;
  for (int i = 0; i < 100; ++i) filler += "<p>Paragraph " + std::to_string(i) + "</p>";
  WriteFile(m_dir.File("Defs.html"), Page("Defs", filler + "<span id=\"XREFfar\"></span><dl class=\"def\">\n"
                                                  "<dt id=\"index-far\"><span>: </span><strong>far</strong> (x)</dt>"
                                                  "<dd><p>Far away.</p></dd></dl>" + filler));
  for (const QString& anchor : {QStringLiteral("XREFfar"), QStringLiteral("index-far")}) {
    ASSERT_TRUE(Open("Long.html"));
    ASSERT_TRUE(Open("Defs.html", anchor));
    EXPECT_GT(Scroll(), 0);
    EXPECT_EQ(TopText(), ": far (x)") << anchor.toStdString();
  }

  // The anchor of another page.
  ASSERT_TRUE(Open("Trigonometry.html", "XREFcos"));
  EXPECT_EQ(Shown(), "Trigonometry.html#XREFcos");
  // A link to an anchor of the page on screen is followed at once.
  m_browser.setSource(QUrl(QStringLiteral("#XREFsin")));
  EXPECT_FALSE(m_browser.Loading());
  EXPECT_EQ(Shown(), "Trigonometry.html#XREFsin");
  EXPECT_TRUE(m_browser.CanGoBack());
}

TEST_F(ManualBrowserTest, BackForwardAndRefreshKeepTheScrollPositions) {
  ASSERT_TRUE(Open("Long.html"));
  m_browser.verticalScrollBar()->setValue(m_browser.verticalScrollBar()->maximum() / 3);
  const int left = Scroll();
  const QString leftText = TopText();
  ASSERT_GT(left, 0);
  ASSERT_TRUE(Open("index.html"));
  EXPECT_EQ(Scroll(), 0);
  EXPECT_FALSE(m_browser.CanGoForward());

  ASSERT_TRUE(Go([&] { m_browser.backward(); }));
  EXPECT_EQ(Shown(), "Long.html");
  EXPECT_EQ(Scroll(), left);
  EXPECT_EQ(TopText(), leftText);
  EXPECT_FALSE(m_browser.CanGoBack());
  EXPECT_TRUE(m_browser.CanGoForward());
  ASSERT_TRUE(Go([&] { m_browser.forward(); }));
  EXPECT_EQ(Shown(), "index.html");
  ASSERT_TRUE(Go([&] { m_browser.backward(); }));

  // Refresh reads the changed file and stays where the reader was; the
  // history does not change.
  m_browser.verticalScrollBar()->setValue(left / 2);
  WriteFile(m_dir.File("Long.html"), LongPage("<p>Added later</p>"));
  ASSERT_TRUE(Go([&] { m_browser.reload(); }));
  EXPECT_TRUE(m_browser.toPlainText().contains("Added later"));
  EXPECT_EQ(Shown(), "Long.html");
  EXPECT_EQ(Scroll(), left / 2);
  EXPECT_FALSE(m_browser.CanGoBack());
  ASSERT_TRUE(Go([&] { m_browser.forward(); }));
  EXPECT_EQ(Shown(), "index.html");
}

TEST_F(ManualBrowserTest, TheNewestNavigationWinsOverAnOlderSlowerOne) {
  WriteFile(m_dir.File("Slow.html"), SlowPage());
  ASSERT_TRUE(Open("index.html"));
  m_shown.clear();

  // The slow page is still being parsed when the next request arrives.
  m_browser.setSource(Url("Slow.html"));
  EXPECT_TRUE(m_browser.Loading());
  ASSERT_TRUE(Open("Trigonometry.html"));
  // Once a later page is shown, the worker is past the slow one.
  ASSERT_TRUE(Open("Long.html"));
  EXPECT_EQ(m_shown.count(), 2);
  EXPECT_EQ(Shown(), "Long.html");
  EXPECT_FALSE(m_browser.toPlainText().contains("f2999"));

  // Back while the slow page is read; an anchor of the page on screen while
  // it is read.
  m_browser.setSource(Url("Slow.html"));
  ASSERT_TRUE(Go([&] { m_browser.backward(); }));
  EXPECT_EQ(Shown(), "Trigonometry.html");
  m_browser.setSource(Url("Slow.html"));
  m_browser.setSource(QUrl(QStringLiteral("#XREFcos")));
  EXPECT_FALSE(m_browser.Loading());
  ASSERT_TRUE(Open("Converting-Numerical-Data-to-Strings.html"));
  EXPECT_EQ(m_shown.count(), 5);

  // Stop drops the slow page; the page on screen stays.
  m_browser.setSource(Url("Slow.html"));
  QSignalSpy loading(&m_browser, &CManualBrowser::LoadingChanged);
  m_browser.StopLoading();
  EXPECT_FALSE(m_browser.Loading());
  EXPECT_EQ(loading.count(), 1);
  ASSERT_TRUE(Open("index.html"));
  EXPECT_EQ(m_shown.count(), 6);
  ASSERT_TRUE(Go([&] { m_browser.backward(); }));
  EXPECT_EQ(Shown(), "Converting-Numerical-Data-to-Strings.html");

  // Given time, the slow page shows.
  ASSERT_TRUE(Open("Slow.html"));
  EXPECT_TRUE(m_browser.toPlainText().contains("f2999"));
}

TEST_F(ManualBrowserTest, ImagesAndStyleSheetsAreReadWithThePage) {
  std::filesystem::create_directories(m_dir.File("figures"));
  QImage image(24, 16, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(m_dir.File("figures/plot.png"))));
  WriteFile(m_dir.File("manual.css"), "p.note { font-weight: bold }");
  WriteFile(m_dir.File("Figure.html"),
            "<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"manual.css\"></head><body>"
            "<p><img src=\"figures/plot.png\" alt=\"plot\"></p><p class=\"note\">Note</p></body></html>");
  // Built as on the worker thread: the page holds its image when it is shown.
  const std::unique_ptr<QTextDocument> built = CPageLoader::Build(Url("Figure.html"), m_browser.font());
  std::filesystem::remove(m_dir.File("figures/plot.png"));
  const QVariant loaded = built->resource(QTextDocument::ImageResource, QUrl("figures/plot.png"));
  EXPECT_EQ(loaded.value<QImage>().size(), QSize(24, 16));
  const QTextBlock note = built->findBlock(built->toPlainText().indexOf("Note"));
  EXPECT_EQ(note.charFormat().fontWeight(), QFont::Bold);

  ASSERT_TRUE(image.save(QString::fromStdString(m_dir.File("figures/plot.png"))));
  ASSERT_TRUE(Open("Figure.html"));
  const QVariant shown = m_browser.document()->resource(QTextDocument::ImageResource, QUrl("figures/plot.png"));
  EXPECT_EQ(shown.value<QImage>().size(), QSize(24, 16));
}
