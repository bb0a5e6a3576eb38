// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a picture as a Windows bitmap, the format of the standard train
// pictures.
#pragma once

#include <string>

#include "picture/train_picture.h"

namespace zielwerk {

// `picture` as a bottom-up 24-bit BMP: a 40-byte info header, no
// compression, 72 dpi, rows padded to four bytes; alpha is dropped. Empty
// when the picture has no pixels or fewer bytes than its size promises.
std::string EncodeBmp24(const TrainPicture& picture);

}  // namespace zielwerk
