// SPDX-License-Identifier: GPL-3.0-or-later
// The INI store over real files: exact bytes written, what is read back, and
// files that cannot be read or written.
#include "core/ini/ini_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/ini/ini_document.h"
#include "core/ini/safe_save.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::BytesEqual;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

const std::string kMark = "\xEF\xBB\xBF";

// The UTF-16 code units of `units` (a byte-order mark included only where
// written) in the given byte order.
std::string Utf16Bytes(std::u16string_view units, bool big_endian) {
  std::string bytes;
  for (const char16_t unit : units) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? high : low;
    bytes += big_endian ? low : high;
  }
  return bytes;
}

// `text` with each LF as this build writes line ends (CR LF on Windows).
std::string Lines(std::string_view text) {
  std::string lines;
  for (const char c : text) {
    if (c == '\n') {
      lines += kIniLineEnd;
    } else {
      lines += c;
    }
  }
  return lines;
}

struct Write {
  std::string key;
  std::string value;
};

// A file (or none) before, a list of writes, the bytes after closing.
struct RewriteCase {
  const char* name;
  std::optional<std::string> before;
  std::vector<Write> writes;
  std::string after;
};

class IniRewrite : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(IniRewrite, WritesExactBytes) {
  const RewriteCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("test.ini");
  if (c.before) WriteFileBytes(path, *c.before);
  OpenIni(path);
  for (const Write& w : c.writes) WriteIniText(w.key, w.value);
  EXPECT_TRUE(CloseIni().ok);
  EXPECT_TRUE(BytesEqual(Lines(c.after), ReadFileBytes(path)));
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(testing::FsPath(dir.path())), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRewrite,
    ::testing::Values(
        RewriteCase{"MissingFileCreated", std::nullopt, {{"A", "1"}}, kMark + "\nA = 1\n"},
        RewriteCase{"CrLfWithoutMark", "a=5\r\n", {{"A", "6"}}, kMark + "\nA = 6\n"},
        RewriteCase{"CommentGetsBlank", ";x\r\n", {{"A", "1"}}, kMark + "\n; x\nA = 1\n"},
        RewriteCase{"ZeroByteFile", "", {{"A", "1"}}, kMark + "\nA = 1\n"},
        RewriteCase{"KeyUnderGroupNotFound", "[G]\nA = 1\n", {{"A", "2"}},
                    kMark + "\nA = 2\n[G]\nA = 1\n"},
        RewriteCase{"NewKeysInOrderBeforeGroup", "x = 1\n[G]\ny = 2\n", {{"B", "1"}, {"C", "2"}},
                    kMark + "\nx = 1\nB = 1\nC = 2\n[G]\ny = 2\n"},
        RewriteCase{"KeyTakesWrittenSpelling", "ZUGTYP = 2\n", {{"Zugtyp", "1"}},
                    kMark + "\nZugtyp = 1\n"},
        RewriteCase{"FirstDuplicateOnly", "Zugtyp = 1\nZugtyp = 2\n", {{"Zugtyp", "3"}},
                    kMark + "\nZugtyp = 3\nZugtyp = 2\n"},
        RewriteCase{"BlankLinesAndSpacingNormalised", "\n\n  k\t =\t v  \r\r\n[g] tail\n",
                    {{"n", "1"}}, kMark + "\nk = v  \nn = 1\n[g]\n"},
        RewriteCase{"LineWithoutEqualsKept", "just words\nA=1\n", {{"A", "2"}},
                    kMark + "\njust words\nA = 2\n"},
        RewriteCase{"LineBreaksAndNulInValueFlattened", std::nullopt,
                    {{"A", std::string("x\ny\rz\0w", 7)}}, kMark + "\nA = x y z w\n"},
        RewriteCase{"Latin1BecomesUtf8", "S=Gr\xFCm\n", {{"T", "1"}},
                    kMark + "\nS = Gr\xC3\xBCm\nT = 1\n"},
        RewriteCase{"Utf8WithoutMarkStaysUtf8", "S=Gr\xC3\xBCm\n", {{"T", "1"}},
                    kMark + "\nS = Gr\xC3\xBCm\nT = 1\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReadCase {
  const char* name;
  std::string content;
  std::string key;
  std::string text;     // ReadIniText with fallback "DEF"
  int64_t number;       // ReadIniInteger with fallback 77
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, ReadsTextAndInteger) {
  const ReadCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("read.ini");
  WriteFileBytes(path, c.content);
  EXPECT_TRUE(OpenIni(path));
  EXPECT_EQ(ReadIniText(c.key, "DEF"), c.text);
  EXPECT_EQ(ReadIniInteger(c.key, 77), c.number);
  CloseIni();
  EXPECT_TRUE(BytesEqual(c.content, ReadFileBytes(path))) << "reading must not change the file";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRead,
    ::testing::Values(
        ReadCase{"CaseBlindKey", "a=5\r\n", "A", "5", 5},
        ReadCase{"TrimmedText", "Zeit Anfang =   750   \n", "Zeit Anfang", "750", 750},
        ReadCase{"TabsTrimmed", "k=\t 9\t\n", "k", "9", 9},
        ReadCase{"EmptyValueIsNotDefault", "k =\n", "k", "", 0},
        ReadCase{"LeadingNumber", "k = 12abc\n", "k", "12abc", 12},
        ReadCase{"NoNumber", "k = abc\n", "k", "abc", 0},
        ReadCase{"Negative", "k = -3\n", "k", "-3", -3},
        ReadCase{"PlusSign", "k = +8x\n", "k", "+8x", 8},
        ReadCase{"ClampedHigh", "k = 99999999999999999999\n", "k", "99999999999999999999",
                 INT64_MAX},
        ReadCase{"ClampedLow", "k = -99999999999999999999\n", "k", "-99999999999999999999",
                 INT64_MIN},
        ReadCase{"MissingKey", "other = 1\n", "k", "DEF", 77},
        ReadCase{"UnderGroup", "[g]\nk = 1\n", "k", "DEF", 77},
        ReadCase{"ValueWithEquals", "k = a=b\n", "k", "a=b", 0},
        ReadCase{"FirstWins", "k = 1\nK = 2\n", "k", "1", 1},
        ReadCase{"Latin1Umlaut", "k = Alp Gr\xFCm\r\n", "k", "Alp Gr\xC3\xBCm", 0},
        ReadCase{"MarkedUtf8", "\xEF\xBB\xBF\nk = Alp Gr\xC3\xBCm\n", "k", "Alp Gr\xC3\xBCm", 0},
        ReadCase{"UnmarkedUtf8", "k = Alp Gr\xC3\xBCm\n", "k", "Alp Gr\xC3\xBCm", 0},
        ReadCase{"LoneHighByteIsLatin1", "k = \xFC\n", "k", "\xC3\xBC", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// What the settings form does with a file: every key read as text and
// written back, then saved. After a mark each key and value is decoded on its
// own; lines the program did not write keep their bytes.
struct ReadBackCase {
  const char* name;
  std::string before;
  std::vector<Write> texts;  // key and the text it reads as
  std::string after;
};

class IniReadBack : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(IniReadBack, ReadsValidUtf8AndSavesItAsUtf8) {
  const ReadBackCase& c = GetParam();
  TempDir dir;
  const std::string path = dir.File("Default.ini");
  WriteFileBytes(path, c.before);
  OpenIni(path);
  for (const Write& w : c.texts) {
    const std::string text = ReadIniText(w.key, "DEF");
    EXPECT_EQ(text, w.value) << w.key;
    WriteIniText(w.key, text);
  }
  CloseIni();
  EXPECT_TRUE(BytesEqual(Lines(c.after), ReadFileBytes(path)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniReadBack,
    ::testing::Values(
        ReadBackCase{"Latin1ValueAfterMark", kMark + "\nAnfangsstation = Z\xFCrich HB\n",
                     {{"Anfangsstation", "Z\xC3\xBCrich HB"}},
                     kMark + "\nAnfangsstation = Z\xC3\xBCrich HB\n"},
        ReadBackCase{"EachTextOnItsOwnAfterMark",
                     kMark + "\nA = Gr\xFCn\nB = Gr\xC3\xBCn\nGr\xFC\xDF = x\n; Gr\xFC\xDF\n"
                             "Bild = Z\xFCrich.bmp\n[Gr\xFCn]\n",
                     {{"A", "Gr\xC3\xBCn"}, {"B", "Gr\xC3\xBCn"}, {"GR\xC3\xBC\xC3\x9F", "x"}},
                     kMark + "\nA = Gr\xC3\xBCn\nB = Gr\xC3\xBCn\nGR\xC3\xBC\xC3\x9F = x\n; Gr\xFC\xDF\n"
                             "Bild = Z\xFCrich.bmp\n[Gr\xFCn]\n"},
        ReadBackCase{"WithoutMarkTheWholeFileIsLatin1", "A = Gr\xFCn\nB = Gr\xC3\xBCn\n",
                     {{"A", "Gr\xC3\xBCn"}, {"B", "Gr\xC3\x83\xC2\xBCn"}},
                     kMark + "\nA = Gr\xC3\xBCn\nB = Gr\xC3\x83\xC2\xBCn\n"},
        // As Windows Notepad ("Unicode") and PowerShell 5's Out-File save.
        ReadBackCase{"Utf16LittleEndian",
                     Utf16Bytes(u"\uFEFFAnfangsstation = Chur\r\nEndstation = Gr\u00FCsch\r\n"
                                u"; Lok \U0001F682\r\n",
                                false),
                     {{"Anfangsstation", "Chur"}, {"Endstation", "Gr\xC3\xBCsch"}},
                     kMark + "\nAnfangsstation = Chur\nEndstation = Gr\xC3\xBCsch\n"
                             "; Lok \xF0\x9F\x9A\x82\n"},
        ReadBackCase{"Utf16BigEndian",
                     Utf16Bytes(u"\uFEFFAnfangsstation = Chur\nEndstation = \U0001F682 Arosa\n",
                                true),
                     {{"Anfangsstation", "Chur"}, {"Endstation", "\xF0\x9F\x9A\x82 Arosa"}},
                     kMark + "\nAnfangsstation = Chur\nEndstation = \xF0\x9F\x9A\x82 Arosa\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A Linux file name need not be UTF-8: the name written is the name read.
TEST(IniStore, FileNameReadsBackByteForByte) {
  TempDir dir;
  const std::string path = dir.File("Zielstell.ini");
  const std::string name = "/tmp/Z\xFCrich.ini";
  OpenIni(path);
  WriteIniText("Einstellungen", name);
  CloseIni();
  EXPECT_TRUE(BytesEqual(Lines(kMark + "\nEinstellungen = " + name + "\n"), ReadFileBytes(path)));
  OpenIni(path);
  EXPECT_EQ(ReadIniFileName("einstellungen", "Default.ini"), name);
  EXPECT_EQ(ReadIniText("Einstellungen", "Default.ini"), "/tmp/Z\xC3\xBCrich.ini");
  EXPECT_EQ(ReadIniFileName("Bild", "kein_BILD.bmp"), "kein_BILD.bmp");
  CloseIni();
}

// A file that is not text reads as empty and is left as it stands whoever
// writes keys into it; only the user's explicit save replaces it.
TEST(IniStore, FileThatIsNotTextIsWrittenOnlyByAnExplicitSave) {
  TempDir dir;
  const std::string path = dir.File("Default.ini");
  const std::string picture = std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) + "\nA = 1\n";
  WriteFileBytes(path, picture);
  ASSERT_TRUE(OpenIni(path));
  EXPECT_FALSE(IniFileIsText());
  EXPECT_EQ(ReadIniText("A", "DEF"), "DEF");
  WriteIniText("Bild", "zug.bmp");
  const SaveResult refused = CloseIni();
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(SaveFailureReason(refused), "die Datei lässt sich nicht lesen, ihr Inhalt ginge verloren");
  EXPECT_TRUE(IniFileIsText()) << "no file open";
  EXPECT_TRUE(BytesEqual(picture, ReadFileBytes(path)));

  OpenIni(path, IniWriteBack::kExplicitSave);
  WriteIniText("B", "2");
  EXPECT_TRUE(CloseIni().ok);
  EXPECT_TRUE(BytesEqual(Lines(kMark + "\nB = 2\n"), ReadFileBytes(path)));
  OpenIni(path);
  EXPECT_TRUE(IniFileIsText());
  OpenIni(dir.File("missing.ini"));
  EXPECT_TRUE(IniFileIsText()) << "a missing file is created at the close like any other";
  CloseIni();
}

TEST(IniStore, WithoutOpenFileReadsGiveDefaultsAndWritesDoNothing) {
  CloseIni();
  EXPECT_EQ(ReadIniText("k", "d"), "d");
  EXPECT_EQ(ReadIniFileName("k", "d"), "d");
  EXPECT_EQ(ReadIniInteger("k", 5), 5);
  WriteIniText("k", "v");
  WriteIniInteger("n", 7);
  EXPECT_TRUE(CloseIni().ok);
  // Nothing was kept for the next file, which is neither given the keys nor
  // made at its close.
  TempDir dir;
  OpenIni(dir.File("next.ini"));
  EXPECT_FALSE(HasIniKey("k"));
  EXPECT_FALSE(HasIniKey("n"));
  EXPECT_TRUE(CloseIni().ok);
  EXPECT_FALSE(testing::FileExists(dir.File("next.ini")));
}

TEST(IniStore, IntegersWrittenInDecimal) {
  TempDir dir;
  const std::string path = dir.File("n.ini");
  OpenIni(path);
  WriteIniInteger("a", -1);
  WriteIniInteger("b", INT64_MIN);
  WriteIniInteger("c", 7);
  CloseIni();
  EXPECT_TRUE(BytesEqual(Lines(kMark + "\na = -1\nb = -9223372036854775808\nc = 7\n"),
                         ReadFileBytes(path)));
}

TEST(IniStore, OpeningAnotherFileWritesTheFirstBack) {
  TempDir dir;
  OpenIni(dir.File("one.ini"));
  WriteIniText("A", "1");
  OpenIni(dir.File("two.ini"));
  EXPECT_TRUE(BytesEqual(Lines(kMark + "\nA = 1\n"), ReadFileBytes(dir.File("one.ini"))));
  CloseIni();
  EXPECT_FALSE(testing::FileExists(dir.File("two.ini")));
}

// Bytes that are not text must not be read as ISO 8859-1: saved, the file
// would be lost.
TEST(IniDocument, TextOrNot) {
  const struct {
    const char* name;
    std::string bytes;
    bool text;
  } cases[] = {
      {"empty", "", true},
      {"ISO 8859-1", "k = Gr\xFCn\n", true},
      {"UTF-8 mark alone", kMark, true},
      {"UTF-16 LE mark alone", "\xFF\xFE", true},
      {"UTF-16 BE surrogate pair", Utf16Bytes(u"\uFEFF\U0001F682", true), true},
      {"NUL", std::string("k = 1\0\n", 7), false},
      {"NUL after UTF-8 mark", kMark + std::string("k = \0", 5), false},
      {"UTF-16 without mark", Utf16Bytes(u"k = 1", false), false},
      {"PNG", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), false},
      {"UTF-16 odd length", "\xFF\xFEk", false},
      {"UTF-16 high surrogate at end", Utf16Bytes(u"\uFEFFk = \xD83D", false), false},
      {"UTF-16 high surrogate alone", Utf16Bytes(u"\uFEFF\xD83D" u"k", true), false},
      {"UTF-16 low surrogate alone", Utf16Bytes(u"\uFEFF\xDE82" u"k", false), false},
      {"UTF-16 U+0000 (UTF-32 LE)", std::string("\xFF\xFE\0\0k\0\0\0", 8), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseIniBytes(c.bytes).has_value(), c.text);
  }
}

TEST(IniDocument, ReparsingSerialisedEntriesGivesTheSameEntries) {
  const std::string inputs[] = {
      "a=1\r\n;c\n[g]\nb = 2\n", "  x = \t y \n;\n[]\n= v\nplain\n", "\xFF\xFE k=v",
      kMark + "\n\n\nk = v\n"};
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input);
    const auto entries = ParseIniBytes(input).value();
    const std::string bytes = SerializeIni(entries);
    EXPECT_EQ(ParseIniBytes(bytes), entries);
    EXPECT_EQ(SerializeIni(ParseIniBytes(bytes).value()), bytes);
    // Files move between Linux and Windows unchanged in meaning.
    EXPECT_EQ(ParseIniBytes(SerializeIni(entries, "\r\n")), entries);
    EXPECT_EQ(ParseIniBytes(SerializeIni(entries, "\n")), entries);
  }
}

}  // namespace
}  // namespace zielwerk
