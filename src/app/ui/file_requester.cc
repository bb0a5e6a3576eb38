// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/file_requester.h"

#include <gtkmm/filechooserdialog.h>

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
    for (const std::string& pattern : parsed.patterns) filter->add_pattern(CaseBlindPattern(pattern));
    filters.push_back(filter);
  }
  return filters;
}

std::string FileRequester(const FileRequest& request) {
  if (TestAnswer()) return TestAnswer()(request);
  const bool save = request.kind == FileRequestKind::kSave;
  Gtk::FileChooserDialog dialog(Form(), request.title,
                                save ? Gtk::FILE_CHOOSER_ACTION_SAVE : Gtk::FILE_CHOOSER_ACTION_OPEN);
  dialog.set_modal(true);
  dialog.add_button("_Abbrechen", Gtk::RESPONSE_CANCEL);
  dialog.add_button(save ? "_Speichern" : "_Öffnen", Gtk::RESPONSE_ACCEPT);
  dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
  dialog.set_select_multiple(false);
  dialog.set_do_overwrite_confirmation(false);
  dialog.set_current_folder(request.start_folder);
  if (save) dialog.set_current_name("");
  const std::vector<Glib::RefPtr<Gtk::FileFilter>> filters = FileFilters(request.filter_text);
  for (const Glib::RefPtr<Gtk::FileFilter>& filter : filters) dialog.add_filter(filter);
  if (!filters.empty()) dialog.set_filter(filters.front());
  if (dialog.run() != Gtk::RESPONSE_ACCEPT) return {};
  return dialog.get_filename();
}

}  // namespace zielwerk
