#include "console/docs/ManualNames.h"

#include <gtest/gtest.h>

using namespace manual;

TEST(ManualNamesTest, TermsAreEncodedAsTheManualNamesItsFiles) {
  EXPECT_EQ(EncodeName("sin"), "sin");
  EXPECT_EQ(EncodeName("num_elements"), "num_005felements");
  EXPECT_EQ(EncodeName("@ftp/close"), "_0040ftp_002fclose");
  EXPECT_EQ(EncodeName("OCTAVE_HOME"), "OCTAVE_005fHOME");
  EXPECT_EQ(RedirectFileNames("num_005felements"),
            (std::vector<std::string>{"XREFnum_005felements.html", "doc_002dnum_005felements.html"}));
}

TEST(ManualNamesTest, RedirectionFilesOfBothLayoutsAreRecognised) {
  for (const char* name : {"XREFsin.html", "doc_002dzeros.html", "fig_003aplot.html"}) {
    EXPECT_TRUE(IsRedirectName(name)) << name;
  }
  for (const char* name : {"Trigonometry.html", "index.html", "Function-Index.html", "docs.html"}) {
    EXPECT_FALSE(IsRedirectName(name)) << name;
  }
}

TEST(ManualNamesTest, RedirectTargetsOfBothForms) {
  // Today's: the target is in the Refresh line, which is not the first.
  EXPECT_EQ(ParseRedirect("<!DOCTYPE html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html\">\n"
                          "<meta http-equiv=\"Refresh\" content=\"0; url=Trigonometry.html#XREFsin\">\n"
                          "</head><body><a href=\"Other.html\">x</a></body>\n"),
            "Trigonometry.html#XREFsin");
  EXPECT_EQ(ParseRedirect("<meta http-equiv=\"Refresh\" content=\"0; url=FTP-Objects.html#XREF_0040ftp_002fcd\">\r\n"),
            "FTP-Objects.html#XREF_0040ftp_002fcd");
  // The old: the first line, "%" read as "_00".
  EXPECT_EQ(ParseRedirect("<meta http-equiv=\"refresh\" content=\"0;url=Famous.html#doc%2dzeros\">\nrest url=No.html\n"),
            "Famous.html#doc_002dzeros");
  // The old form without a closing quote: the line's last two characters are not the target's.
  EXPECT_EQ(ParseRedirect("url=Famous.html#doc%2dones;x\nmore"), "Famous.html#doc_002dones");
  EXPECT_EQ(ParseRedirect("<html><body>no redirection</body></html>"), "");
  EXPECT_EQ(ParseRedirect(""), "");
}

TEST(ManualNamesTest, TopicTextsOfPageNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"doc_002dzeros.html", "zeros "},
      {"XREFsin.html", "sin "},
      {"XREFnum_005felements.html", "num_elements "},
      {"doc_002dnum_005felements.html", "num_elements "},
      {"XREF_0040ftp_002fclose.html", "@ftp/close "},
      {"Accessing-Global-Variables-in-Oct_002dFiles.html", "Accessing Global Variables in Oct Files "},
      {"Hardware-vs_002e-Software-Rendering.html", "Hardware vs. Software Rendering "},
      {"doc_002d_003ccode_003eabs_003c_002fcode_003e.html", "abs "},
      {"fig_003aplot.html", "plot "},
      {"Operator-_002b-_0028plus_0029.html", "Operator + (plus) "},
      // A decoded "_" never starts another code.
      {"a_005f0028.html", "a_0028 "},
      {"no-suffix", "no suffix"},
  };
  for (const auto& [file, topic] : cases) EXPECT_EQ(TopicText(file), topic) << file;
}

TEST(ManualNamesTest, TopicsAreSortedIgnoringCase) {
  const std::vector<Topic> topics = TopicsOf({"XREFsin.html", "Basic-Usage.html", "Trigonometry.html", "XREFabs.html"});
  std::vector<std::string> texts;
  for (const Topic& topic : topics) texts.push_back(topic.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"abs ", "Basic Usage ", "sin ", "Trigonometry "}));
  EXPECT_EQ(topics[2].file, "XREFsin.html");
}

TEST(ManualNamesTest, HelpWordAtTheCaret) {
  const std::u16string line = u">> x = sin(pi/2) + cos(0);";
  // Inside a word, at its end and right after it.
  EXPECT_EQ(HelpWordAt(line, line.find(u"sin") + 1), u"sin");
  EXPECT_EQ(HelpWordAt(line, line.find(u"sin") + 3), u"sin");
  EXPECT_EQ(HelpWordAt(line, line.find(u"pi") + 2), u"pi");
  // At the end of the text, trailing separators are dropped.
  EXPECT_EQ(HelpWordAt(u">> cos(", 7), u"cos");
  EXPECT_EQ(HelpWordAt(u">> num2str", 10), u"num2str");
  EXPECT_EQ(HelpWordAt(u">> ", 3), u"");
  // A word at the start of a line does not run on from the line before.
  EXPECT_EQ(HelpWordAt(u"ans = 1\nzeros", 13), u"zeros");
  EXPECT_EQ(HelpWordAt(u"ans = 1\r\nzeros", 14), u"zeros");
  // A caret beyond the text counts as its end.
  EXPECT_EQ(HelpWordAt(u"ones", 99), u"ones");
}
