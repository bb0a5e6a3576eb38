// SPDX-License-Identifier: GPL-3.0-or-later
// The printed settings page: rendered to PDF and read back with poppler's
// pdftotext, so every text is checked where a real reader finds it; the
// picture is checked pixel by pixel on an image surface.
#include "core/print/settings_page.h"

#include <cairo.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/settings_page_pdf.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::BytesEqual;
using testing::FileExists;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

constexpr double kMmPerPoint = 25.4 / 72.0;
constexpr double kToleranceMm = 1.5;
const std::string kMark = "\xEF\xBB\xBF";

// One word as pdftotext -bbox reports it, converted to millimetres. The
// page's texts hold none of the characters it would escape.
struct PdfWord {
  std::string text;
  double x_min, y_min, x_max, y_max;
};

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::vector<PdfWord> ReadPdfWords(const std::string& pdf_path) {
  std::vector<PdfWord> words;
  FILE* pipe = popen(("pdftotext -bbox " + ShellQuoted(pdf_path) + " -").c_str(), "r");
  if (pipe == nullptr) {
    ADD_FAILURE() << "cannot run pdftotext";
    return words;
  }
  std::string output;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  EXPECT_EQ(pclose(pipe), 0) << "pdftotext failed on " << pdf_path;
  // Each word reads <word xMin="…" yMin="…" xMax="…" yMax="…">text</word>.
  for (size_t at = output.find("<word "); at != std::string::npos;
       at = output.find("<word ", at + 1)) {
    double x_min = 0, y_min = 0, x_max = 0, y_max = 0;
    int consumed = 0;
    if (std::sscanf(output.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">%n",
                    &x_min, &y_min, &x_max, &y_max, &consumed) != 4 ||
        consumed == 0) {
      continue;
    }
    const size_t text_start = at + static_cast<size_t>(consumed);
    const size_t text_end = output.find("</word>", text_start);
    if (text_end == std::string::npos) break;
    words.push_back({output.substr(text_start, text_end - text_start), x_min * kMmPerPoint,
                     y_min * kMmPerPoint, x_max * kMmPerPoint, y_max * kMmPerPoint});
  }
  return words;
}

const PdfWord* WordAt(const std::vector<PdfWord>& words, double x, double y) {
  for (const PdfWord& word : words) {
    if (std::abs(word.x_min - x) < kToleranceMm && std::abs(word.y_min - y) < kToleranceMm) {
      return &word;
    }
  }
  return nullptr;
}

// The words that follow `first` on its line: same box height and top, each
// starting less than one box height after the one before.
std::vector<const PdfWord*> LineFrom(const std::vector<PdfWord>& words, const PdfWord* first) {
  std::vector<const PdfWord*> line = {first};
  for (;;) {
    const PdfWord* last = line.back();
    const double height = last->y_max - last->y_min;
    const PdfWord* next = nullptr;
    for (const PdfWord& word : words) {
      if (std::abs(word.y_min - last->y_min) < 0.2 && std::abs(word.y_max - last->y_max) < 0.2 &&
          word.x_min > last->x_max - 0.1 && word.x_min - last->x_max < height &&
          (next == nullptr || word.x_min < next->x_min)) {
        next = &word;
      }
    }
    if (next == nullptr) return line;
    line.push_back(next);
  }
}

// The line of text below the line whose first word is `above`.
const PdfWord* WordBelow(const std::vector<PdfWord>& words, const PdfWord* above) {
  const double height = above->y_max - above->y_min;
  for (const PdfWord& word : words) {
    if (std::abs(word.x_min - above->x_min) < kToleranceMm &&
        word.y_min > above->y_min + 0.6 * height && word.y_min < above->y_min + 1.4 * height) {
      return &word;
    }
  }
  return nullptr;
}

std::string Joined(const std::vector<const PdfWord*>& line) {
  std::string text;
  for (const PdfWord* word : line) text += (text.empty() ? "" : " ") + word->text;
  return text;
}

