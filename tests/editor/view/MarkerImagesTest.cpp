#include "editor/view/MarkerImages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace {

struct Image {
  int width = 0, height = 0, colours = 0;
  std::map<char, std::string> palette;  // code -> "None" or "#RRGGBB"
  std::vector<std::string> rows;
  bool Filled(size_t x, size_t y) const { return palette.at(rows[y][x]) != "None"; }
};

// The quoted strings of an XPM text: header, colours, rows.
Image Parse(const std::string& xpm) {
  std::vector<std::string> strings;
  for (size_t open = xpm.find('"'); open != std::string::npos;) {
    const size_t close = xpm.find('"', open + 1);
    strings.push_back(xpm.substr(open + 1, close - open - 1));
    open = xpm.find('"', close + 1);
  }
  Image image;
  std::istringstream(strings.at(0)) >> image.width >> image.height >> image.colours;
  for (size_t i = 1; i < strings.size(); ++i) {
    if (i <= static_cast<size_t>(image.colours))
      image.palette[strings[i][0]] = strings[i].substr(strings[i].rfind(' ') + 1);
    else
      image.rows.push_back(strings[i]);
  }
  return image;
}

void ExpectWellFormed(const Image& image, int size) {
  EXPECT_EQ(image.width, size);
  EXPECT_EQ(image.height, size);
  EXPECT_EQ(static_cast<int>(image.palette.size()), image.colours);
  ASSERT_EQ(static_cast<int>(image.rows.size()), size);
  for (const std::string& row : image.rows) {
    ASSERT_EQ(static_cast<int>(row.size()), size);
    for (char code : row) EXPECT_EQ(image.palette.count(code), 1u) << code;
  }
}

}  // namespace

TEST(MarkerImages, BreakpointIsARedDiscAndTheArrowABlueArrow) {
  const Image disc = Parse(BreakpointXpm());
  ExpectWellFormed(disc, 15);
  EXPECT_EQ(disc.colours, 65);  // 64 reds and the transparent code
  int darkest = 255, brightest = 0;
  for (const auto& [code, value] : disc.palette) {
    int r = 0, g = 0, b = 0;
    if (std::sscanf(value.c_str(), "#%02X%02X%02X", &r, &g, &b) != 3) continue;
    EXPECT_EQ(g + b, 0) << value;
    darkest = std::min(darkest, r);
    brightest = std::max(brightest, r);
  }
  EXPECT_EQ(darkest, 36);
  EXPECT_EQ(brightest, 255);
  EXPECT_FALSE(disc.Filled(0, 0));
  EXPECT_TRUE(disc.Filled(7, 0) && disc.Filled(0, 7) && disc.Filled(14, 7) && disc.Filled(7, 14));

  const Image arrow = Parse(DebugArrowXpm());
  ExpectWellFormed(arrow, 12);
  // Shaft on the left, the head widest at its base, the tip at the right edge.
  EXPECT_TRUE(arrow.Filled(2, 6) && !arrow.Filled(2, 1));
  EXPECT_TRUE(arrow.Filled(6, 0) && arrow.Filled(6, 11));
  EXPECT_TRUE(arrow.Filled(11, 6) && !arrow.Filled(11, 3));
}
