// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini/ini_document.h"

#include <limits>

#include "text/utf8.h"

namespace zielwerk {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool AsciiCaseBlindEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// Keys compared as the texts they are read as (ISO 8859-1 when not UTF-8).
bool KeysEqual(std::string_view a, std::string_view b) {
  if (IsValidUtf8(a) && IsValidUtf8(b)) return AsciiCaseBlindEqual(a, b);
  return AsciiCaseBlindEqual(Utf8OrLatin1(a), Utf8OrLatin1(b));
}

IniEntry ParseLine(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  IniEntry entry;
  if (!line.empty() && line.front() == ';') {
    line.remove_prefix(1);
    if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    entry.kind = IniEntry::Kind::kComment;
    entry.text = line;
  } else if (!line.empty() && line.front() == '[') {
    line.remove_prefix(1);
    entry.kind = IniEntry::Kind::kGroup;
    entry.text = line.substr(0, line.find(']'));
  } else if (const size_t equals = line.find('='); equals != std::string_view::npos) {
    std::string_view key = line.substr(0, equals);
    while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
    std::string_view value = line.substr(equals + 1);
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
    entry.kind = IniEntry::Kind::kKey;
    entry.text = key;
    entry.value = value;
  } else {
    entry.kind = IniEntry::Kind::kOther;
    entry.text = line;
  }
  return entry;
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return out;
}

// The bytes the lines are split from, or nullopt when `bytes` are not text.
std::optional<std::string> LineBytes(std::string_view bytes) {
  const bool little_endian = bytes.starts_with(kUtf16LeMark);
  if (little_endian || bytes.starts_with(kUtf16BeMark)) {
    // Windows Notepad's "Unicode" and PowerShell 5's Out-File write this.
    std::optional<std::string> text =
        Utf16ToUtf8(bytes.substr(kUtf16LeMark.size()), !little_endian);
    if (!text || text->find('\0') != std::string::npos) return std::nullopt;
    return text;
  }
  // No text file holds NUL; read as ISO 8859-1 and saved, a picture or a
  // UTF-16 file without a mark would be lost.
  if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
  if (bytes.starts_with(kByteOrderMark)) {
    // Decoded per key and value on lookup; kept as bytes so that a line the
    // program does not write (a file name among them) is saved unchanged.
    return std::string(bytes.substr(kByteOrderMark.size()));
  }
  // Many editors save UTF-8 without a mark; reading those as ISO 8859-1
  // would turn every umlaut into two characters on the next save.
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Latin1ToUtf8(bytes);
}

}  // namespace

std::optional<std::vector<IniEntry>> ParseIniBytes(std::string_view bytes) {
  const std::optional<std::string> line_bytes = LineBytes(bytes);
  if (!line_bytes) return std::nullopt;
  const std::string& text = *line_bytes;

  std::vector<IniEntry> entries;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && (text[at] == '\r' || text[at] == '\n')) ++at;
    if (at >= text.size()) break;
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = std::string_view(text).substr(at, end - at);
    at = end;
    // A line of blanks alone is an empty line too: kept as an entry, it would
    // be saved as an empty line and vanish only on the next read.
    if (TrimBlanks(line).empty()) continue;
    entries.push_back(ParseLine(line));
  }
  return entries;
}

std::string SerializeIni(const std::vector<IniEntry>& entries, std::string_view line_end) {
  std::string out(kByteOrderMark);
  out += line_end;
  for (const IniEntry& entry : entries) {
    switch (entry.kind) {
      case IniEntry::Kind::kKey:
        out += entry.text;
        out += " = ";
        out += entry.value;
        break;
      case IniEntry::Kind::kComment:
        out += "; ";
        out += entry.text;
        break;
      case IniEntry::Kind::kGroup:
        out += '[';
        out += entry.text;
        out += ']';
        break;
      case IniEntry::Kind::kOther:
        out += entry.text;
        break;
    }
    out += line_end;
  }
  return out;
}

int64_t ParseIniInteger(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  // Accumulate towards the sign's side so INT64_MIN is reachable without overflow.
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    const int digit = text[at] - '0';
    if (negative) {
      if (value < (kMin + digit) / 10) return kMin;
      value = value * 10 - digit;
    } else {
      if (value > (kMax - digit) / 10) return kMax;
      value = value * 10 + digit;
    }
  }
  return value;
}

std::vector<IniEntry>::const_iterator IniDocument::Find(std::string_view key) const {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->kind == IniEntry::Kind::kGroup) break;
    if (it->kind == IniEntry::Kind::kKey && KeysEqual(it->text, key)) return it;
  }
  return entries_.end();
}

std::optional<std::string> IniDocument::ReadText(std::string_view key) const {
  const auto it = Find(key);
  if (it == entries_.end()) return std::nullopt;
  return Utf8OrLatin1(TrimBlanks(it->value));
}

std::optional<std::string> IniDocument::ReadFileName(std::string_view key) const {
  const auto it = Find(key);
  if (it == entries_.end()) return std::nullopt;
  return std::string(TrimBlanks(it->value));
}

void IniDocument::WriteText(std::string_view key, std::string_view value) {
  const auto found = Find(key);
  if (found != entries_.end()) {
    auto& entry = entries_[static_cast<size_t>(found - entries_.begin())];
    entry.text = WithoutLineBreaks(key);
    entry.value = WithoutLineBreaks(value);
    return;
  }
  size_t insert_at = 0;
  while (insert_at < entries_.size() && entries_[insert_at].kind != IniEntry::Kind::kGroup) {
    ++insert_at;
  }
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(insert_at),
                  IniEntry{IniEntry::Kind::kKey, WithoutLineBreaks(key), WithoutLineBreaks(value)});
}

}  // namespace zielwerk
