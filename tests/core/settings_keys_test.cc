// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a settings file's "Bild" value names a custom picture.
#include "core/settings/settings_keys.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace zielwerk {
namespace {

TEST(NamesCustomPictureTest, AnyValueHoldingThePlaceholderNamesNone) {
  const std::pair<std::string_view, bool> cases[] = {
      {"kein_BILD.bmp", false},        {"/pictures/kein_BILD.bmp.old", false},
      {"C:\\kein_BILD.bmp", false},    {"kein_bild.bmp", true},
      {"/home/anna/Zug.png", true},    {"", true},
  };
  for (const auto& [path, custom] : cases) EXPECT_EQ(NamesCustomPicture(path), custom) << path;
}

}  // namespace
}  // namespace zielwerk
