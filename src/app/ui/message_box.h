// SPDX-License-Identifier: GPL-3.0-or-later
// Modal message boxes with one OK button.
#pragma once

#include <string>
#include <string_view>

#include "core/messages/messages.h"

namespace zielwerk {

enum class MessageIcon { kNone, kInformation };

// The titles of the boxes that report wrong input and missing things.

// Shows a modal box over the main window and returns when the user closes it.
void ShowMessageBox(std::string_view title, std::string_view text,
                    MessageIcon icon = MessageIcon::kNone);

}  // namespace zielwerk
