// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/form_values.h"


#include "ini/ini_store.h"
#include "settings/spin_rule.h"

namespace zielwerk {
namespace {

// How a form key's control takes the stored value.
struct ControlRule {
  std::string_view key;
  enum Kind { kAsStored, kSpin, kList, kCheck } kind;
  SpinRange range{0, 0};   // kSpin
  size_t entries = 0;      // kList
};

constexpr std::array<ControlRule, kFormKeyCount> kControlRules = {{
    {kKeyDccAddress, ControlRule::kSpin, kDccAddressRange},
    {kKeyDccAnalog, ControlRule::kList, {}, kDccAnalogEntries.size()},
    {kKeyTrainType, ControlRule::kList, {}, kTrainTypeEntries.size()},
    {kKeyStartStation, ControlRule::kAsStored},
    {kKeyScrollText, ControlRule::kAsStored},
    {kKeyEndStation, ControlRule::kAsStored},
    {kKeyStartMode, ControlRule::kList, {}, kStartModeEntries.size()},
    {kKeyStartTime, ControlRule::kSpin, kShowTimeRange},
    {kKeyEndMode, ControlRule::kList, {}, kEndModeEntries.size()},
    {kKeyEndTime, ControlRule::kSpin, kShowTimeRange},
    {kKeyCarNumber, ControlRule::kSpin, kCarNumberRange},
    {kKeyHideCarNumber, ControlRule::kCheck},
    {kKeyInvertDirection, ControlRule::kCheck},
}};

constexpr bool RulesMatchKeys() {
  for (size_t i = 0; i < kControlRules.size(); ++i) {
    if (kControlRules[i].key != kSettingKeys[i].key) return false;
  }
  return true;
}
static_assert(RulesMatchKeys());

}  // namespace

int ShownListIndex(int64_t index, size_t count) {
  return index >= 0 && static_cast<uint64_t>(index) < count ? static_cast<int>(index) : -1;
}

FormValues ReadFormValues() {
  FormValues values;
  for (size_t i = 0; i < kFormKeyCount; ++i) {
    const SettingKey& key = kSettingKeys[i];
    const ControlRule& rule = kControlRules[i];
    FormValue& value = values[i];
    if (key.kind == SettingKind::kText) {
      value.text = ReadIniText(key.key, key.form_default);
      if (rule.kind == ControlRule::kSpin) {
        value.text = ApplySpinRule(value.text, rule.range.minimum, rule.range.maximum).shown;
      }
      continue;
    }
    const int64_t stored = ReadIniInteger(key.key, std::stoll(std::string(key.form_default)));
    switch (rule.kind) {
      case ControlRule::kSpin:
        // A number always gives a value: only an empty text has none.
        value.number = ApplySpinRule(std::to_string(stored), rule.range.minimum, rule.range.maximum)
                           .value.value_or(rule.range.minimum);
        break;
      case ControlRule::kList:
        value.number = ShownListIndex(stored, rule.entries);
        break;
      case ControlRule::kCheck:
        value.number = stored != 0 ? 1 : 0;
        break;
      case ControlRule::kAsStored:
        value.number = stored;
        break;
    }
  }
  return values;
}

const FormValue& FormValueOf(const FormValues& values, std::string_view key) {
  for (size_t i = 0; i < kFormKeyCount; ++i) {
    if (kSettingKeys[i].key == key) return values[i];
  }
  // Only the form keys are asked for; the first value rather than none.
  return values[0];
}

}  // namespace zielwerk
