// SPDX-License-Identifier: GPL-3.0-or-later
// The picture maker's command line: which pictures or which text to convert,
// where the results go, and the settings of the conversion. Options are in
// English as command-line tools have them; help and messages are German.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "picture/picture_conversion.h"

namespace zielwerk {

struct ConversionRequest {
  std::vector<std::string> inputs;  // picture files, in the order given
  std::optional<std::string> text;  // --text: set this instead of a file
  std::string font;                 // --font; kDefaultTextFont when not given
  std::optional<std::string> output;  // -o: a file, or a folder for the results
  PictureFit fit = kDefaultPictureFit;  // --fit; kDefaultTextFit for a text when not given
  DotSettings dots;
  bool help = false;
};

struct ParsedArguments {
  std::optional<ConversionRequest> request;  // nullopt when the command line is wrong
  std::string error;                         // then why, in German
};

// Reads the arguments after the program's name. "--name value" and
// "--name=value" both work; "--" ends the options. Without -o the window
// opens (with at most one picture, or the text); with -o the pictures or the
// text are converted without a window.
ParsedArguments ParseConversionArguments(const std::vector<std::string>& arguments);

// What --help prints.
extern const std::string_view kConversionUsage;

// Where the result for `input` goes when -o names the folder `folder`:
// the input's file name with its last extension replaced by ".bmp" ("text.bmp"
// for an input of "", the text). `separators` are the path's separators;
// when the folder ends in none, the one it uses already (else the last of
// them, "\\" on Windows) goes between folder and name.
std::string OutputInFolder(std::string_view folder, std::string_view input,
                           std::string_view separators);

}  // namespace zielwerk
