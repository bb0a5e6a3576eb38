// SPDX-License-Identifier: GPL-3.0-or-later
// The picture maker without a window: every picture, or the text, of a
// command line converted and saved in one run.
#pragma once

#include <ostream>

#include "core/picture/conversion_options.h"

namespace zielwerk {

// Converts what `request` names (which has an output) and saves each result,
// replacing a file that is there. One line per saved file goes to `out`, one
// line per problem to `problems`, and there too a note when the display cuts
// off part of the text (the text is saved all the same). Returns the exit
// status: 0 when every result was saved, cut text included; 1 when a picture
// could not be read or a result not be saved (the other pictures are still
// converted); 2 when several pictures are given and the output is no folder.
int RunBatchConversion(const ConversionRequest& request, std::ostream& out, std::ostream& problems);

// The scaled picture for `input` ("" for the request's text), or an empty
// one with `error` saying why.
GreyPicture ScaledSource(const ConversionRequest& request, const std::string& input, std::string& error);

}  // namespace zielwerk
