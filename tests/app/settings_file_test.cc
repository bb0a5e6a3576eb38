// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files read into the real form and saved back, the form rules
// through user-like events, and the file commands.
#include <gtkmm/messagedialog.h>

#include <filesystem>
#include <map>

#include "app/application.h"
#include "app/command_table.h"
#include "app/settings/current_settings.h"
#include "app/support/form_lines.h"
#include "app/support/window_fixture.h"
#include "core/settings/version.h"
#include "app/ui/control_events.h"
#include "app/ui/file_requester.h"
#include "app/ui/main_window.h"

namespace zielwerk {
namespace {

using testing::BytesEqual;
using testing::FiltersListing;
using testing::FormLines;
using testing::ReadFileBytes;
using testing::WindowTest;
using testing::WorkingFolder;
using testing::WriteFileBytes;

const std::string kMark = "\xEF\xBB\xBF";

struct FileCase {
  const char* name;
  std::optional<std::string> before;  // Default.ini at start-up, or none
  std::string after_save;
};

class SettingsFileRoundTrip : public WindowTest, public ::testing::WithParamInterface<FileCase> {
  void PrepareFolder(WorkingFolder& folder) override {
    if (GetParam().before) WriteFileBytes(folder.File("Default.ini"), *GetParam().before);
  }
};

TEST_P(SettingsFileRoundTrip, ReadingLeavesFileAndSavingGivesExactBytes) {
  const std::string path = folder().File("Default.ini");
  if (GetParam().before) {
    EXPECT_TRUE(BytesEqual(*GetParam().before, ReadFileBytes(path))) << "start-up must not write";
  } else {
    EXPECT_FALSE(testing::FileExists(path));
  }
  RunProgramCode([] { RunCommand(Command::kSaveSettings); });
  EXPECT_TRUE(BytesEqual(GetParam().after_save, ReadFileBytes(path)));
}

const std::string kLatin1Scroll = "Scrollstring = Alp Gr\xFCm\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsFileRoundTrip,
    ::testing::Values(
        FileCase{"NewFile", std::nullopt, kMark + "\n" + FormLines()},
        FileCase{"LowerCaseCrLf", "dcc-adresse=12\r\n", kMark + "\n" + FormLines({{"DCC-Adresse", "12"}})},
        FileCase{"CommentGroupAndUnknownKey", ";x\n[Extra]\na = 1\n",
                 kMark + "\n; x\n" + FormLines() + "[Extra]\na = 1\n"},
        FileCase{"GroupFirst", "[Alt]\nZugtyp = 2\nWagennummer = 5\n",
                 kMark + "\n" + FormLines() + "[Alt]\nZugtyp = 2\nWagennummer = 5\n"},
        FileCase{"Latin1Umlaut", kLatin1Scroll, kMark + "\nScrollstring = Alp Gr\xC3\xBCm\n" + [] {
                   std::string lines = FormLines();
                   lines.erase(lines.find("Scrollstring"), lines.find("Endstation") - lines.find("Scrollstring"));
                   return lines;
                 }()},
        FileCase{"DuplicateKey", "Zugtyp = 1\nZugtyp = 2\n",
                 kMark + "\nZugtyp = 1\nZugtyp = 2\n" +
                     [] {
                       std::string lines = FormLines({{"Zugtyp", "1"}});
                       lines.erase(lines.find("Zugtyp = 1\n"), 11);
                       return lines;
                     }()},
        FileCase{"UpperCaseKeyKeepsPlace", "Wagennummer = 3x\nZUGTYP = 2\n",
                 kMark + "\nWagennummer = 3\nZugtyp = 2\n" + [] {
                   std::string lines = FormLines();
                   lines.erase(lines.find("Zugtyp = 0\n"), 11);
                   lines.erase(lines.find("Wagennummer = 1\n"), 16);
                   return lines;
                 }()},
        FileCase{"ZeroBytes", "", kMark + "\n" + FormLines()},
        FileCase{"OnlyPicture", "Bild = eigenes.bmp\n", kMark + "\nBild = eigenes.bmp\n" + FormLines()},
        FileCase{"IndicesOutOfRange", "DCC/Analog = 7\nZugtyp = -5\nModus Anfang = x\nModus Ende = 2\n",
                 kMark + "\nDCC/Analog = -1\nZugtyp = -1\nModus Anfang = 0\nModus Ende = -1\n" + [] {
                   std::string lines = FormLines();
                   for (const char* line : {"DCC/Analog = 0\n", "Zugtyp = 0\n", "Modus Anfang = 0\n",
                                            "Modus Ende = 0\n"}) {
                     lines.erase(lines.find(line), std::string(line).size());
                   }
                   return lines;
                 }()},
        FileCase{"SpinTextsFollowTheFieldRule",
                 "DCC-Adresse = 300\nZeit Anfang = x\nZeit Ende =\nWagennummer = 0\n",
                 kMark + "\nDCC-Adresse = 127\nZeit Anfang = 1\nZeit Ende = \nWagennummer = 1\n" + [] {
                   std::string lines = FormLines();
                   for (const char* line : {"DCC-Adresse = 4\n", "Zeit Anfang = 1000\n",
                                            "Zeit Ende = 1000\n", "Wagennummer = 1\n"}) {
                     lines.erase(lines.find(line), std::string(line).size());
                   }
                   return lines;
                 }()}),
    [](const auto& info) { return std::string(info.param.name); });

// A UTF-16 file with a broken character is not text: the program says so
// once when it reads the file and the close leaves it as it stands.
struct NotTextCase {
  const char* name;
  const char* file;
  std::string_view status;
};

class FileThatIsNotText : public WindowTest, public ::testing::WithParamInterface<NotTextCase> {
 protected:
  void PrepareFolder(WorkingFolder& folder) override {
    WriteFileBytes(folder.File(GetParam().file), kBroken);
  }
  // "Anfangsstation = Chur" in UTF-16 LE, a low surrogate alone before "Chur".
  const std::string kBroken = [] {
    std::string bytes;
    for (const char16_t unit : std::u16string_view(u"\uFEFFAnfangsstation = \xDE82" u"Chur")) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
  }();
};

TEST_P(FileThatIsNotText, IsNamedInTheStatusBarAndLeftByTheClose) {
  EXPECT_EQ(Form().StatusText(), GetParam().status);
  EXPECT_FALSE(Form().main_status_bar.get_has_tooltip()) << "the text fits the bar";
  ShutDownNow();
  EXPECT_TRUE(BytesEqual(kBroken, ReadFileBytes(folder().File(GetParam().file))));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileThatIsNotText,
    ::testing::Values(NotTextCase{"Settings", "Default.ini", "Einstellungsdatei ist keine Textdatei: beim Beenden nicht überschrieben"},
                      NotTextCase{"AppConfig", "Zielstell.ini", "Zielstell.ini ist keine Textdatei: beim Beenden nicht überschrieben"}),
    [](const auto& info) { return std::string(info.param.name); });

class FormFromFile : public WindowTest {
 protected:
  void PrepareFolder(WorkingFolder& folder) override {
    WriteFileBytes(folder.File("Default.ini"), content_);
  }
  std::string content_ =
      "DCC-Adresse = 12\nDCC/Analog = 7\nZugtyp = 2\nAnfangsstation = Chur\n"
      "Scrollstring = Alp Gr\xFCm\nModus Anfang = 1\nModus Ende = 1\nZeit Ende =\n"
      "Wagennummer = 3\nkeine Wagennummer anzeigen = 1\nFahrtrichtung invertieren = 1\n";
};

TEST_F(FormFromFile, ControlsShowTheFileAndTheRules) {
  MainWindow& w = Form();
  EXPECT_EQ(w.dcc_address_spin.GetText(), "12");
  EXPECT_EQ(SelectedEntry(w.dcc_analog_combo), -1);
  EXPECT_TRUE(w.dcc_address_spin.get_sensitive()) << "no selection leaves the rule's control alone";
  EXPECT_EQ(SelectedEntry(w.train_type_combo), 2);
  EXPECT_EQ(w.start_station_field.get_text(), "Chur");
  EXPECT_EQ(w.scroll_text_field.get_text(), "Alp Gr\xC3\xBCm");
  EXPECT_EQ(w.end_station_field.get_text(), "Tirano");
  EXPECT_FALSE(w.start_time_spin.get_sensitive());
  EXPECT_FALSE(w.start_time_label.get_sensitive());
  EXPECT_FALSE(w.end_time_spin.get_sensitive());
  EXPECT_FALSE(w.end_time_label.get_sensitive());
  EXPECT_EQ(w.end_time_spin.GetText(), "");
  EXPECT_EQ(w.car_number_spin.GetValue(), 3);
  EXPECT_EQ(w.preview_car_number_text.get_text(), "3");
  EXPECT_TRUE(w.hide_car_number_check.get_active());
  EXPECT_FALSE(w.preview_car_number_text.get_visible());
  EXPECT_FALSE(w.car_number_spin.get_sensitive());
  EXPECT_TRUE(w.invert_direction_check.get_active());
}

// Changes made as a user makes them (not as program code) run the rules.
TEST_F(FormFromFile, RulesFollowUserEvents) {
  MainWindow& w = Form();
  w.dcc_analog_combo.set_active(2);  // "Analog"
  EXPECT_FALSE(w.dcc_address_spin.get_sensitive());
  EXPECT_TRUE(w.dcc_address_label.get_sensitive());
  EXPECT_EQ(w.dcc_address_spin.GetText(), "12");
  w.dcc_analog_combo.set_active(3);  // "Automatisch"
  EXPECT_TRUE(w.dcc_address_spin.get_sensitive());
  w.dcc_analog_combo.set_active(0);  // "Aus"
  EXPECT_FALSE(w.dcc_address_spin.get_sensitive());

  w.start_mode_combo.set_active(0);  // "Reinstampfen"
  EXPECT_TRUE(w.start_time_spin.get_sensitive());
  EXPECT_TRUE(w.start_time_label.get_sensitive());
  EXPECT_FALSE(w.end_time_spin.get_sensitive());

  w.hide_car_number_check.clicked();  // clear
  EXPECT_TRUE(w.preview_car_number_text.get_visible());
  EXPECT_TRUE(w.car_number_spin.get_sensitive());
  w.car_number_spin.up_button().clicked();
  EXPECT_EQ(w.preview_car_number_text.get_text(), "4");
  RunProgramCode([&] { w.car_number_spin.SetValue(9); });
  w.car_number_spin.up_button().clicked();
  EXPECT_EQ(w.car_number_spin.GetText(), "9");
  w.hide_car_number_check.clicked();  // checked
  EXPECT_FALSE(w.preview_car_number_text.get_visible());
  EXPECT_FALSE(w.car_number_spin.get_sensitive());

  RunProgramCode([] { RunCommand(Command::kSaveSettings); });
  const std::string saved = ReadFileBytes(folder().File("Default.ini"));
  EXPECT_NE(saved.find("DCC-Adresse = 12\nDCC/Analog = 0\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Wagennummer = 9\nkeine Wagennummer anzeigen = 1\n"), std::string::npos);
}

class FileCommands : public WindowTest {
 protected:
  void TearDown() override {
    SetFileRequesterForTesting({});
    WindowTest::TearDown();
  }
  // Answers the next requests with these names (relative to the folder),
  // recording each request.
  void Answer(std::vector<std::string> names) {
    SetFileRequesterForTesting([this, names, next = size_t{0}](const FileRequest& request) mutable {
      requests_.push_back(request);
      const std::string name = next < names.size() ? names[next++] : "";
      return name.empty() ? name : folder().File(name);
    });
  }
  std::vector<FileRequest> requests_;
};

TEST_F(FileCommands, SaveAsNamesTheFileAndTheTitle) {
  const struct {
    std::string typed;
    std::string written;
  } cases[] = {{"Zug", "Zug.ini"}, {"ZUG.INI", "ZUG.INI"}, {"Zug.in", "Zug.in.ini"},
               {"Zug.txt", "Zug.txt.ini"}, {"Zug.Ini", "Zug.Ini"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Answer({c.typed});
    RunProgramCode([] { RunCommand(Command::kSaveSettingsAs); });
    EXPECT_TRUE(BytesEqual(kMark + "\n" + FormLines(), ReadFileBytes(folder().File(c.written))));
    EXPECT_EQ(CurrentSettingsPath(), folder().File(c.written));
    EXPECT_EQ(Form().get_title(), std::string(kAppNameAndVersion) + " - [" + c.written + "]");
  }
  ASSERT_FALSE(requests_.empty());
  EXPECT_EQ(requests_[0].kind, FileRequestKind::kSave);
  EXPECT_EQ(requests_[0].title, "Einstellungen speichern als:");
  EXPECT_EQ(requests_[0].start_folder, folder().dir().path() + "/");
  for (const auto& [name, listed] : {std::pair{"Zug.ini", true}, {"ZUG.INI", true}, {"Zug.txt", false}}) {
    EXPECT_EQ(FiltersListing(requests_[0].filter_text, name),
              (std::vector<std::pair<std::string, bool>>{{"Einstellungen", listed}}))
        << name;
  }
}

TEST_F(FileCommands, SaveAsOntoExistingFileKeepsPictureAndUnknownKeys) {
  WriteFileBytes(folder().File("alt.ini"), "Bild = mein.bmp\nFarbe = rot\nZugtyp = 3\n");
  Answer({"alt.ini"});
  RunProgramCode([] { RunCommand(Command::kSaveSettingsAs); });
  std::string expected_lines = FormLines();
  expected_lines.erase(expected_lines.find("Zugtyp = 0\n"), 11);
  EXPECT_TRUE(BytesEqual(kMark + "\nBild = mein.bmp\nFarbe = rot\nZugtyp = 0\n" + expected_lines,
                         ReadFileBytes(folder().File("alt.ini"))));
}

TEST_F(FileCommands, LoadThenCancelKeepsTheFirstFile) {
  WriteFileBytes(folder().File("glacier.ini"), "Anfangsstation = Zermatt\nZugtyp = 1\n");
  Form().start_station_field.set_text("ungespeichert");
  Answer({"glacier.ini", ""});
  RunProgramCode([] { RunCommand(Command::kLoadSettings); });
  EXPECT_EQ(Form().start_station_field.get_text(), "Zermatt");
  EXPECT_EQ(Form().end_station_field.get_text(), "Tirano");
  EXPECT_EQ(SelectedEntry(Form().train_type_combo), 1);
  EXPECT_EQ(Form().get_title(), std::string(kAppNameAndVersion) + " - [glacier.ini]");
  RunProgramCode([] { RunCommand(Command::kLoadSettings); });
  EXPECT_EQ(Form().start_station_field.get_text(), "Zermatt");
  EXPECT_EQ(CurrentSettingsPath(), folder().File("glacier.ini"));
  EXPECT_EQ(Form().get_title(), std::string(kAppNameAndVersion) + " - [glacier.ini]");
  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_EQ(requests_[0].kind, FileRequestKind::kOpen);
  EXPECT_EQ(requests_[0].title, "Einstellungen laden:");
  EXPECT_EQ(requests_[1].start_folder, folder().dir().path() + "/");
}

// A save that fails says why in the status bar.
TEST_F(FileCommands, FailedSaveIsReported) {
  Answer({"fehlt/neu.ini"});
  RunProgramCode([] { RunCommand(Command::kSaveSettingsAs); });
  EXPECT_EQ(Form().StatusText(), "Einstellungen nicht gespeichert: den Ordner gibt es nicht");
}

TEST_F(FileCommands, SaveCreatesAMissingFileAndShutDownSavesToTheNewPath) {
  Answer({"neu.ini"});
  RunProgramCode([] { RunCommand(Command::kSaveSettingsAs); });
  std::filesystem::remove(folder().File("neu.ini"));
  RunProgramCode([] { RunCommand(Command::kSaveSettings); });
  EXPECT_TRUE(testing::FileExists(folder().File("neu.ini")));
  Form().end_station_field.set_text("Poschiavo");
  ShutDownNow();
  EXPECT_NE(ReadFileBytes(folder().File("neu.ini")).find("Endstation = Poschiavo\n"),
            std::string::npos);
  EXPECT_NE(ReadFileBytes(folder().File("Zielstell.ini"))
                .find("Einstellungen = " + folder().File("neu.ini") + "\n"),
            std::string::npos);
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::testing::RunWindowTests(argc, argv); }
