// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/preview/train_pictures.h"

#include <array>

#include "app/settings/form_rules.h"
#include "app/settings/current_settings.h"
#include "app/ui/file_requester.h"
#include "core/file/file_access.h"
#include "app/ui/main_window.h"
#include "app/ui/message_box.h"
#include "app/ui/picture_pixbuf.h"
#include "core/ini/ini_store.h"
#include "core/layout/form_layout.h"
#include "core/picture/picture_bits.h"
#include "core/picture/picture_location.h"
#include "core/picture/picture_slots.h"
#include "core/settings/settings_keys.h"

namespace zielwerk {
namespace {

// The slots' pictures converted for display once, when a slot is loaded.
std::array<Glib::RefPtr<Gdk::Pixbuf>, kPictureSlotCount> slot_pixbufs;

void LoadSlot(int slot, const std::string& path) {
  LoadPictureSlot(slot, path);
  const TrainPicture* picture = PictureInSlot(slot);
  slot_pixbufs[static_cast<size_t>(slot)] =
      picture ? PixbufFromPicture(*picture) : Glib::RefPtr<Gdk::Pixbuf>();
}

// Shows the slot's picture at its own size, enlarged as the form is; an empty
// slot (or no slot) clears the control, which keeps its size.
void ShowSlot(int slot) {
  MainWindow& form = Form();
  if (slot < 0 || slot >= kPictureSlotCount || !slot_pixbufs[static_cast<size_t>(slot)]) {
    form.train_picture_image.clear();
    return;
  }
  const auto& pixbuf = slot_pixbufs[static_cast<size_t>(slot)];
  const FormRect shown = PictureInPlace(
      pixbuf->get_width(), pixbuf->get_height(),
      BaseFormLayout()[static_cast<size_t>(FormControl::kTrainPictureImage)],
      form.place(FormControl::kTrainPictureImage));
  form.train_picture_image.set(
      EnlargedPicture(pixbuf, shown.width, shown.height, form.get_scale_factor()));
  form.form_area.Resize(form.train_picture_image, shown.width, shown.height);
}

}  // namespace

void LoadStandardPictures() {
  for (int slot = 0; slot < kCustomPictureSlot; ++slot) {
    LoadSlot(slot, std::string(kStandardPictureFiles[static_cast<size_t>(slot)]));
  }
}

void ApplyPictureSetting(const std::string& picture_path) {
  LoadSlot(kCustomPictureSlot, LocatePictureFile(picture_path, CurrentSettingsPath()));
  ShowSlot(SelectedEntry(Form().train_type_combo));
}

void ShowTrainPicture(ControlEventKind kind) {
  if (kind != ControlEventKind::kChange) return;
  ShowSlot(SelectedEntry(Form().train_type_combo));
  ApplyCarNumberRule(kind);
}

void LoadTrainPictureCommand() {
  // The picture goes into the settings file; one the store will not write
  // is not changed at all, not even in the preview.
  OpenIni(CurrentSettingsPath());
  const bool settings_are_text = IniFileIsText();
  CloseIni();
  if (!settings_are_text) {
    ShowMessageBox(MessageText(Message::kWarningTitle),
                   MessageText(Message::kPictureSettingsNotText));
    return;
  }
  const std::string path =
      FileRequester({FileRequestKind::kOpen, "Bild individueller Zugtyp laden:", WorkingFolder(),
                     "Bild | *.bmp;*.gif;*.jpeg;*.jpg;*.png"});
  if (path.empty()) return;
  LoadSlot(kCustomPictureSlot, path);
  const TrainPicture* picture = PictureInSlot(kCustomPictureSlot);
  if (!picture) {
    ShowMessageBox(MessageText(Message::kErrorTitle), MessageText(Message::kPictureNotLoaded));
    return;
  }
  if (picture->width != kDisplayPictureWidth || picture->height != kDisplayPictureHeight) {
    ShowMessageBox(MessageText(Message::kWarningTitle), ComposeMessage(Message::kPictureWrongSize,
                                                {std::to_string(kDisplayPictureWidth),
                                                 std::to_string(kDisplayPictureHeight)}));
  }
  ShowTrainPicture(ControlEventKind::kChange);
  OpenIni(CurrentSettingsPath());
  WriteIniText(kKeyPicture, path);
  ShowSaveFailure(CloseIni());
  SelectEntry(Form().train_type_combo, kCustomPictureSlot);
  ShowTrainPicture(ControlEventKind::kChange);
}

}  // namespace zielwerk
