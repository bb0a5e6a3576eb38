// SPDX-License-Identifier: GPL-3.0-or-later
// The command texts built from the form's values.
#include "core/link/display_commands.h"

#include <string>

#include "support/test_files.h"

namespace zielwerk {
namespace {

struct PaddedCase {
  std::string_view text;
  size_t width;
  std::string_view padded;
};

class PaddedFieldTest : public ::testing::TestWithParam<PaddedCase> {};

TEST_P(PaddedFieldTest, RightAlignsInZeros) {
  EXPECT_EQ(PaddedField(GetParam().text, GetParam().width), GetParam().padded);
}

INSTANTIATE_TEST_SUITE_P(Texts, PaddedFieldTest,
                         ::testing::Values(PaddedCase{"500", 4, "0500"}, PaddedCase{"3", 3, "003"},
                                           PaddedCase{"127", 3, "127"}, PaddedCase{"9999", 4, "9999"},
                                           PaddedCase{"", 4, "0000"}, PaddedCase{"", 3, "000"},
                                           PaddedCase{"12345", 4, "1234"},
                                           // Cut by characters, never inside one.
                                           PaddedCase{"1\xC3\xA4" "23", 3, "1\xC3\xA4" "2"},
                                           PaddedCase{"\xC3\xA4", 3, "00\xC3\xA4"}));

SettingsCommandFields With(void (*change)(SettingsCommandFields&)) {
  SettingsCommandFields fields;
  change(fields);
  return fields;
}

struct SettingsCase {
  const char* name;
  SettingsCommandFields fields;
  // Written field by field in the order of the command: "!", car number,
  // hide, train type, run-in mode, run-in time, run-out mode, run-out time,
  // direction source, DCC address, invert.
  std::string_view command;
};

class SettingsCommandTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsCommandTest, BuildsTheFields) {
  EXPECT_TRUE(testing::BytesEqual(GetParam().command, SettingsCommand(GetParam().fields)));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SettingsCommandTest,
    ::testing::Values(
        SettingsCase{"Defaults", {}, "!" "1" "0" "0" "0" "1000" "0" "1000" "0" "004" "0"},
        SettingsCase{"ShortTimeAndAddressArePadded",
                     With([](auto& f) { f.start_time_text = "500", f.dcc_address_text = "3"; }),
                     "!" "1" "0" "0" "0" "0500" "0" "1000" "0" "003" "0"},
        SettingsCase{"FullWidthAddress",
                     With([](auto& f) { f.dcc_address_text = "127", f.dcc_analog = 1; }),
                     "!" "1" "0" "0" "0" "1000" "0" "1000" "1" "127" "0"},
        SettingsCase{"EmptiedSpinFieldsGiveZeros",
                     With([](auto& f) {
                       f.start_time_text = "", f.end_time_text = "", f.dcc_address_text = "";
                     }),
                     "!" "1" "0" "0" "0" "0000" "0" "0000" "0" "000" "0"},
        SettingsCase{"ComboWithoutSelectionGivesMinusOne",
                     With([](auto& f) { f.train_type = -1; }),
                     "!" "1" "0" "-1" "0" "1000" "0" "1000" "0" "004" "0"},
        SettingsCase{"EveryFieldAtItsTop",
                     With([](auto& f) {
                       f.car_number = 9, f.hide_car_number = 1, f.train_type = 3, f.start_mode = 1,
                       f.start_time_text = "9999", f.end_mode = 1, f.end_time_text = "1",
                       f.dcc_analog = 3, f.dcc_address_text = "127", f.invert_direction = 1;
                     }),
                     "!" "9" "1" "3" "1" "9999" "1" "0001" "3" "127" "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsCommandTest, DefaultsAreNineteenCharacters) {
  const std::string command = SettingsCommand(SettingsCommandFields{});
  EXPECT_EQ(command, "!100010000100000040");
  EXPECT_EQ(command.size(), 19u);
  EXPECT_EQ(SettingsCommand(With([](auto& f) { f.start_mode = -1; })).size(), 20u);
}

struct RouteCase {
  const char* name;
  const char* start;
  const char* scroll;
  const char* end;
  std::string_view command;
  bool acceptable;
};

class ScrollTextCommandTest : public ::testing::TestWithParam<RouteCase> {};

TEST_P(ScrollTextCommandTest, JoinsSubstitutesAndChecksTheFirstCharacter) {
  const RouteCase& c = GetParam();
  const std::string command = ScrollTextCommand(c.start, c.scroll, c.end);
  EXPECT_TRUE(testing::BytesEqual(c.command, command));
  EXPECT_EQ(IsAcceptableScrollTextCommand(command), c.acceptable);
}

INSTANTIATE_TEST_SUITE_P(
    Routes, ScrollTextCommandTest,
    ::testing::Values(
        RouteCase{"Defaults", "St. Moritz",
                  "Pontresina-Morteratsch-Ospizio Bernina-Alp Gr\xC3\xBCm-Poschiavo-Brusio", "Tirano",
                  "St. Moritz-Pontresina-Morteratsch-Ospizio Bernina-Alp Gr%m-Poschiavo-Brusio-Tirano",
                  true},
        RouteCase{"InvertedDirectionKeepsTheStations", "St. Moritz",
                  "Brusio-Poschiavo-Alp Gr\xC3\xBCm-Ospizio Bernina-Morteratsch-Pontresina", "Tirano",
                  "St. Moritz-Brusio-Poschiavo-Alp Gr%m-Ospizio Bernina-Morteratsch-Pontresina-Tirano",
                  true},
        RouteCase{"UmlautsInAllThreeTexts", "M\xC3\xBCnster", "H\xC3\xA4usern-B\xC3\xB6hl",
                  "L\xC3\xBC\xC3\xA4\xC3\xB6", "M%nster-H#usern-B$hl-L%#$", true},
        RouteCase{"UpperCaseUmlautsAndSharpSStay", "\xC3\x96hningen", "", "\xC3\x84\xC3\x9C\xC3\x9F",
                  "\xC3\x96hningen--\xC3\x84\xC3\x9C\xC3\x9F", true},
        RouteCase{"StationsAreNotTrimmed", "Chur ", "", " Arosa", "Chur -- Arosa", true},
        RouteCase{"LowerCaseFirst", "chur", "", "", "chur--", true},
        RouteCase{"CapitalAIsTheLowestAccepted", "A", "", "", "A--", true},
        RouteCase{"AtSignIsRefused", "@Chur", "", "", "@Chur--", false},
        RouteCase{"EmptyStartGivesTheHyphenFirst", "", "Chur", "Arosa", "-Chur-Arosa", false},
        RouteCase{"LowerUmlautFirstBecomesHash", "\xC3\xA4gerital", "", "", "#gerital--", false},
        RouteCase{"BlankFirst", " Chur", "", "", " Chur--", false},
        RouteCase{"DigitFirst", "1. Halt", "", "", "1. Halt--", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScrollTextCommandTest, EmptyTextIsNotAcceptable) {
  EXPECT_FALSE(IsAcceptableScrollTextCommand(""));
}

}  // namespace
}  // namespace zielwerk
