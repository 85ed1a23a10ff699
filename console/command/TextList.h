// A list of texts kept end to end in one buffer: a long list costs its
// characters and one offset each, not a string object and an allocation each.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CTextList {
 public:
  void Reserve(size_t count, size_t chars) {
    m_ends.reserve(count);
    m_text.reserve(chars);
  }
  void PushBack(std::string_view text) {
    m_text.append(text);
    m_ends.push_back(m_text.size());
  }

  size_t Size() const { return m_ends.size(); }
  bool Empty() const { return m_ends.empty(); }
  std::string_view operator[](size_t index) const {
    const size_t begin = index == 0 ? 0 : m_ends[index - 1];
    return std::string_view(m_text).substr(begin, m_ends[index] - begin);
  }
  std::string_view Back() const { return (*this)[Size() - 1]; }

 private:
  std::string m_text;
  std::vector<size_t> m_ends;  // where each text ends in m_text
};
