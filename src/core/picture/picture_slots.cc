// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_slots.h"

#include <array>
#include <optional>

namespace zielwerk {
namespace {

struct Slot {
  std::optional<TrainPicture> picture;
  PictureFileProblem problem = PictureFileProblem::kNone;
};

std::array<Slot, kPictureSlotCount>& Slots() {
  static std::array<Slot, kPictureSlotCount> slots;
  return slots;
}

}  // namespace

bool LoadPictureSlot(int slot, const std::string& path) {
  if (slot < 0 || slot >= kPictureSlotCount) return false;
  Slot& held = Slots()[static_cast<size_t>(slot)];
  held.picture.reset();
  held.picture = ReadPictureFile(path, held.problem);
  return held.picture.has_value();
}

PictureFileProblem PictureSlotProblem(int slot) {
  if (slot < 0 || slot >= kPictureSlotCount) return PictureFileProblem::kNone;
  return Slots()[static_cast<size_t>(slot)].problem;
}

const TrainPicture* PictureInSlot(int slot) {
  if (slot < 0 || slot >= kPictureSlotCount) return nullptr;
  const auto& held = Slots()[static_cast<size_t>(slot)].picture;
  return held ? &*held : nullptr;
}

}  // namespace zielwerk
