// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures the system decodes where the bundled gdk-pixbuf cannot: on
// Windows through the Windows Imaging Component, TIFF above all (the Windows
// build's gdk-pixbuf has no TIFF loader); nothing on Linux, where gdk-pixbuf
// brings the system's own loaders.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/picture/train_picture.h"

namespace zielwerk {

struct SystemDecoding {
  std::optional<TrainPicture> picture;  // nullopt when the system cannot decode the bytes
  int width = 0;                        // the size the picture claims, once known
  int height = 0;
  bool too_large = false;  // refused by PictureSizeAllowed before decoding
};

// Decodes the first frame of `bytes` with the system's decoders, asking for
// the size first and refusing a picture larger than the readers accept.
SystemDecoding DecodeWithSystem(std::string_view bytes);

// File name extensions (without the dot) of the formats DecodeWithSystem
// adds to gdk-pixbuf's.
std::vector<std::string> SystemPictureExtensions();

}  // namespace zielwerk