// Words separated by single blanks, as a PDF reader gives them back.
std::string Collapsed(const std::string& text) {
  std::istringstream in(text);
  std::string word, result;
  while (in >> word) result += (result.empty() ? "" : " ") + word;
  return result;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

// The text found in the PDF at (x, y) mm, one entry per line of a paragraph;
// a message naming the place when nothing stands there.
std::string PdfTextAt(const std::vector<PdfWord>& words, double x, double y, size_t lines) {
  std::string text;
  const PdfWord* first = WordAt(words, x, y);
  for (size_t i = 0; i < lines; ++i) {
    if (first == nullptr) return text + "<nothing at line " + std::to_string(i) + ">";
    text += (i == 0 ? "" : "\n") + Joined(LineFrom(words, first));
    first = WordBelow(words, first);
  }
  return text;
}

// Where a text of the page should stand and what it reads exactly.
struct PageRow {
  double x;
  double y;
  std::string text;
};

std::vector<PageRow> ScaleAndHeading() {
  std::vector<PageRow> rows;
  for (int i = 1; i <= 27; ++i) rows.push_back({10, 10.0 * i, std::to_string(10 * i)});
  rows.push_back({20, 20, "Zielwerk"});
  return rows;
}

const char* const kDefaultScrollText =
    "Pontresina-Morteratsch-Ospizio Bernina-Alp Gr\xC3\xBCm-Poschiavo-Brusio";

struct PageCase {
  const char* name;
  std::optional<std::string> file;  // nothing: no settings file at all
  std::vector<PageRow> rows;
};

void PrintTo(const PageCase& page, std::ostream* out) { *out << page.name; }

class PrintPageTest : public ::testing::TestWithParam<PageCase> {};

// Each text is in the page's list exactly as expected, and pdftotext finds
// it at its place in the PDF; the settings file is left as it was.
TEST_P(PrintPageTest, PrintsEachTextAtItsPlace) {
  const PageCase& page = GetParam();
  TempDir dir;
  const std::string settings = dir.File("einstellungen.ini");
  if (page.file) WriteFileBytes(settings, *page.file);
  const std::string pdf = dir.File("seite.pdf");

  ASSERT_TRUE(RenderSettingsPagePdf(pdf, settings, nullptr));

  if (page.file) {
    EXPECT_TRUE(BytesEqual(*page.file, ReadFileBytes(settings)));
  } else {
    EXPECT_FALSE(FileExists(settings));
  }
  std::vector<PageRow> rows = ScaleAndHeading();
  rows.push_back({20, 40, "Parameterdatei:\n" + settings});
  rows.insert(rows.end(), page.rows.begin(), page.rows.end());

  const std::vector<PageText> texts = SettingsPageTexts(ReadSettingsPageValues(settings));
  const std::vector<PdfWord> words = ReadPdfWords(pdf);
  for (const PageRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << "text at (" << row.x << ", " << row.y << ")");
    const PageText* text = nullptr;
    for (const PageText& candidate : texts) {
      if (candidate.x_mm == row.x && candidate.y_mm == row.y) text = &candidate;
    }
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text, row.text);

    std::string expected;
    const std::vector<std::string> lines = SplitLines(row.text);
    for (const std::string& line : lines) {
      expected += (expected.empty() ? "" : "\n") + Collapsed(line);
    }
    EXPECT_EQ(PdfTextAt(words, row.x, row.y, lines.size()), expected);

    // A reader's word box spans the font's ascent and descent, a little more
    // than the em of size * 96 / 72 mm whatever the font.
    if (const PdfWord* word = WordAt(words, row.x, row.y)) {
      const double em = text->size * 96.0 / 72.0;
      const double box = word->y_max - word->y_min;
      EXPECT_GT(box, 1.0 * em);
      EXPECT_LT(box, 1.3 * em);
    }
  }
}

const std::string kDefaultFile = kMark +
                                 "\nDCC-Adresse = 4\nDCC/Analog = 0\nZugtyp = 0\n"
                                 "Anfangsstation = St. Moritz\nScrollstring = " +
                                 kDefaultScrollText +
                                 "\nEndstation = Tirano\nModus Anfang = 0\nZeit Anfang = 1000\n"
                                 "Modus Ende = 0\nZeit Ende = 1000\nWagennummer = 1\n"
                                 "keine Wagennummer anzeigen = 0\nFahrtrichtung invertieren = 0\n";

