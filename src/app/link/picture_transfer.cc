// SPDX-License-Identifier: GPL-3.0-or-later
// Sending the custom train picture to the display as seven row-pair commands.
#include "app/link/link_commands.h"
#include "app/preview/train_pictures.h"
#include "app/settings/current_settings.h"
#include "app/ui/main_window.h"
#include "core/ini/ini_store.h"
#include "core/picture/picture_bits.h"
#include "core/picture/picture_location.h"
#include "core/picture/picture_slots.h"
#include "core/settings/settings_keys.h"

namespace zielwerk {

void TransferPictureCommand() {
  // Whether a custom picture was chosen is the settings file's to say, read
  // afresh: a file saved under a new name has none, whatever slot 3 holds.
  OpenIni(CurrentSettingsPath());
  const std::string picture_path = ReadIniFileName(kKeyPicture, kNoPicturePath);
  CloseIni();
  if (!NamesCustomPicture(picture_path)) {
    Form().SetStatusText(std::string(MessageText(Message::kNoPictureLoaded)));
    return;
  }
  const TrainPicture* picture = PictureInSlot(kCustomPictureSlot);
  if (!picture) {
    // The file may be back since the settings were read (a stick plugged in
    // again); the preview then shows it too.
    ApplyPictureSetting(picture_path);
    picture = PictureInSlot(kCustomPictureSlot);
  }
  if (!picture) {
    Form().SetStatusText(
        PictureNotSentStatus(LocatePictureFile(picture_path, CurrentSettingsPath()),
                             PictureSlotProblem(kCustomPictureSlot)));
    return;
  }
  // The rows are taken now: the picture may change while earlier transfers
  // still go on.
  SendPicture(PictureRowCommands(*picture));
}

}  // namespace zielwerk
