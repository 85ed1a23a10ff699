// A configured control for the view's widget tests, with preferences the test
// can change between steps.
#pragma once

#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "editor/view/ScintillaWnd.h"

class ScintillaFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    m_wnd.SetSettingsSource([this] { return m_settings; });
    m_wnd.Init({"if", "for", "end", "function", "endfunction"});
  }

  // New text has the platform's line ends; tests write and read plain "\n".
  static std::string Lf(std::string_view text) {
    std::string out;
    for (char c : text)
      if (c != '\r') out += c;
    return out;
  }

  void SetLines(std::string_view text) { m_wnd.SetText(text); }
  std::string Lines() const { return Lf(m_wnd.GetText()); }

  // Caret to the end of the 1-based line, then Enter as the user presses it.
  void EnterAtEndOf(int line) {
    m_wnd.GotoPosition(m_wnd.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                           static_cast<unsigned long>(line - 1)));
    QTest::keyClick(&m_wnd, Qt::Key_Return);
  }

  int Indentation(int line0) const {
    return static_cast<int>(m_wnd.SendScintilla(QsciScintillaBase::SCI_GETLINEINDENTATION,
                                                static_cast<unsigned long>(line0)));
  }
  long Message(unsigned int message, unsigned long wParam = 0, long lParam = 0) const {
    return m_wnd.SendScintilla(message, wParam, lParam);
  }
  void Select(long anchor, long caret) {
    m_wnd.SendScintilla(QsciScintillaBase::SCI_SETSEL, static_cast<unsigned long>(anchor), caret);
  }

  ViewSettings m_settings;
  CScintillaWnd m_wnd;
};
