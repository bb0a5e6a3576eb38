// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtkmm/dialog.h>
#include <gtkmm/filechoosernative.h>

#include "app/ui/file_requester.h"

namespace zielwerk {

std::string ChooserPattern(const std::string& pattern) { return pattern; }

// GTK hands a native chooser to Windows' own file dialog, with Quick access,
// OneDrive and the network places the user has there.
std::string ChooseFile(Gtk::Window& parent, const FileRequest& request) {
  const bool save = request.kind == FileRequestKind::kSave;
  const Glib::RefPtr<Gtk::FileChooserNative> dialog = Gtk::FileChooserNative::create(
      request.title, parent, save ? Gtk::FILE_CHOOSER_ACTION_SAVE : Gtk::FILE_CHOOSER_ACTION_OPEN,
      save ? "_Speichern" : "_Öffnen", "_Abbrechen");
  dialog->set_modal(true);
  PrepareChooser(*dialog.operator->(), request);
  if (dialog->run() != Gtk::RESPONSE_ACCEPT) return {};
  return dialog->get_filename();
}

}  // namespace zielwerk
