// SPDX-License-Identifier: GPL-3.0-or-later
// Printing the settings file in use on one page through GTK's print dialog.
#include <glibmm/convert.h>
#include <gtkmm/printoperation.h>

#include "app/settings/settings_commands.h"
#include "app/settings/current_settings.h"
#include "app/ui/main_window.h"
#include "core/picture/picture_slots.h"
#include "core/print/settings_page.h"

namespace zielwerk {
namespace {

std::string& ExportPathForTesting() {
  static std::string path;
  return path;
}

void ShowPrintFailure(std::string_view reason) {
  Form().SetStatusText(ComposeMessage(Message::kPrintFailed, {reason}));
}

}  // namespace

void SetPrintExportForTesting(const std::string& pdf_path) { ExportPathForTesting() = pdf_path; }

void PrintSettingsCommand() {
  auto operation = Gtk::PrintOperation::create();
  operation->set_job_name("Zielwerk");
  operation->set_n_pages(1);
  operation->set_unit(Gtk::UNIT_MM);
  // The page is laid out from the paper's corner, not the printable area's.
  operation->set_use_full_page(true);
  operation->signal_draw_page().connect(
      [](const Glib::RefPtr<Gtk::PrintContext>& context, int) {
        // The file, not the form: unsaved edits are not printed.
        SettingsPageValues values = ReadSettingsPageValues(CurrentSettingsPath());
        values.settings_path = Glib::filename_display_name(values.settings_path).raw();
        values.picture_path = Glib::filename_display_name(values.picture_path).raw();
        DrawSettingsPage(context->get_cairo_context()->cobj(), values,
                         PictureInSlot(kCustomPictureSlot));
      });
  // A job that fails after the dialog (the printer refuses it) reports it here
  // rather than through run().
  operation->signal_done().connect([raw = operation->gobj()](Gtk::PrintOperationResult result) {
    if (result != Gtk::PRINT_OPERATION_RESULT_ERROR) return;
    GError* error = nullptr;
    gtk_print_operation_get_error(raw, &error);
    ShowPrintFailure(error != nullptr ? error->message : "");
    g_clear_error(&error);
  });
  try {
    if (!ExportPathForTesting().empty()) {
      operation->set_export_filename(ExportPathForTesting());
      operation->run(Gtk::PRINT_OPERATION_ACTION_EXPORT, Form());
    } else {
      operation->run(Gtk::PRINT_OPERATION_ACTION_PRINT_DIALOG, Form());
    }
  } catch (const Glib::Error& error) {
    ShowPrintFailure(error.what().raw());
  }
}

}  // namespace zielwerk
