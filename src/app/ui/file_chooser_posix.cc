// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtkmm/filechooserdialog.h>

#include "app/ui/file_requester.h"
#include "core/settings/settings_path.h"

namespace zielwerk {

std::string ChooserPattern(const std::string& pattern) { return CaseBlindPattern(pattern); }

std::string ChooseFile(Gtk::Window& parent, const FileRequest& request) {
  const bool save = request.kind == FileRequestKind::kSave;
  Gtk::FileChooserDialog dialog(parent, request.title,
                                save ? Gtk::FILE_CHOOSER_ACTION_SAVE : Gtk::FILE_CHOOSER_ACTION_OPEN);
  dialog.set_modal(true);
  dialog.add_button("_Abbrechen", Gtk::RESPONSE_CANCEL);
  dialog.add_button(save ? "_Speichern" : "_Öffnen", Gtk::RESPONSE_ACCEPT);
  dialog.set_default_response(Gtk::RESPONSE_ACCEPT);
  PrepareChooser(dialog, request);
  if (dialog.run() != Gtk::RESPONSE_ACCEPT) return {};
  return dialog.get_filename();
}

}  // namespace zielwerk
