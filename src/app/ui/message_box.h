// Modal message boxes with one OK button.
#pragma once

#include <string>

namespace zielwerk {

enum class MessageIcon { kNone, kInformation };

// Shows a modal box over the main window and returns when the user closes it.
void ShowMessageBox(const std::string& title, const std::string& text,
                    MessageIcon icon = MessageIcon::kNone);

}  // namespace zielwerk
