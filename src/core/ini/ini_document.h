// SPDX-License-Identifier: GPL-3.0-or-later
// The INI document model: entries in file order, parsed from bytes and
// serialised back in the program's one normalised layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zielwerk {

struct IniEntry {
  enum class Kind {
    kKey,      // text = key, value = value
    kComment,  // text = comment text after "; "
    kGroup,    // text = group name
    kOther,    // text = a line without "=" (kept as it stood, never looked up)
  };
  Kind kind = Kind::kKey;
  std::string text;
  std::string value;

  bool operator==(const IniEntry&) const = default;
};

// Parses the bytes of an INI file. After a UTF-16 byte-order mark (FF FE
// little-endian, FE FF big-endian) the text is UTF-16, converted to UTF-8
// here. Without any mark, content that is valid UTF-8 is taken as UTF-8 and
// anything else as ISO 8859-1, converted to UTF-8 here. After a UTF-8 mark
// the entries keep their bytes as they stand: an editor may have saved some
// lines in ISO 8859-1 and kept the mark, so each key and value is decoded on
// its own when it is looked up (see IniDocument). Lines end at CR or LF; empty
// lines and lines of blanks and tabs alone vanish. nullopt when the bytes
// are not text: when they hold a NUL byte without a UTF-16 byte-order mark
// (a picture, UTF-16 without a mark), or when after such a mark they are not
// well-formed UTF-16 or hold U+0000 (UTF-32 begins with the UTF-16 LE mark).
// Empty bytes are text.
std::optional<std::vector<IniEntry>> ParseIniBytes(std::string_view bytes);

// The line end of the INI files this build writes: LF on Linux, CR LF on
// Windows (ini_line_end_posix.cc, ini_line_end_win32.cc). Reading takes both.
extern const std::string_view kIniLineEnd;

// The file bytes for `entries`: EF BB BF and a line end, then one line per
// entry ("key = value", "; comment", "[group]", or an other line as it stood),
// each ended by `line_end`.
std::string SerializeIni(const std::vector<IniEntry>& entries,
                         std::string_view line_end = kIniLineEnd);

// Reads a decimal integer from the start of `text`: blanks and tabs skipped,
// an optional sign, then digits up to the first other character. No digits
// gives 0; a number beyond 64 bits is clamped to the nearer limit.
int64_t ParseIniInteger(std::string_view text);

// An entry list with the store's lookup rules: keys are matched without regard
// to the case of A-Z, only before the first group line, first match winning.
// A key or value that is not valid UTF-8 is read as ISO 8859-1, each on its
// own, so the file's other texts stay UTF-8.
class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::vector<IniEntry> entries) : entries_(std::move(entries)) {}

  // The value of the key's line with blanks and tabs trimmed, as valid UTF-8,
  // or nullopt when there is no such line.
  std::optional<std::string> ReadText(std::string_view key) const;

  // The same value with its bytes as they stand, for a file name: a Linux
  // file name need not be UTF-8, and the name the program wrote must open
  // the same file again.
  std::optional<std::string> ReadFileName(std::string_view key) const;

  // Replaces the value of the key's line (the key takes the given spelling)
  // or adds a new line after the last entry before the first group line.
  // CR and LF in key or value become blanks, so a value cannot break the
  // file into extra lines; so does NUL, so the saved file stays text.
  void WriteText(std::string_view key, std::string_view value);

  const std::vector<IniEntry>& entries() const { return entries_; }

 private:
  std::vector<IniEntry>::const_iterator Find(std::string_view key) const;

  std::vector<IniEntry> entries_;
};

}  // namespace zielwerk
