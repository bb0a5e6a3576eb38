// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/current_settings.h"

#include <glibmm/convert.h>

#include "app/ui/main_window.h"
#include "core/messages/messages.h"
#include "core/settings/settings_path.h"

namespace zielwerk {
namespace {

std::string current_settings_path(kDefaultSettingsPath);

}  // namespace

const std::string& CurrentSettingsPath() { return current_settings_path; }

void SetCurrentSettingsPath(const std::string& path) {
  current_settings_path = path;
  // The real name stays for opening and saving; the title shows it as GLib
  // shows file names, so a name that is not UTF-8 cannot reach the window.
  Form().set_title(WindowTitle(Glib::filename_display_name(path).raw()));
}

void ShowSaveFailure(const SaveResult& result) {
  if (result.ok) return;
  Form().SetStatusText(ComposeMessage(Message::kSettingsNotSaved, {SaveFailureReason(result)}));
}

}  // namespace zielwerk
