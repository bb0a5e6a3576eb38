// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 checks and conversions shared by the INI store, the reply decoding and
// the scroll preview, and the blank trimming of the INI store and the file
// filters. All functions work on bytes and never throw.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zielwerk {

// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF, no truncated sequence.
bool IsValidUtf8(std::string_view bytes);

// Each byte taken as one ISO 8859-1 character, returned as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// `bytes` as they are when they are valid UTF-8, else Latin1ToUtf8(bytes): a
// text saved by an ISO 8859-1 editor comes back whole, and the result is
// always valid UTF-8.
std::string Utf8OrLatin1(std::string_view bytes);

// UTF-16 code units, two bytes each in the given byte order and without a
// byte-order mark, as UTF-8; nullopt when they are not well-formed UTF-16 (an
// odd number of bytes, or a surrogate without its other half).
std::optional<std::string> Utf16ToUtf8(std::string_view bytes, bool big_endian);

// `bytes` with every ill-formed sequence replaced by U+FFFD, so the result is
// always valid UTF-8 (safe to hand to a GTK label).
std::string SanitizeUtf8(std::string_view bytes);

// Number of UTF-16 code units the (valid) UTF-8 text takes: one per code
// point below U+10000, two above.
size_t Utf16Length(std::string_view utf8);

// The characters from UTF-16 position `first` (0-based) spanning `count`
// code units, as UTF-8. A surrogate pair cut by either edge of the window is
// replaced by U+FFFD, so the result stays valid UTF-8.
std::string Utf16Substring(std::string_view utf8, size_t first, size_t count);

// `text` without the blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view text);

}  // namespace zielwerk
