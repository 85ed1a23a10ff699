#include "editor/view/MarkerImages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

struct Rgb {
  int r, g, b;
};

// Pixel codes, one character each (Scintilla reads one character per pixel);
// the blank is the transparent code.
constexpr std::string_view CODES =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+-";
constexpr char TRANSPARENT = ' ';

std::string Hex(const Rgb& c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c.r, c.g, c.b);
  return buffer;
}

std::string Xpm(const char* name, int width, int height, const std::vector<Rgb>& palette,
                const std::vector<std::string>& rows) {
  std::string xpm = "/* XPM */\nstatic const char * ";
  xpm += name;
  xpm += "[] = {\n\"" + std::to_string(width) + ' ' + std::to_string(height) + ' ' +
         std::to_string(palette.size() + 1) + " 1\",\n";
  xpm += "\"  c None\",\n";
  for (size_t i = 0; i < palette.size(); ++i)
    xpm += std::string("\"") + CODES[i] + " c " + Hex(palette[i]) + "\",\n";
  for (size_t i = 0; i < rows.size(); ++i)
    xpm += '"' + rows[i] + (i + 1 < rows.size() ? "\",\n" : "\"\n");
  xpm += "};\n";
  return xpm;
}

int Clamp255(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

}  // namespace

std::string BreakpointXpm() {
  constexpr int SIZE = 15;
  constexpr int SHADES = 64;  // reds from 36,0,0 to 255,0,0
  std::vector<Rgb> palette;
  for (int i = 0; i < SHADES; ++i) palette.push_back({36 + (255 - 36) * i / (SHADES - 1), 0, 0});

  // Lit from the upper left: the shade falls off with the distance from a
  // highlight above and left of the centre.
  constexpr double CENTRE = (SIZE - 1) / 2.0;
  constexpr double RADIUS = SIZE / 2.0;
  std::vector<std::string> rows;
  for (int y = 0; y < SIZE; ++y) {
    std::string row;
    for (int x = 0; x < SIZE; ++x) {
      if (std::hypot(x - CENTRE, y - CENTRE) > RADIUS - 0.2) {
        row += TRANSPARENT;
        continue;
      }
      const double light = std::hypot(x - (CENTRE - 2.0), y - (CENTRE - 2.5)) / (RADIUS * 1.7);
      const double shade = std::clamp(1.0 - light, 0.0, 1.0);
      row += CODES[static_cast<size_t>(std::lround(shade * (SHADES - 1)))];
    }
    rows.push_back(row);
  }
  return Xpm("breakpoint_xpm", SIZE, SIZE, palette, rows);
}

std::string DebugArrowXpm() {
  constexpr int SIZE = 12;
  constexpr int SHADES = 8;
  // Blues around 67,132,214: lighter at the top, darker at the bottom.
  std::vector<Rgb> palette;
  for (int i = 0; i < SHADES; ++i) {
    const double f = 1.25 - 0.07 * i;
    palette.push_back({Clamp255(67 * f), Clamp255(132 * f), Clamp255(214 * f)});
  }
  // A shaft over the middle rows, then a head from x = 6 to the tip at x = 12.
  std::vector<std::string> rows;
  for (int y = 0; y < SIZE; ++y) {
    std::string row;
    const double cy = y + 0.5;
    for (int x = 0; x < SIZE; ++x) {
      const double cx = x + 0.5;
      const bool shaft = cx >= 1.0 && cx < 6.0 && cy >= 4.0 && cy < 8.0;
      const bool head = cx >= 6.0 && std::fabs(cy - SIZE / 2.0) <= SIZE - cx;
      row += (shaft || head) ? CODES[static_cast<size_t>(y * SHADES / SIZE)] : TRANSPARENT;
    }
    rows.push_back(row);
  }
  return Xpm("debug_arrow_xpm", SIZE, SIZE, palette, rows);
}
