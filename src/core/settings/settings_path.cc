#include "core/settings/window_title.h"

namespace zielwerk {

std::string WindowTitle(std::string_view settings_path) {
  std::string_view file = settings_path;
  if (const size_t slash = file.rfind('/'); slash != std::string_view::npos) {
    file.remove_prefix(slash + 1);
  }
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') {
    file = file.substr(1, file.size() - 2);
  } else {
    while (!file.empty() && file.front() == '"') file.remove_prefix(1);
    while (!file.empty() && file.back() == '"') file.remove_suffix(1);
  }
  return "Zielwerk V" + std::string(kAppVersion) + " - [" + std::string(file) + "]";
}

}  // namespace zielwerk
