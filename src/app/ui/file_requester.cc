// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/file_requester.h"

#include "app/ui/main_window.h"
#include "core/settings/settings_path.h"

namespace zielwerk {
namespace {

std::function<std::string(const FileRequest&)>& TestAnswer() {
  static std::function<std::string(const FileRequest&)> answer;
  return answer;
}

}  // namespace

void SetFileRequesterForTesting(std::function<std::string(const FileRequest&)> answer) {
  TestAnswer() = std::move(answer);
}

std::vector<Glib::RefPtr<Gtk::FileFilter>> FileFilters(const std::string& filter_text) {
  std::vector<Glib::RefPtr<Gtk::FileFilter>> filters;
  for (const FileFilter& parsed : ParseFilterText(filter_text)) {
    auto filter = Gtk::FileFilter::create();
    filter->set_name(parsed.name);
    for (const std::string& pattern : parsed.patterns) filter->add_pattern(ChooserPattern(pattern));
    filters.push_back(filter);
  }
  return filters;
}

std::string FileRequester(const FileRequest& request) {
  if (TestAnswer()) return TestAnswer()(request);
  return ChooseFile(Form(), request);
}

}  // namespace zielwerk
