// SPDX-License-Identifier: GPL-3.0-or-later
// Train-type pictures in the display frame, the custom-picture command and
// the picture transfer, in the running window.
#include <glibmm/main.h>
#include <gtkmm/messagedialog.h>

#include <filesystem>

#include "app/command_table.h"
#include "app/settings/current_settings.h"
#include "app/settings/settings_file.h"
#include "app/support/message_boxes.h"
#include "app/support/window_fixture.h"
#include "app/ui/control_events.h"
#include "app/ui/file_requester.h"
#include "app/ui/main_window.h"
#include "core/link/serial_port.h"
#include "core/picture/picture_slots.h"
#include "support/pseudo_terminal.h"

namespace zielwerk {
namespace {

using testing::FiltersListing;
using testing::MessageBoxAnswerer;
using testing::ReadFileBytes;
using testing::StatusShows;
using testing::TestDataPath;
using testing::WindowTest;
using testing::WorkingFolder;
using testing::WriteFileBytes;

// A 24-bit bottom-up BMP of the given size, all white.
std::string WhiteBmp(int width, int height) {
  const int row = (width * 3 + 3) / 4 * 4;
  const int size = 54 + row * height;
  std::string bytes(static_cast<size_t>(size), '\0');
  const auto put32 = [&](int at, int value) {
    for (int i = 0; i < 4; ++i) bytes[static_cast<size_t>(at + i)] = static_cast<char>(value >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  bytes[26] = 1;
  bytes[28] = 24;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * 3; ++x) bytes[static_cast<size_t>(54 + y * row + x)] = '\xFF';
  }
  return bytes;
}

class TrainPictures : public WindowTest {
 protected:
  void PrepareFolder(WorkingFolder& folder) override {
    std::filesystem::remove(folder.File("wagen_REGIO_EXPRESS.bmp"));
    std::filesystem::copy_file(TestDataPath("picture/train.png"), folder.File("zug.bmp"));
    std::filesystem::copy_file(TestDataPath("picture/train.gif"), folder.File("zug.gif"));
    WriteFileBytes(folder.File("breit.bmp"), WhiteBmp(161, 14));
    WriteFileBytes(folder.File("text.png"), "kein Bild\n");
  }
  void TearDown() override {
    SetFileRequesterForTesting({});
    WindowTest::TearDown();
  }
  void LoadPicture(const std::string& name) {
    SetFileRequesterForTesting([this, name](const FileRequest& request) {
      last_request_ = request;
      return folder().File(name);
    });
    RunProgramCode([] { RunCommand(Command::kLoadTrainPicture); });
  }
  // The size of the picture shown, in pixels of the window.
  std::pair<int, int> Shown() {
    cairo_surface_t* surface = nullptr;
    g_object_get(Form().train_picture_image.gobj(), "surface", &surface, nullptr);
    if (!surface) return {0, 0};
    const std::pair<int, int> size{cairo_image_surface_get_width(surface),
                                   cairo_image_surface_get_height(surface)};
    cairo_surface_destroy(surface);
    return size;
  }
  FileRequest last_request_{};
};

TEST_F(TrainPictures, TrainTypeShowsItsSlotAndMissingFileClears) {
  MainWindow& w = Form();
  EXPECT_EQ(Shown(), std::make_pair(160, 14));
  w.train_type_combo.set_active(2);  // REGIO EXPRESS, whose file is missing
  EXPECT_EQ(Shown(), std::make_pair(0, 0));
  w.train_type_combo.set_active(1);
  EXPECT_EQ(Shown(), std::make_pair(160, 14));
  w.train_type_combo.set_active(3);  // no custom picture: kein_BILD.bmp is not there
  EXPECT_EQ(Shown(), std::make_pair(0, 0));
}

TEST_F(TrainPictures, CarNumberStaysHiddenOrVisibleOverNewPictures) {
  MainWindow& w = Form();
  w.train_type_combo.set_active(1);
  EXPECT_TRUE(w.preview_car_number_text.get_visible());
  w.hide_car_number_check.clicked();
  w.train_type_combo.set_active(0);
  EXPECT_FALSE(w.preview_car_number_text.get_visible());
}

TEST_F(TrainPictures, CustomPictureIsLoadedByContentStoredAndSelected) {
  MessageBoxAnswerer boxes;
  LoadPicture("zug.bmp");  // a PNG under a .bmp name
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(last_request_.title, "Bild individueller Zugtyp laden:");
  // The chooser lists every name the readers take, in either letter case.
  for (const char* name : {"zug.bmp", "Lok.GIF", "foto.jpeg", "zug.jpg", "IMG_0815.JPG", "logo.Png"}) {
    EXPECT_EQ(FiltersListing(last_request_.filter_text, name),
              (std::vector<std::pair<std::string, bool>>{{"Bild", true}}))
        << name;
  }
  EXPECT_EQ(FiltersListing(last_request_.filter_text, "Default.ini"),
            (std::vector<std::pair<std::string, bool>>{{"Bild", false}}));
  EXPECT_EQ(SelectedEntry(Form().train_type_combo), 3);
  EXPECT_EQ(Shown(), std::make_pair(160, 14));
  EXPECT_NE(ReadFileBytes(folder().File("Default.ini")).find("Bild = " + folder().File("zug.bmp") + "\n"),
            std::string::npos)
      << "written at once, without a save";
}

TEST_F(TrainPictures, WrongSizeWarnsAndStillShowsAtOwnSize) {
  MessageBoxAnswerer boxes(testing::BoxPictures::kRead);
  LoadPicture("breit.bmp");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, "W A R N U N G");
  EXPECT_EQ(boxes.boxes()[0].text, "Bild entspricht nicht dem Format 160x14px");
  EXPECT_EQ(boxes.boxes()[0].picture_pixels, 0) << "only the about box has an icon";
  EXPECT_EQ(Shown(), std::make_pair(161, 14));
  testing::PumpEvents(30);
  EXPECT_EQ(Form().train_picture_image.get_allocated_width(), 161);
}

// A settings file that is not text is left whole: the command asks for a
// new name first, and neither the file nor the preview changes.
TEST_F(TrainPictures, SettingsThatAreNotTextAreNotTouched) {
  const std::string not_text = std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
  WriteFileBytes(folder().File("Default.ini"), not_text);
  MessageBoxAnswerer boxes;
  LoadPicture("zug.gif");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, "W A R N U N G");
  EXPECT_EQ(boxes.boxes()[0].text, "Die Einstellungsdatei ist keine Textdatei; das Bild wird nicht eingetragen, die "
            "Datei bleibt, wie sie ist.\n\nSpeichern Sie die Einstellungen zuerst mit „Speichern "
            "als...“ unter einem neuen Namen, dann laden Sie das Bild.");
  EXPECT_TRUE(testing::BytesEqual(not_text, ReadFileBytes(folder().File("Default.ini"))));
  EXPECT_EQ(SelectedEntry(Form().train_type_combo), 0);
  EXPECT_EQ(last_request_.title, "") << "no file is asked for";
}

