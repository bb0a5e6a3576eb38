// Modal message boxes with one OK button.
#pragma once

#include <string>

namespace zielwerk {

enum class MessageIcon { kNone, kInformation };

// The titles of the boxes that report wrong input and missing things.
inline constexpr const char* kErrorTitle = "F E H L E R";
inline constexpr const char* kWarningTitle = "W A R N U N G";

// Shows a modal box over the main window and returns when the user closes it.
void ShowMessageBox(const std::string& title, const std::string& text,
                    MessageIcon icon = MessageIcon::kNone);

}  // namespace zielwerk
