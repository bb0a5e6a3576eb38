// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/font_families.h"

#include <pango/pangocairo.h>

#include <ostream>

#include <gtest/gtest.h>

namespace zielwerk {
namespace {

struct FontCase {
  const char* families;
  PangoWeight weight;
};

void PrintTo(const FontCase& font, std::ostream* out) { *out << font.families; }

class FontFamilies : public testing::TestWithParam<FontCase> {};

// Each family list finds a face that has the letters of a station name,
// whether or not the system has the first family.
TEST_P(FontFamilies, ResolveToAFaceWithTheLetters) {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(map);
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, GetParam().families);
  pango_font_description_set_weight(description, GetParam().weight);
  pango_font_description_set_size(description, 14 * PANGO_SCALE);
  PangoFont* font = pango_font_map_load_font(map, context, description);
  ASSERT_NE(font, nullptr) << GetParam().families;
  for (gunichar letter : {gunichar{'A'}, gunichar{'p'}, gunichar{0xFC}}) {
    EXPECT_TRUE(pango_font_has_char(font, letter)) << GetParam().families << " U+" << letter;
  }
  g_object_unref(font);
  pango_font_description_free(description);
  g_object_unref(context);
}

INSTANTIATE_TEST_SUITE_P(ProgramTexts, FontFamilies,
                         testing::Values(FontCase{kPreviewFontFamilies, PANGO_WEIGHT_BOLD},
                                         FontCase{kPrintFontFamilies, PANGO_WEIGHT_NORMAL}));

}  // namespace
}  // namespace zielwerk
