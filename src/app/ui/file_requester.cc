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

void PrepareChooser(Gtk::FileChooser& chooser, const FileRequest& request) {
  chooser.set_select_multiple(false);
  chooser.set_do_overwrite_confirmation(false);
  chooser.set_current_folder(request.start_folder);
  if (request.kind == FileRequestKind::kSave) chooser.set_current_name(request.current_name);
  const std::vector<Glib::RefPtr<Gtk::FileFilter>> filters = FileFilters(request.filter_text);
  for (const Glib::RefPtr<Gtk::FileFilter>& filter : filters) chooser.add_filter(filter);
  if (!filters.empty()) chooser.set_filter(filters.front());
}

std::string FileRequester(const FileRequest& request) {
  if (TestAnswer()) return TestAnswer()(request);
  return ChooseFile(Form(), request);
}

}  // namespace zielwerk
