// Multi-line edit controls break lines only at CR LF: lone line feeds become CR LF for display.
#pragma once

#include <string>
#include <string_view>

namespace scrivora {

template <class Char>
std::basic_string<Char> WithCrLfLineEnds(std::basic_string_view<Char> text) {
  std::basic_string<Char> out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == Char('\n') && (i == 0 || text[i - 1] != Char('\r'))) out.push_back(Char('\r'));
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace scrivora