TEST_F(TrainPictures, UnreadableFileReportsErrorAndLeavesSelection) {
  MessageBoxAnswerer boxes;
  LoadPicture("zug.gif");
  Form().train_type_combo.set_active(0);
  boxes.Clear();
  LoadPicture("text.png");
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].title, "F E H L E R");
  EXPECT_EQ(boxes.boxes()[0].text, "Bild konnte nicht geladen werden");
  EXPECT_EQ(SelectedEntry(Form().train_type_combo), 0);
  EXPECT_EQ(Shown(), std::make_pair(160, 14));
  EXPECT_EQ(PictureInSlot(3), nullptr);
  EXPECT_NE(ReadFileBytes(folder().File("Default.ini")).find("zug.gif"), std::string::npos);
  Form().train_type_combo.set_active(3);
  EXPECT_EQ(Shown(), std::make_pair(0, 0));
  RunProgramCode(ReadSettingsFile);
  EXPECT_NE(PictureInSlot(3), nullptr) << "reading the settings again restores the picture";
}

// Whether a picture was chosen is for the settings file's "Bild" alone to
// say, by an exact, case-sensitive search for kein_BILD.bmp: slot 3 holds a
// picture throughout, and is sent (to the closed line) whenever the file
// names one.
TEST_F(TrainPictures, TransferWithoutChosenPictureSaysSo) {
  LoadPicture("zug.gif");
  ASSERT_NE(PictureInSlot(3), nullptr);
  const std::pair<const char*, bool> cases[] = {
      {"Zugtyp = 3\n", true},
      {"Bild = kein_BILD.bmp\n", true},
      {"Bild = /bilder/kein_BILD.bmp.alt\n", true},
      {"Bild = zug.gif\n", false},
      {"Bild = kein_bild.bmp\n", false},
      {"Bild = kein_BILD.bm\n", false},
      {"Bild = \n", false},
  };
  for (const auto& [content, expect_message] : cases) {
    SCOPED_TRACE(content);
    WriteFileBytes(folder().File("Default.ini"), content);
    RunProgramCode([] { Form().SetStatusText("Ok"); RunCommand(Command::kTransferPicture); });
    EXPECT_EQ(Form().StatusText(), expect_message ? "kein Bild geladen"
                                                  : "Serielle Schnittstelle nicht verfügbar");
  }
  // A chosen picture whose file gives none: nothing is sent (not even to the
  // closed line), and the status names the file and why.
  const std::pair<const char*, const char*> unusable[] = {
      {"Bild = /weg/fehlt.bmp\n", "Bild „fehlt.bmp“ nicht gesendet: nicht gefunden"},
      {"Bild = Default.ini\n",
       "Bild „Default.ini“ nicht gesendet: kein Bild im Format BMP, JPEG, PNG oder GIF"},
  };
  for (const auto& [content, status] : unusable) {
    WriteFileBytes(folder().File("Default.ini"), content);
    RunProgramCode([] { ReadSettingsFile(); RunCommand(Command::kTransferPicture); });
    EXPECT_EQ(Form().StatusText(), status);
  }
}

