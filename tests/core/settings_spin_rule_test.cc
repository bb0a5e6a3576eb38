// SPDX-License-Identifier: GPL-3.0-or-later
// The spin fields' rule: a number read from the start of the text, clamped
// into the range; an emptied field shows nothing and keeps its value.
#include "core/settings/spin_rule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace zielwerk {
namespace {

struct SpinCase {
  std::string_view text;
  int64_t minimum, maximum;
  std::optional<int64_t> value;
  std::string_view shown;
};

TEST(SpinRuleTest, ClampsTheLeadingNumber) {
  const SpinCase cases[] = {
      {"5", 1, 9, 5, "5"},          {"12", 1, 9, 9, "9"},        {"0", 1, 127, 1, "1"},
      {"20000", 1, 9999, 9999, "9999"}, {"x", 1, 9, 1, "1"},     {"3x", 1, 9, 3, "3"},
      {"-4", 1, 9, 1, "1"},         {"  7", 1, 9, 7, "7"},       {"", 1, 9, std::nullopt, ""},
      {"99999999999999999999", 1, 9999, 9999, "9999"},
  };
  for (const SpinCase& c : cases) {
    const SpinText result = ApplySpinRule(c.text, c.minimum, c.maximum);
    EXPECT_EQ(result.value, c.value) << c.text;
    EXPECT_EQ(result.shown, c.shown) << c.text;
  }
}

}  // namespace
}  // namespace zielwerk
