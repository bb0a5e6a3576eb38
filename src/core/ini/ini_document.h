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

// Parses the bytes of an INI file. With a UTF-8 byte-order mark the rest is
// UTF-8; without one, content that is valid UTF-8 is taken as UTF-8 and
// anything else as ISO 8859-1. Lines end at CR or LF; empty lines and lines
// of blanks and tabs alone vanish.
std::vector<IniEntry> ParseIniBytes(std::string_view bytes);

// The file bytes for `entries`: EF BB BF, LF, then one LF-ended line per entry
// ("key = value", "; comment", "[group]", or an other line as it stood).
std::string SerializeIni(const std::vector<IniEntry>& entries);

// Reads a decimal integer from the start of `text`: blanks and tabs skipped,
// an optional sign, then digits up to the first other character. No digits
// gives 0; a number beyond 64 bits is clamped to the nearer limit.
int64_t ParseIniInteger(std::string_view text);

// An entry list with the store's lookup rules: keys are matched without regard
// to the case of A-Z, only before the first group line, first match winning.
class IniDocument {
 public:
  IniDocument() = default;
  explicit IniDocument(std::vector<IniEntry> entries) : entries_(std::move(entries)) {}

  // The value of the key's line with blanks and tabs trimmed, or nullopt when
  // there is no such line.
  std::optional<std::string> ReadText(std::string_view key) const;

  // Replaces the value of the key's line (the key takes the given spelling)
  // or adds a new line after the last entry before the first group line.
  // CR and LF in key or value become blanks, so a value cannot break the
  // file into extra lines.
  void WriteText(std::string_view key, std::string_view value);

  const std::vector<IniEntry>& entries() const { return entries_; }

 private:
  std::vector<IniEntry>::const_iterator Find(std::string_view key) const;

  std::vector<IniEntry> entries_;
};

}  // namespace zielwerk
