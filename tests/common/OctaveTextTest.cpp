// Octave's names, shared by both programs, and the text helpers for file
// extensions and trimming.
#include "common/OctaveText.h"

#include <gtest/gtest.h>

#include "common/Text.h"

namespace {

TEST(OctaveText, IdentifiersAreAsciiLettersDigitsUnderscoresNoKeywordsAtMost63) {
  for (const char* good : {"x", "_a", "A1", "old_format", "Total", "x_2_y", "ans", "methods"})
    EXPECT_TRUE(octave_text::IsIdentifier(good)) << good;
  // Bytes of other scripts never count as letters, whatever the locale says.
  for (const char* bad : {"", "1x", "a b", "a-b", "a;clear", "a'", "\xc3\xa4", "\xe4", "x\xe9",
                          "end", "for", "endfunction", "unwind_protect_cleanup", "__FILE__", "x\n"})
    EXPECT_FALSE(octave_text::IsIdentifier(bad)) << bad;
  EXPECT_TRUE(octave_text::IsIdentifier(std::string(63, 'a')));
  EXPECT_FALSE(octave_text::IsIdentifier(std::string(64, 'a')));
}

TEST(Text, FileExtensionIsTakenFromTheFileName) {
  EXPECT_EQ(text::FileExtension("/home/u/work/f.m"), "m");
  EXPECT_EQ(text::FileExtension("/a/b.c/d.tar.gz"), "gz");
  EXPECT_EQ(text::FileExtension("/home/u/v1.2/Makefile"), "");
  EXPECT_EQ(text::FileExtension("C:\\x.y\\z"), "");
}

TEST(Text, TrimmingTakesBlanksTabsAndLineEndsFromEitherEnd) {
  EXPECT_EQ(text::TrimLeft(" \t\r\n a b \n"), "a b \n");
  EXPECT_EQ(text::TrimRight(" a b \t\r\n"), " a b");
  EXPECT_EQ(text::Trim("\n a b \t"), "a b");
  EXPECT_EQ(text::TrimLeft(" \t\n"), "");
  EXPECT_EQ(text::TrimRight(""), "");
}

}  // namespace
