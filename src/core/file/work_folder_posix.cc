// SPDX-License-Identifier: GPL-3.0-or-later
#include "file/work_folder.h"

#include <filesystem>

#include "file/help_page.h"

namespace zielwerk {

// The launcher script of the installed program has chosen the folder already.
WorkFolder EnterWorkFolder() { return {}; }

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string();
}

}  // namespace zielwerk