// Settings copied with their picture to another folder: the absolute path
// they keep names nothing there, and the picture beside them is taken.
TEST_F(TrainPictures, SettingsCopiedWithTheirPictureFindIt) {
  const std::string copy = folder().File("kopie");
  std::filesystem::create_directory(copy);
  std::filesystem::copy_file(testing::TestDataPath("picture/train.gif"), copy + "/zug.gif");
  WriteFileBytes(copy + "/zug.ini", "Zugtyp = 3\nBild = /anderer/rechner/zug.gif\n");
  RunProgramCode([&] {
    SetCurrentSettingsPath(copy + "/zug.ini");
    ReadSettingsFile();
  });
  EXPECT_NE(PictureInSlot(3), nullptr);
  EXPECT_EQ(ReadFileBytes(copy + "/zug.ini"), "Zugtyp = 3\nBild = /anderer/rechner/zug.gif\n");
}

TEST_F(TrainPictures, SaveAsToNewFileForgetsThePictureForTheTransfer) {
  LoadPicture("zug.gif");
  ASSERT_NE(PictureInSlot(3), nullptr);
  SetFileRequesterForTesting([this](const FileRequest&) { return folder().File("neu"); });
  RunProgramCode([] { RunCommand(Command::kSaveSettingsAs); });
  RunProgramCode([] { RunCommand(Command::kTransferPicture); });
  EXPECT_EQ(Form().StatusText(), "kein Bild geladen");
}

TEST_F(TrainPictures, TransferSendsSevenRowPairsInOrder) {
  LoadPicture("zug.gif");
  Form().train_type_combo.set_active(0);  // sent whatever the train type shows
  testing::PseudoTerminal line;
  line.MakeRaw();
  ASSERT_TRUE(SerialLink().Open(line.SlavePath()).ok);
  RunProgramCode([] { RunCommand(Command::kTransferPicture); });
  // Nothing answers: the transfer ends when the last row's wait is over.
  EXPECT_TRUE(testing::PumpEventsUntil(StatusShows("Bild wird gesendet: Zeile 7 von 7"), 6000));
  EXPECT_TRUE(testing::PumpEventsUntil(StatusShows("Keine Bestätigung empfangen")));
  const std::string received = line.ReadAvailable();
  SerialLink().Close();

  // The picture is a black rectangle from (10, 2) to (150, 11) on white.
  const std::string blank(40, '0');
  const std::string dark = "003F" + std::string(32, 'F') + "FE00";
  std::string expected = "0" + blank + blank + "\n";
  for (char k = '1'; k <= '5'; ++k) expected += k + dark + dark + "\n";
  expected += "6" + blank + blank + "\n";
  EXPECT_TRUE(testing::BytesEqual(expected, received));
  EXPECT_EQ(Form().StatusText(), "Keine Bestätigung empfangen");
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::testing::RunWindowTests(argc, argv); }
