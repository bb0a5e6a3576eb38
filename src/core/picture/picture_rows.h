// SPDX-License-Identifier: GPL-3.0-or-later
// Growing a picture's pixels row by row as a reader's data arrives, so that a
// file that ends early, or declares a size its data does not fill, costs the
// rows it reached rather than the size in its header.
#pragma once

#include "picture/train_picture.h"

namespace zielwerk {

// Makes picture.rgba hold `rows` whole rows of picture.width pixels (the new
// ones 0), keeping the rows already there. Room is reserved by doubling but
// never for more than picture.height rows (or `rows`, if more), so a picture
// that reaches its declared height holds no spare room and has had each
// pixel copied at most once on average. Throws std::bad_alloc like any vector.
void GrowPictureRows(TrainPicture& picture, int rows);

}  // namespace zielwerk
