// SPDX-License-Identifier: GPL-3.0-or-later
// A line of text set as a picture for the display: a train's name or a
// railway's letters, in a font of the user's choice, as large as the
// display takes it.
#pragma once

#include <cstddef>
#include <string_view>

#include "picture/picture_conversion.h"

namespace zielwerk {

// The font a text is set in unless the user picks another.
inline constexpr const char* kDefaultTextFont = "Sans Bold";
// How a text is fitted unless the user says otherwise: a long name whole, a
// short one as high as the display.
inline constexpr PictureFit kDefaultTextFit = PictureFit::kWhole;
// Text beyond this many bytes is left out: far more than the display shows.
inline constexpr size_t kMaxPictureTextBytes = 256;

// `text` (UTF-8; line breaks and tabs count as blanks, ill-formed bytes as
// U+FFFD) set in `font`, a Pango font description such as "DejaVu Serif Bold
// Italic" whose size is ignored, black on white with smooth edges, at the
// largest size at which its inked part is at most 14 rows high (kHeight), at
// most 160 columns wide (kWidth), or both (kWhole). The picture is cut to the
// inked part, so its outermost columns and rows hold ink: when ShownSize is
// less than its size, the display cuts some of the text off. A text too long
// to fit the width at any size is set to the height instead. Empty when
// nothing is inked, or when cairo cannot draw it.
GreyPicture SetTextAsPicture(std::string_view text, std::string_view font, PictureFit fit);

}  // namespace zielwerk
