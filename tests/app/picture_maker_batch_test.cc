// SPDX-License-Identifier: GPL-3.0-or-later
// The picture maker without a window: many pictures in one run, and the
// files it cannot read or write, each named with its reason.
#include <sys/stat.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/picture/conversion_options.h"
#include "core/picture/picture_bits.h"
#include "core/picture/picture_reader.h"
#include "core/picture/picture_slots.h"
#include "picture_maker/batch_conversion.h"
#include "picture_maker/picture_file.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::TempDir;
using testing::TestDataPath;
using testing::WriteFileBytes;

struct Outcome {
  int status = -1;
  std::string saved;     // what went to the standard output
  std::string problems;  // what went to the error output
};

Outcome Convert(const std::vector<std::string>& arguments) {
  const ParsedArguments parsed = ParseConversionArguments(arguments);
  EXPECT_TRUE(parsed.request) << parsed.error;
  if (!parsed.request) return {};
  std::ostringstream saved, problems;
  const int status = RunBatchConversion(*parsed.request, saved, problems);
  return {status, saved.str(), problems.str()};
}

std::string Standard(const std::string& name) { return std::string(ZIELWERK_PROJECT_DATA_DIR) + "/" + name; }

int LitDots(const TrainPicture& picture) {
  int lit = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* pixel = picture.Pixel(x, y);
      EXPECT_TRUE(pixel[0] == pixel[1] && pixel[1] == pixel[2] && (pixel[0] == 0 || pixel[0] == 255));
      lit += PixelBit(pixel[0], pixel[1], pixel[2], 255);
    }
  }
  return lit;
}

TEST(PictureMakerBatchTest, ConvertsTheStandardPicturesAndAPhotoInOneRun) {
  TempDir out;
  std::vector<std::string> names(kStandardPictureFiles.begin(), kStandardPictureFiles.end());
  std::vector<std::string> arguments;
  for (const std::string& name : names) arguments.push_back(Standard(name));
  arguments.insert(arguments.end(), {TestDataPath("picture/photo.jpg"), "--dither", "atkinson", "-o", out.path()});
  names.push_back("photo.bmp");
  const Outcome outcome = Convert(arguments);
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.problems, "");
  std::string expected_lines;
  for (const std::string& name : names) {
    expected_lines += "Gespeichert: " + out.File(name) + "\n";
    const std::optional<TrainPicture> picture = ReadPictureFile(out.File(name));
    ASSERT_TRUE(picture) << name;
    EXPECT_EQ(picture->width, 160);
    EXPECT_EQ(picture->height, 14);
    const int lit = LitDots(*picture);
    EXPECT_GT(lit, 200) << name;
    EXPECT_LT(lit, 160 * 14 - 200) << name;
  }
  EXPECT_EQ(outcome.saved, expected_lines);

  // The threshold reaches the dots: at 0 nothing is darker, inverted all lights.
  const std::string single = out.File("einzeln.bmp");
  EXPECT_EQ(Convert({TestDataPath("picture/photo.jpg"), "--threshold", "0", "--invert", "-o", single}).status, 0);
  EXPECT_EQ(LitDots(*ReadPictureFile(single)), 160 * 14);
}

