// SPDX-License-Identifier: GPL-3.0-or-later
// The rule of the numeric spin fields, independent of any widget.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zielwerk {

struct SpinText {
  // The value the field holds afterwards; nullopt when the text was emptied
  // (the field then keeps its previous value).
  std::optional<int64_t> value;
  // What the field shows: the value in decimal, or "" for an emptied text.
  std::string shown;
};

// Reads `text` as a decimal integer from its start (no number reads as 0),
// clamps it into [minimum, maximum] and gives the text to show. An empty text
// stays empty and carries no value.
SpinText ApplySpinRule(std::string_view text, int64_t minimum, int64_t maximum);

}  // namespace zielwerk