INSTANTIATE_TEST_SUITE_P(
    Pages, PrintPageTest,
    ::testing::Values(
        PageCase{"DefaultSettings",
                 kDefaultFile,
                 {{20, 70, "DCC/Analog: Aus"},
                  {20, 85, "DCC-Adresse: 4"},
                  {20, 100, "Anfangsstation: St. Moritz"},
                  {20, 108, "Anzeigemodus: reinstampfen"},
                  {20, 116, "Anzeigedauer: 1000ms"},
                  {20, 132, std::string("Scrolltext:\n") + kDefaultScrollText},
                  {20, 160, "Endstation: Tirano"},
                  {20, 168, "Anzeigemodus: stehenbleiben"},
                  {20, 176, "Anzeigedauer: 1000ms"},
                  {20, 195, "Zugtyp: BERNINA EXPRESS"},
                  {20, 215, "Bild individueller Zugtyp:\nkein Bild geladen"},
                  {20, 252, "Wagennummer: 1  anzeigen"}}},
        PageCase{"HiddenCarNumber",
                 kMark + "\nWagennummer = 5\nkeine Wagennummer anzeigen = 1\n",
                 {{20, 252, "Wagennummer: 5  NICHT anzeigen"}}},
        PageCase{"MissingFile",
                 std::nullopt,
                 {{20, 70, "DCC/Analog: Aus"},
                  {20, 85, "DCC-Adresse: -"},
                  {20, 100, "Anfangsstation: -"},
                  {20, 108, "Anzeigemodus: reinstampfen"},
                  {20, 116, "Anzeigedauer: 0ms"},
                  {20, 132, "Scrolltext:\n-"},
                  {20, 160, "Endstation: -"},
                  {20, 168, "Anzeigemodus: stehenbleiben"},
                  {20, 176, "Anzeigedauer: 0ms"},
                  {20, 195, "Zugtyp: BERNINA EXPRESS"},
                  {20, 215, "Bild individueller Zugtyp:\nkein Bild geladen"},
                  {20, 252, "Wagennummer: 0  anzeigen"}}},
        PageCase{"WordsOutOfRange",
                 kMark + "\nZugtyp = 9\nDCC/Analog = -1\nModus Anfang = 2\nModus Ende = x\n"
                         "keine Wagennummer anzeigen = 7\n",
                 {{20, 70, "DCC/Analog: "},
                  {20, 108, "Anzeigemodus: "},
                  {20, 168, "Anzeigemodus: stehenbleiben"},
                  {20, 195, "Zugtyp: "},
                  {20, 252, "Wagennummer: 0 "}}},
        // No mark (ISO 8859-1, FC for u-umlaut) and CR LF line ends.
        PageCase{"Latin1WithCrLf",
                 std::string("Scrollstring = Alp Gr\xFCm\r\nDCC/Analog = 3\r\nModus Ende = 1\r\n"
                             "Zugtyp = 3\r\nBild = /home/bahn/zug.png\r\nDCC-Adresse = \r\n"
                             "Zeit Ende =   750   \r\n"),
                 {{20, 70, "DCC/Analog: Automatisch"},
                  {20, 85, "DCC-Adresse: "},
                  {20, 132, "Scrolltext:\nAlp Gr\xC3\xBCm"},
                  {20, 168, "Anzeigemodus: rauslaufen"},
                  {20, 176, "Anzeigedauer: 750ms"},
                  {20, 195, "Zugtyp: Bild Zugtyp"},
                  {20, 215, "Bild individueller Zugtyp:\n/home/bahn/zug.png"}}}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

size_t CodePoints(const std::string& utf8) {
  size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

struct CutCase {
  const char* name;
  double y;       // top of the paragraph box
  double next_y;  // top of the next text below the box
  std::string file_name;
};

void PrintTo(const CutCase& cut, std::ostream* out) { *out << cut.name; }

class PrintPageCutTest : public ::testing::TestWithParam<CutCase> {};

// A paragraph too long for its 170 x 20 mm box takes two lines, the second
// one ending in an ellipsis inside the box. cairo tags the ellipsis glyph
// with the text it stands for, so the reader gets the whole rest of the text
// back as one word squeezed into the width of that glyph.
TEST_P(PrintPageCutTest, CutsLongParagraphWithEllipsis) {
  const CutCase& cut = GetParam();
  TempDir dir;
  const std::string settings = dir.File(cut.file_name);
  WriteFileBytes(settings, kDefaultFile);
  const std::string pdf = dir.File("seite.pdf");
  ASSERT_TRUE(RenderSettingsPagePdf(pdf, settings, nullptr));
  const std::vector<PdfWord> words = ReadPdfWords(pdf);

  const PdfWord* heading = WordAt(words, 20, cut.y);
  ASSERT_NE(heading, nullptr);
  const PdfWord* second = WordBelow(words, heading);
  ASSERT_NE(second, nullptr);
  const std::vector<const PdfWord*> line = LineFrom(words, second);
  const PdfWord* ellipsis = line.back();
  EXPECT_LE(ellipsis->x_max, 190 + 0.5);
  EXPECT_LE(second->y_max, cut.y + 20 + 0.5);
  const double heading_per_char = (heading->x_max - heading->x_min) / CodePoints(heading->text);
  const double squeezed_per_char = (ellipsis->x_max - ellipsis->x_min) / CodePoints(ellipsis->text);
  EXPECT_LT(squeezed_per_char, heading_per_char / 2) << ellipsis->text;

  for (const PdfWord& word : words) {
    if (word.x_min > 15 && word.y_min > second->y_min + 1 && word.y_min < cut.next_y - 1) {
      ADD_FAILURE() << "third line in the box: " << word.text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, PrintPageCutTest,
    ::testing::Values(
        CutCase{"ScrollText", 132, 160, "einstellungen.ini"},
        CutCase{"LongPath", 40, 70,
                "Meine Einstellungen fuer die Modellbahn im Keller, Wagen 12 mit der "
                "Zielanzeige fuer den Sommerfahrplan.ini"}),
    [](const ::testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

TEST(PrintPageOutputTest, DrawsWithoutWritingToStderr) {
  TempDir dir;
  const std::string captured = dir.File("stderr.txt");
  std::fflush(stderr);
  const int saved = dup(STDERR_FILENO);
  const int capture = open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(capture, 0);
  dup2(capture, STDERR_FILENO);
  close(capture);

  const bool rendered =
      RenderSettingsPagePdf(dir.File("seite.pdf"), dir.File("fehlt.ini"), nullptr);

  std::fflush(stderr);
  dup2(saved, STDERR_FILENO);
  close(saved);
  EXPECT_TRUE(rendered);
  EXPECT_EQ(ReadFileBytes(captured), "");
}

struct WordCase {
  std::string list;
  int64_t n;
  std::string word;
};

void PrintTo(const WordCase& test, std::ostream* out) {
  *out << '"' << test.list << "\" at " << test.n;
}

class WordFromListTest : public ::testing::TestWithParam<WordCase> {};

TEST_P(WordFromListTest, PicksFieldOrEmptyWord) {
  EXPECT_EQ(WordFromList(GetParam().list, GetParam().n), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, WordFromListTest,
    ::testing::Values(WordCase{"Aus,DCC,Analog,Automatisch", 0, "Aus"},
                      WordCase{"Aus,DCC,Analog,Automatisch", 3, "Automatisch"},
                      WordCase{"Aus,DCC,Analog,Automatisch", 4, ""},
                      WordCase{"Aus,DCC,Analog,Automatisch", -1, ""},
                      WordCase{"Aus,DCC", std::numeric_limits<int64_t>::max(), ""},
                      WordCase{"Aus,DCC", std::numeric_limits<int64_t>::min(), ""},
                      WordCase{"reinstampfen,reinlaufen", 2, ""},
                      WordCase{" anzeigen, NICHT anzeigen", 0, " anzeigen"},
                      WordCase{" anzeigen, NICHT anzeigen", 1, " NICHT anzeigen"},
                      WordCase{"a,,b", 1, ""}, WordCase{"a,,b", 2, "b"},
                      WordCase{"x,", 1, ""}, WordCase{"", 0, ""}));

// Picture checks on an image surface at 5 pixels per millimetre over a
// magenta ground, which nothing drawn may let show through.
constexpr double kPixelsPerMm = 5;

struct Rgb {
  int r, g, b;
};
constexpr Rgb kMagenta{255, 0, 255};

struct Probe {
  double x, y;  // millimetres
  Rgb colour;
};

struct PictureCase {
  const char* name;
  std::optional<TrainPicture> picture;
  std::vector<Probe> probes;
};

TrainPicture MakePicture(int width, int height, const std::vector<uint8_t>& rgba, bool alpha) {
  TrainPicture picture;
  picture.width = width;
  picture.height = height;
  picture.has_alpha = alpha;
  picture.rgba = rgba;
  return picture;
}

TrainPicture SolidPicture(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> rgba;
  for (int i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {r, g, b, 255});
  return MakePicture(width, height, rgba, false);
}

void PrintTo(const PictureCase& test, std::ostream* out) { *out << test.name; }

class PrintPagePictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(PrintPagePictureTest, PaintsPictureOpaqueIntoItsBox) {
  const PictureCase& test = GetParam();
  const int width = static_cast<int>(210 * kPixelsPerMm);
  const int height = static_cast<int>(297 * kPixelsPerMm);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 0, 1);
  cairo_paint(cr);
  cairo_scale(cr, kPixelsPerMm, kPixelsPerMm);
  DrawSettingsPage(cr, SettingsPageValues{}, test.picture ? &*test.picture : nullptr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);

  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (const Probe& probe : test.probes) {
    const int px = static_cast<int>(probe.x * kPixelsPerMm);
    const int py = static_cast<int>(probe.y * kPixelsPerMm);
    const uint32_t value = *reinterpret_cast<const uint32_t*>(data + py * stride + px * 4);
    const Rgb got{static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>(value & 0xFF)};
    EXPECT_TRUE(std::abs(got.r - probe.colour.r) <= 3 && std::abs(got.g - probe.colour.g) <= 3 &&
                std::abs(got.b - probe.colour.b) <= 3)
        << "at (" << probe.x << ", " << probe.y << ") mm: got " << got.r << "," << got.g << ","
        << got.b << " expected " << probe.colour.r << "," << probe.colour.g << ","
        << probe.colour.b;
  }
  cairo_surface_destroy(surface);
}

// Four by two pixels, each 20 x 3.5 mm on paper: red, green, blue, fully
// transparent; black at half alpha, white, black, yellow.
const TrainPicture kMixedPicture = MakePicture(
    4, 2,
    {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 0, 0, 0, 0,
     0, 0, 0, 128, 255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 255},
    true);

constexpr double kRow0 = 238 + 1.75;
constexpr double kRow1 = 238 + 3.5 + 1.75;

INSTANTIATE_TEST_SUITE_P(
    Pictures, PrintPagePictureTest,
    ::testing::Values(
        PictureCase{"MixedWithAlpha",
                    kMixedPicture,
                    {{30, kRow0, {255, 0, 0}},
                     {50, kRow0, {0, 255, 0}},
                     {70, kRow0, {0, 0, 255}},
                     {90, kRow0, {255, 255, 255}},
                     {30, kRow1, {127, 127, 127}},
                     {50, kRow1, {255, 255, 255}},
                     {70, kRow1, {0, 0, 0}},
                     {90, kRow1, {255, 255, 0}},
                     {20.2, 238.2, {255, 0, 0}},
                     {99.8, 244.8, {255, 255, 0}},
                     {19.6, kRow0, kMagenta},
                     {100.4, kRow1, kMagenta},
                     {60, 237.6, kMagenta},
                     {60, 245.4, kMagenta}}},
        PictureCase{"ShrunkLargePicture",
                    SolidPicture(800, 70, 0, 0, 255),
                    {{20.4, 238.4, {0, 0, 255}}, {60, 241.5, {0, 0, 255}},
                     {99.6, 244.6, {0, 0, 255}}, {100.4, 241.5, kMagenta}}},
        PictureCase{"EmptySlot", std::nullopt, {{60, 241.5, kMagenta}}},
        PictureCase{"TooFewPixelBytes",
                    MakePicture(4, 2, std::vector<uint8_t>(31, 0), false),
                    {{60, 241.5, kMagenta}}},
        PictureCase{"ZeroWidth", MakePicture(0, 14, {}, false), {{60, 241.5, kMagenta}}}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zielwerk
