// SPDX-License-Identifier: GPL-3.0-or-later
// The four picture slots: 0 to 2 the standard train pictures, 3 the custom
// one. Slot numbers equal the entries of the train-type list.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "picture/picture_reader.h"
#include "picture/train_picture.h"

namespace zielwerk {

inline constexpr int kPictureSlotCount = 4;
inline constexpr int kCustomPictureSlot = 3;

// The standard train pictures' files in the working folder, by slot (and so
// by train type: "BERNINA EXPRESS", "GLACIER EXPRESS", "REGIO EXPRESS").
inline constexpr std::array<std::string_view, kCustomPictureSlot> kStandardPictureFiles = {
    "wagen_BERNINA_EXPRESS.bmp", "wagen_GLACIER_EXPRESS.bmp", "wagen_REGIO_EXPRESS.bmp"};

// Empties the slot, then reads the file at `path` into it. Returns whether
// the slot now holds a picture; a failure leaves it empty.
bool LoadPictureSlot(int slot, const std::string& path);

// Why the slot's last load gave no picture (kNone when it gave one, or for
// no slot).
PictureFileProblem PictureSlotProblem(int slot);

// The slot's picture, or null when the slot is empty or `slot` is no slot.
// The pointer stays valid until the slot is loaded again.
const TrainPicture* PictureInSlot(int slot);

}  // namespace zielwerk
