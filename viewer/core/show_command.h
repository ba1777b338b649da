// The viewer's rule for the show command the system starts it with: hidden stays hidden,
// minimised-without-activation stays so, everything else opens the frame in its normal size.
#pragma once

namespace scrivora {

inline constexpr int kShowHide = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinNoActive = 7;

constexpr int AdjustShowCommand(int show) {
  return show == kShowHide || show == kShowMinNoActive ? show : kShowNormal;
}

}  // namespace scrivora
