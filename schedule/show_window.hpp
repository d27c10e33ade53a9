// The Windows show-window values the system hands to the programs it starts (SW_HIDE,
// SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_MINIMIZE), spelled out here since the core does not see
// <windows.h>.
#pragma once

namespace schedule {

inline constexpr int kShowHide = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMaximized = 3;
inline constexpr int kShowMinimized = 6;  // SW_MINIMIZE: minimized, without the focus

}  // namespace schedule
