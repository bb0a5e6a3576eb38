// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/settings_commands.h"

#include "app/settings/current_settings.h"
#include "app/settings/settings_file.h"
#include "app/ui/file_requester.h"
#include "core/file/file_access.h"
#include "core/settings/settings_path.h"

namespace zielwerk {
namespace {
constexpr const char* kSettingsFilter = "Einstellungen | *.ini";
}  // namespace

void LoadSettingsCommand() {
  const std::string path = FileRequester(
      {FileRequestKind::kOpen, "Einstellungen laden:", WorkingFolder(), kSettingsFilter});
  if (path.empty()) return;
  SetCurrentSettingsPath(path);
  ReadSettingsFile();
}

void SaveSettingsCommand() { ShowSaveFailure(WriteSettingsFile(SettingsWrite::kByUser)); }

void SaveSettingsAsCommand() {
  const std::string path = FileRequester(
      {FileRequestKind::kSave, "Einstellungen speichern als:", WorkingFolder(), kSettingsFilter});
  if (path.empty()) return;
  SetCurrentSettingsPath(WithSettingsExtension(path));
  ShowSaveFailure(WriteSettingsFile(SettingsWrite::kByUser));
}

}  // namespace zielwerk
