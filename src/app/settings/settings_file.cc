#include "app/settings/settings_file.h"

#include "app/ui/main_window.h"
#include "core/settings/window_title.h"

namespace zielwerk {
namespace {
std::string current_settings_path = "Default.ini";
}  // namespace

const std::string& CurrentSettingsPath() { return current_settings_path; }

void SetCurrentSettingsPath(const std::string& path) {
  current_settings_path = path;
  Form().set_title(WindowTitle(path));
}

void ReadSettingsFile() {}

void WriteSettingsFile() {}

}  // namespace zielwerk
