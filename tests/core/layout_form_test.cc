// SPDX-License-Identifier: GPL-3.0-or-later
// The form's places: the Linux table, the table scaled for larger texts and
// the compacted layout of the smaller Windows window.
#include "core/layout/form_layout.h"

#include <gtest/gtest.h>

namespace zielwerk {
namespace {

bool Overlap(const FormRect& a, const FormRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool Inside(const FormRect& inner, const FormRect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

int Bottom(const FormLayout& layout) {
  int bottom = 0;
  for (const FormRect& rect : layout) bottom = std::max(bottom, rect.y + rect.height);
  return bottom;
}

// Control `i` of `layout` stays inside the controls (the frames) that hold it
// in `base` and overlaps no control it does not overlap there.
void ExpectNeighboursKept(const FormLayout& base, const FormLayout& layout, size_t i) {
  for (size_t j = 0; j < kFormControlCount; ++j) {
    if (j == i) continue;
    if (Inside(base[i], base[j])) {
      EXPECT_TRUE(Inside(layout[i], layout[j])) << "left frame " << j;
    }
    if (!Overlap(base[i], base[j])) {
      EXPECT_FALSE(Overlap(layout[i], layout[j])) << "with " << j;
    }
  }
}

// Everything that makes a compacted layout a faithful copy of the base one:
// same x and sizes, inside the form, the same controls inside the same
// frames, no overlap that the base layout does not have, rows in order.
void ExpectFaithful(const FormLayout& base, const FormLayout& layout, int form_height,
                    int window_width = kMainWindowWidth) {
  for (size_t i = 0; i < kFormControlCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(layout[i].x, base[i].x);
    EXPECT_EQ(layout[i].width, base[i].width);
    EXPECT_EQ(layout[i].height, base[i].height);
    EXPECT_GE(layout[i].y, 0);
    EXPECT_LE(layout[i].y + layout[i].height, form_height);
    EXPECT_LE(layout[i].x + layout[i].width, window_width);
    ExpectNeighboursKept(base, layout, i);
    for (size_t j = 0; j < kFormControlCount; ++j) {
      if (base[i].y < base[j].y) {
        EXPECT_LE(layout[i].y, layout[j].y) << "order with " << j;
      }
    }
  }
}

struct CompactCase {
  int form_height;
  int bottom;  // where the lowest control ends
};

class CompactFormLayoutTest : public ::testing::TestWithParam<CompactCase> {};

TEST_P(CompactFormLayoutTest, FitsTheHeightKeepingEverythingElse) {
  const FormLayout& base = BaseFormLayout();
  const FormLayout layout = CompactFormLayout(base, GetParam().form_height);
  ExpectFaithful(base, layout, GetParam().form_height);
  EXPECT_EQ(Bottom(layout), GetParam().bottom);
  // The first row keeps its place.
  EXPECT_EQ(layout[static_cast<size_t>(FormControl::kDccAnalogFrame)],
            base[static_cast<size_t>(FormControl::kDccAnalogFrame)]);
}

// The rows need 430 pixels with a top margin of 10 and 50 pixels of gaps
// between them; a margin of 10 below is kept while the gaps can give it.
INSTANTIATE_TEST_SUITE_P(Heights, CompactFormLayoutTest,
                         ::testing::Values(CompactCase{520, 430}, CompactCase{440, 430},
                                           CompactCase{439, 429}, CompactCase{400, 390},
                                           CompactCase{392, 382}, CompactCase{390, 380},
                                           CompactCase{385, 380}, CompactCase{380, 380}));

TEST(CompactFormLayoutTest, GapsShrinkInProportion) {
  const FormLayout& base = BaseFormLayout();
  // 25 of the 50 pixels go: each gap keeps half (10, 10, 20, 10 become 5, 5, 10, 5).
  const FormLayout layout = CompactFormLayout(base, 415);
  const auto y = [&](FormControl control) { return layout[static_cast<size_t>(control)].y; };
  EXPECT_EQ(y(FormControl::kInvertDirectionCheck), 125);
  EXPECT_EQ(y(FormControl::kScrollTextLabel), 210);
  EXPECT_EQ(y(FormControl::kEndModeFrame), 260);
  EXPECT_EQ(y(FormControl::kTrainTypeFrame), 345);
}

TEST(ScaleFormLayoutTest, FactorOneIsTheIdentity) {
  EXPECT_EQ(ScaleFormLayout(BaseFormLayout(), 1.0), BaseFormLayout());
}

// Factors of common desktop settings (100, 120, 144 and 168 dpi, 200 %) and
// odd ones whose rounding falls differently from edge to edge.
class ScaleFormLayoutTest : public ::testing::TestWithParam<double> {};

TEST_P(ScaleFormLayoutTest, KeepsNeighboursApartAndControlsInTheirFrames) {
  const double factor = GetParam();
  const FormLayout& base = BaseFormLayout();
  const FormLayout scaled = ScaleFormLayout(base, factor);
  for (size_t i = 0; i < kFormControlCount; ++i) {
    SCOPED_TRACE(i);
    // Every edge lies within half a pixel of where the factor puts it.
    EXPECT_NEAR(scaled[i].x, base[i].x * factor, 0.5);
    EXPECT_NEAR(scaled[i].y, base[i].y * factor, 0.5);
    EXPECT_NEAR(scaled[i].x + scaled[i].width, (base[i].x + base[i].width) * factor, 0.5);
    EXPECT_NEAR(scaled[i].y + scaled[i].height, (base[i].y + base[i].height) * factor, 0.5);
    ExpectNeighboursKept(base, scaled, i);
  }
}

// The smaller Windows window compacts the scaled form as it does the one at
// factor 1: a form area of the Windows window's 392 pixels, scaled.
TEST_P(ScaleFormLayoutTest, CompactionKeepsTheScaledFormFaithful) {
  const double factor = GetParam();
  const FormLayout scaled = ScaleFormLayout(BaseFormLayout(), factor);
  const int form_height = ScaleLength(392, factor);
  ExpectFaithful(scaled, CompactFormLayout(scaled, form_height), form_height,
                 ScaleLength(kMainWindowWidth, factor));
}

INSTANTIATE_TEST_SUITE_P(Factors, ScaleFormLayoutTest,
                         ::testing::Values(100 / 96.0, 1.25, 1.5, 1.75, 2.0, 1.13, 1.37, 2.71));

// A picture takes its control's growth: one of the control's own size fills
// the control's place exactly, whatever the rounding of its edges.
TEST(PictureInPlaceTest, GrowsAsItsControl) {
  const FormRect base{330, 95, 160, 14};
  const FormRect place{695, 279, 337, 29};
  EXPECT_EQ(PictureInPlace(160, 14, base, place), place);
  EXPECT_EQ(PictureInPlace(161, 14, base, place), (FormRect{695, 279, 339, 29}));
  EXPECT_EQ(PictureInPlace(80, 7, base, place), (FormRect{695, 279, 169, 15}));
  EXPECT_EQ(PictureInPlace(160, 14, base, base), base);
  EXPECT_EQ(PictureInPlace(20, 30, FormRect{0, 0, 0, 0}, place), (FormRect{695, 279, 20, 30}));
}

// Whatever the heights of menu, toolbar and status bar, the layout this
// build shows lies inside its form area.
TEST(PlatformFormLayoutTest, LiesInsideTheFormArea) {
  for (const int toolbar_height : {30, 38, 46}) {
    SCOPED_TRACE(toolbar_height);
    const int form_height = kMainWindowHeight - toolbar_height - 50;
    const FormLayout layout = PlatformFormLayout(toolbar_height, form_height);
    for (const FormRect& rect : layout) {
      EXPECT_GE(rect.y, 0);
      EXPECT_LE(rect.y + rect.height, form_height);
    }
  }
}

}  // namespace
}  // namespace zielwerk
