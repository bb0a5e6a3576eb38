// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zielwerk {

// The font families of the program's own texts, as Pango family lists: the
// face the texts are made for, then the desktop's sans face. Pango takes the
// first one the system has. The fallback is spelled out because Pango's
// Windows backend does not substitute a missing face on its own: without it a
// system lacking Verdana or Arial (Wine, a trimmed Windows) draws every letter
// as an empty box. On Linux fontconfig resolves both lists as it resolved the
// single names before.
inline constexpr const char* kPreviewFontFamilies = "Verdana,Sans";
inline constexpr const char* kPrintFontFamilies = "Arial,Sans";

}  // namespace zielwerk
