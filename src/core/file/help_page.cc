// SPDX-License-Identifier: GPL-3.0-or-later
#include "file/help_page.h"

#include "file/file_access.h"

namespace zielwerk {
namespace {

// `path` without its last part ("" when it has only one).
std::string_view ParentOf(std::string_view path) {
  const size_t separator = path.find_last_of(kPathSeparators);
  return separator == std::string_view::npos ? std::string_view() : path.substr(0, separator);
}

}  // namespace

std::vector<std::string> HelpPageCandidates(const std::string& program_folder) {
  // Joined with the separator the folder's own path uses ("\" from Windows).
  const size_t last = program_folder.find_last_of(kPathSeparators);
  const std::string s(1, last == std::string::npos ? '/' : program_folder[last]);
  const std::string page = "laufschild" + s + "laufschild.html";
  std::vector<std::string> candidates = {program_folder + s + "hilfe" + s + page};
  // libexec/zielwerk/zielwerk beside share/help/de/zielwerk/.
  const std::string_view prefix = ParentOf(ParentOf(program_folder));
  if (!prefix.empty()) {
    candidates.push_back(std::string(prefix) + s + "share" + s + "help" + s + "de" + s +
                         "zielwerk" + s + page);
  }
  return candidates;
}

std::optional<std::string> FindHelpPage(const std::string& program_folder) {
  if (program_folder.empty()) return std::nullopt;
  for (const std::string& candidate : HelpPageCandidates(program_folder)) {
    if (IsRegularFile(candidate)) return candidate;
  }
  return std::nullopt;
}

std::string FileUrl(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~' ||
        byte == '/') {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0x0F];
    }
  }
  return url;
}

}  // namespace zielwerk
