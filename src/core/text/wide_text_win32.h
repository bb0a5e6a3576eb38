// SPDX-License-Identifier: GPL-3.0-or-later
// The one place where the Windows build turns the program's UTF-8 texts into
// the UTF-16 that the Win32 "W" calls take, and back. Only *_win32.cc files
// include this header.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zielwerk {

// `utf8` as UTF-16; nullopt when it is not well-formed UTF-8, so that a
// damaged name can never open some other file.
std::optional<std::wstring> WideFromUtf8(std::string_view utf8);

// `wide` as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace zielwerk