// Every problem is named with its file and reason, gives status 1 and stops
// nothing else; a picture too large is refused before it is decoded.
TEST(PictureMakerBatchTest, NamesWhatItCannotReadOrWrite) {
  TempDir dir;
  WriteFileBytes(dir.File("notiz.png"), "kein Bild\n");
  std::string huge_bmp(54, '\0');  // a header alone, claiming 30000 x 30000 pixels
  const unsigned char header[] = {'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                  0x30, 0x75, 0, 0, 0x30, 0x75, 0, 0, 1, 0, 24, 0};
  std::copy(std::begin(header), std::end(header), huge_bmp.begin());
  WriteFileBytes(dir.File("riesig.bmp"), huge_bmp);
  WriteFileBytes(dir.File("bild.bmp"), testing::ReadFileBytes(TestDataPath("picture/train.bmp")));
  WriteFileBytes(dir.File("bild.gif"), testing::ReadFileBytes(TestDataPath("picture/train.gif")));
  mkdir(dir.File("aus").c_str(), 0755);

  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string problem;
  };
  const std::string quote = "\xE2\x80\x9E", unquote = "\xE2\x80\x9C";
  const Case cases[] = {
      {{dir.File("fehlt.jpg"), "-o", dir.File("x.bmp")}, 1, "Die Datei " + quote + "fehlt.jpg" + unquote + " gibt es nicht."},
      {{dir.File("notiz.png"), "-o", dir.File("x.bmp")}, 1, "ist kein Bild, das der Bildwandler lesen kann"},
      {{TestDataPath("picture/png_20000x20000.png"), "-o", dir.File("x.bmp")}, 1,
       "ist mit 20000 x 20000 Punkten zu gro\xC3\x9F"},
      {{dir.File("riesig.bmp"), "-o", dir.File("x.bmp")}, 1, "ist mit 30000 x 30000 Punkten zu gro\xC3\x9F"},
      {{dir.File("bild.bmp"), "-o", dir.File("fehlt/x.bmp")}, 1, "l\xC3\xA4sst sich nicht speichern: den Ordner gibt es nicht."},
      {{dir.File("bild.bmp"), "-o", dir.path()}, 1, "ist eines der Bilder, die umgewandelt werden"},
      {{dir.File("bild.bmp"), dir.File("bild.gif"), "-o", dir.File("aus")}, 1,
       "ist schon in diesem Lauf entstanden"},
      {{dir.File("bild.bmp"), dir.File("notiz.png"), "-o", dir.File("x.bmp")}, 2, "ist kein Ordner"},
      {{"--text", " ", "-o", dir.File("x.bmp")}, 1, "ergibt kein Bild"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Convert(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.problem;
    EXPECT_NE(outcome.problems.find(c.problem), std::string::npos) << outcome.problems;
    EXPECT_EQ(std::count(outcome.problems.begin(), outcome.problems.end(), '\n'), 1) << outcome.problems;
  }
  EXPECT_TRUE(testing::BytesEqual(testing::ReadFileBytes(TestDataPath("picture/train.bmp")),
                                  testing::ReadFileBytes(dir.File("bild.bmp"))))
      << "an input is never written over";
  EXPECT_TRUE(testing::FileExists(dir.File("aus/bild.bmp"))) << "the first of two with one name is saved";
}

// A text the display cuts off is saved all the same, with a note that says
// so; a text shown whole gets none.
TEST(PictureMakerBatchTest, SaysWhenTheDisplayCutsTheTextOff) {
  TempDir dir;
  for (const bool fill_height : {false, true}) {
    std::vector<std::string> arguments = {"--text", "GLACIER EXPRESS", "-o", dir.File("x.bmp")};
    if (fill_height) arguments.insert(arguments.end(), {"--fit", "height"});
    const Outcome outcome = Convert(arguments);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.saved, "Gespeichert: " + dir.File("x.bmp") + "\n");
    EXPECT_EQ(outcome.problems.find("zeigt die Anzeige nur 160 x 14, der Rest ist abgeschnitten.\n") !=
                  std::string::npos,
              fill_height)
        << outcome.problems;
  }
}

TEST(PictureMakerBatchTest, OpensEveryCommonPictureName) {
  const std::vector<std::string> patterns = PictureFilePatterns();
  for (const char* pattern : {"*.png", "*.jpg", "*.jpeg", "*.gif", "*.bmp", "*.tif", "*.tiff"}) {
    EXPECT_NE(std::find(patterns.begin(), patterns.end(), pattern), patterns.end()) << pattern;
  }
  EXPECT_EQ(std::find(patterns.begin(), patterns.end(), "*.ani"), patterns.end());
}

}  // namespace
}  // namespace zielwerk
