// The title rule of the main window.
#pragma once

#include <string>
#include <string_view>

namespace zielwerk {

inline constexpr std::string_view kAppVersion = "0.95";

// "Zielwerk V0.95 - [" + file part of `settings_path` + "]": the file part is
// the text after the last "/" (all of it without one), surrounding double
// quotes dropped, extension kept.
std::string WindowTitle(std::string_view settings_path);

}  // namespace zielwerk
