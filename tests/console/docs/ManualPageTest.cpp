// Index tables split at their letter groups before parsing.
#include "console/docs/ManualPage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kOpen = "<table class=\"index-fn\" border=\"0\">";

std::string Letter(char letter) {
  return std::string("<tr><th id=\"Function-Index_fn_letter-") + letter + "\">" + letter + "</th><td></td></tr>\n";
}

std::string Entry(const std::string& name) {
  return "<tr><td></td><td valign=\"top\"><a href=\"P.html#index-" + name + "\"><code>" + name +
         "</code></a>:</td><td>&nbsp;</td></tr>\n";
}

}  // namespace

TEST(ManualPageTest, EachLetterGroupOfAnIndexBecomesATableOfItsOwn) {
  const std::string head = "<html><body><table><tr><th>Jump to:</th><td><a href=\"#Function-Index_fn_letter-A\">A</a>"
                           "</td></tr></table>\n";
  const std::string header = "<tr><td></td><th align=\"left\">Index Entry</th></tr>\n";
  const std::string page = head + kOpen + header + Letter('A') + Entry("abs") + Entry("acos") + Letter('B') +
                           Entry("bar") + "</table>\n</body></html>\n";
  const std::string split = manual::SplitIndexTable(page);
  EXPECT_EQ(split, head + kOpen + header + "</table>\n" + kOpen + Letter('A') + Entry("abs") + Entry("acos") +
                       "</table>\n" + kOpen + Letter('B') + Entry("bar") + "</table>\n</body></html>\n");

  // A group that opens its table needs no table of its own.
  const std::string first = kOpen + Letter('A') + Entry("abs") + Letter('B') + Entry("bar") + "</table>";
  EXPECT_EQ(manual::SplitIndexTable(first),
            kOpen + Letter('A') + Entry("abs") + "</table>\n" + kOpen + Letter('B') + Entry("bar") + "</table>");
}

TEST(ManualPageTest, PagesWithoutLetterGroupsStayAsTheyAre) {
  const std::string page = "<table><tr><th id=\"summary\">x</th></tr>" + Entry("sin") + "</table>";
  EXPECT_EQ(manual::SplitIndexTable(page), page);
  // A heading row outside a table is left alone.
  const std::string outside = "<table>" + Entry("sin") + "</table>" + Letter('A');
  EXPECT_EQ(manual::SplitIndexTable(outside), outside);
  const std::string cut = kOpen + Entry("sin") + "<tr><th id=\"Function-Index_fn_letter-A";
  EXPECT_EQ(manual::SplitIndexTable(cut), cut);
  EXPECT_EQ(manual::SplitIndexTable(""), "");
}

TEST(ManualPageTest, EmptyAnchorsMoveOntoTheTextTheyMark) {
  // Today's manual: the function's name on the first text of its definition.
  EXPECT_EQ(manual::MoveEmptyAnchors("<span id=\"XREFsin\"></span><dl class=\"def\">\n<dt id=\"index-sin\">"
                                     "<span class=\"category\">: </span><strong>sin</strong></dt>"),
            "<dl class=\"def\">\n<dt id=\"index-sin\"><span class=\"category\"><span id=\"XREFsin\"></span>: </span>"
            "<strong>sin</strong></dt>");
  EXPECT_EQ(manual::MoveEmptyAnchors("<a name=\"A\"></a> <p>x</p><a id=\"B\"></a>\n<h3>y</h3>"),
            " <p><a name=\"A\"></a>x</p>\n<h3><a id=\"B\"></a>y</h3>");
  // Anchors before text, links, elements with content, comments and the end stay.
  for (const std::string html :
       {"<p><span id=\"a\"></span>text</p>", "<a href=\"x.html\"></a><p>x</p>", "<span id=\"a\">x</span><p>x</p>",
        "<a name=\"a\"></a><!-- c --><p>x</p>", "<p>x</p><a name=\"a\"></a>", "<span id=\"a\"></span></div><p>",
        "<a name=\"a\"></a><p", "<span id=\"a\""}) {
    EXPECT_EQ(manual::MoveEmptyAnchors(html), html) << html;
  }
  EXPECT_EQ(manual::PrepareHtml("<a name=\"A\"></a><p>x</p>"), "<p><a name=\"A\"></a>x</p>");
}
