// SPDX-License-Identifier: GPL-3.0-or-later
// The picture maker's command line: what it accepts, what it refuses and
// why, and where results go in a folder.
#include "core/picture/conversion_options.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zielwerk {
namespace {

using Arguments = std::vector<std::string>;

TEST(ConversionOptionsTest, ReadsEveryOptionInBothSpellings) {
  const ParsedArguments parsed =
      ParseConversionArguments({"a.jpg", "--threshold=90", "--dither", "atkinson", "--invert", "--fit=width",
                                "-o", "out", "--", "-b.png"});
  ASSERT_TRUE(parsed.request) << parsed.error;
  const ConversionRequest& request = *parsed.request;
  EXPECT_EQ(request.inputs, (Arguments{"a.jpg", "-b.png"}));
  EXPECT_EQ(request.output, "out");
  EXPECT_EQ(request.dots.threshold, 90);
  EXPECT_EQ(request.dots.dithering, Dithering::kAtkinson);
  EXPECT_TRUE(request.dots.invert);
  EXPECT_EQ(request.fit, PictureFit::kWidth);

  const ParsedArguments text = ParseConversionArguments({"--text", "RhB", "--font", "DejaVu Serif", "-o", "x.bmp"});
  ASSERT_TRUE(text.request) << text.error;
  EXPECT_EQ(text.request->text, "RhB");
  EXPECT_EQ(text.request->font, "DejaVu Serif");
  // Without -o the window opens, with defaults where nothing is given.
  const ParsedArguments window = ParseConversionArguments({"a.jpg"});
  ASSERT_TRUE(window.request);
  EXPECT_FALSE(window.request->output);
  EXPECT_EQ(window.request->dots.threshold, kDefaultThreshold);
  EXPECT_EQ(window.request->font, "Sans Bold");
}

TEST(ConversionOptionsTest, ATextIsSetWholeAndAPictureFillsTheHeightUnlessToldOtherwise) {
  struct Case {
    Arguments arguments;
    PictureFit fit;
  };
  for (const Case& c : {Case{{"a.jpg", "-o", "x"}, PictureFit::kHeight},
                        {{"--text", "RhB", "-o", "x"}, PictureFit::kWhole},
                        {{"--text", "RhB", "--fit", "height"}, PictureFit::kHeight},
                        {{"a.jpg", "--fit=whole", "-o", "x"}, PictureFit::kWhole}}) {
    const ParsedArguments parsed = ParseConversionArguments(c.arguments);
    ASSERT_TRUE(parsed.request) << parsed.error;
    EXPECT_EQ(parsed.request->fit, c.fit) << ::testing::PrintToString(c.arguments);
  }
}

TEST(ConversionOptionsTest, RefusesWrongCommandLinesWithTheReason) {
  struct Case {
    Arguments arguments;
    const char* reason;
  };
  const Case cases[] = {
      {{"a.jpg", "-o"}, "Zu -o fehlt der Wert."},
      {{"a.jpg", "--threshold", "256", "-o", "x"}, "\xE2\x80\x9E" "256\xE2\x80\x9C f\xC3\xBCr --threshold"},
      {{"a.jpg", "--threshold", "12a", "-o", "x"}, "f\xC3\xBCr --threshold"},
      {{"a.jpg", "--dither", "ordered", "-o", "x"}, "erlaubt sind none, floyd-steinberg und atkinson"},
      {{"a.jpg", "--fit", "both", "-o", "x"}, "erlaubt sind whole, height und width"},
      {{"a.jpg", "--colour", "-o", "x"}, "Unbekannte Option \xE2\x80\x9E--colour\xE2\x80\x9C"},
      {{"--invert=yes", "a.jpg"}, "--invert hat keinen Wert."},
      {{"a.jpg", "--text", "RhB", "-o", "x"}, "entweder --text oder Bilder"},
      {{"-o", "x.bmp"}, "Zu -o fehlt das Bild oder der Text"},
      {{"a.jpg", "b.jpg"}, "mehrere Bilder wandelt er mit -o in einen Ordner um"},
  };
  for (const Case& c : cases) {
    const ParsedArguments parsed = ParseConversionArguments(c.arguments);
    EXPECT_FALSE(parsed.request) << ::testing::PrintToString(c.arguments);
    EXPECT_NE(parsed.error.find(c.reason), std::string::npos) << parsed.error;
  }
}

TEST(ConversionOptionsTest, ResultsInAFolderTakeTheInputsNames) {
  struct Case {
    const char* folder;
    const char* input;
    const char* path;
  };
  for (const Case& c : {Case{"out", "/photos/IMG_0815.JPG", "out/IMG_0815.bmp"},
                        {"out/", "wagen_RhB.bmp", "out/wagen_RhB.bmp"},
                        {".", "a.b.png", "./a.b.bmp"},
                        {"out", ".hidden", "out/.hidden.bmp"},
                        {"out", "", "out/text.bmp"}}) {
    EXPECT_EQ(OutputInFolder(c.folder, c.input, "/"), c.path);
  }
  EXPECT_EQ(OutputInFolder("C:\\Bilder", "D:\\Fotos\\zug.jpg", "/\\"), "C:\\Bilder\\zug.bmp");
  EXPECT_EQ(OutputInFolder("C:", "zug.jpg", "/\\"), "C:\\zug.bmp");
}

}  // namespace
}  // namespace zielwerk
