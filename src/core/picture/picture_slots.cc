// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_slots.h"

#include <array>
#include <optional>

#include "picture/picture_reader.h"

namespace zielwerk {
namespace {

std::array<std::optional<TrainPicture>, kPictureSlotCount>& Slots() {
  static std::array<std::optional<TrainPicture>, kPictureSlotCount> slots;
  return slots;
}

}  // namespace

bool LoadPictureSlot(int slot, const std::string& path) {
  if (slot < 0 || slot >= kPictureSlotCount) return false;
  auto& held = Slots()[static_cast<size_t>(slot)];
  held.reset();
  held = ReadPictureFile(path);
  return held.has_value();
}

const TrainPicture* PictureInSlot(int slot) {
  if (slot < 0 || slot >= kPictureSlotCount) return nullptr;
  const auto& held = Slots()[static_cast<size_t>(slot)];
  return held ? &*held : nullptr;
}

}  // namespace zielwerk
