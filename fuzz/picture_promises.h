// SPDX-License-Identifier: GPL-3.0-or-later
// What the picture readers promise for any bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "core/picture/picture_reader.h"
#include "core/picture/train_picture.h"

namespace zielwerk::fuzzing {

// A returned picture has an allowed size, exactly four bytes per pixel, and
// (without alpha) every pixel opaque. Returns the broken promise or nullptr.
// The check's own loop over every pixel would steer the fuzzer by nothing
// of the reader's and cost as much as a small decode: it is left out of the
// coverage the fuzzer counts. (The suites built with GCC read this file too.)
#if defined(__clang__)
__attribute__((no_sanitize("coverage")))
#endif
inline const char* BrokenPicturePromise(const std::optional<TrainPicture>& picture) {
  if (!picture) return nullptr;
  if (!PictureSizeAllowed(picture->width, picture->height)) return "the size is allowed";
  if (picture->rgba.size() !=
      static_cast<size_t>(picture->width) * static_cast<size_t>(picture->height) * 4) {
    return "four bytes per pixel";
  }
  if (!picture->has_alpha) {
    for (size_t at = 3; at < picture->rgba.size(); at += 4) {
      if (picture->rgba[at] != 255) return "a picture without alpha is opaque";
    }
  }
  return nullptr;
}

// DecodePicture: the format is told by the first bytes alone, so bytes
// without a known signature give no picture.
inline const char* BrokenDecodePicturePromise(std::string_view bytes) {
  const std::optional<TrainPicture> picture = DecodePicture(bytes);
  if (const char* broken = BrokenPicturePromise(picture)) return broken;
  if (picture && !bytes.starts_with("BM") && !bytes.starts_with("\xFF\xD8") &&
      !bytes.starts_with("\x89PNG") && !bytes.starts_with("GIF")) {
    return "only a known signature gives a picture";
  }
  return nullptr;
}

}  // namespace zielwerk::fuzzing
