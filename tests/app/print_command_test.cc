// SPDX-License-Identifier: GPL-3.0-or-later
// Printing from the running window: the page shows the settings file, not
// the form, and printing leaves the file untouched.
#include <cstdio>

#include "app/command_table.h"
#include "app/settings/settings_commands.h"
#include "app/support/window_fixture.h"
#include "app/ui/control_events.h"
#include "app/ui/main_window.h"

namespace zielwerk {
namespace {

using testing::WindowTest;

std::string PdfText(const std::string& pdf) {
  std::string text;
  if (FILE* pipe = popen(("pdftotext -layout '" + pdf + "' - 2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    pclose(pipe);
  }
  return text;
}

class PrintCommand : public WindowTest {
  void PrepareFolder(testing::WorkingFolder& folder) override {
    testing::WriteFileBytes(folder.File("Default.ini"),
                            "Anfangsstation=Samedan\r\nWagennummer = 5\r\nkeine Wagennummer anzeigen = 1\r\n");
  }
  void TearDown() override {
    SetPrintExportForTesting("");
    WindowTest::TearDown();
  }
};

TEST_F(PrintCommand, PrintsTheFileNotTheForm) {
  const std::string before = testing::ReadFileBytes(folder().File("Default.ini"));
  Form().start_station_field.set_text("ungespeichert");
  const std::string pdf = folder().File("seite.pdf");
  SetPrintExportForTesting(pdf);
  RunProgramCode([] { RunCommand(Command::kPrintSettings); });
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Zielwerk"), std::string::npos) << text;
  EXPECT_NE(text.find("Anfangsstation: Samedan"), std::string::npos) << text;
  EXPECT_EQ(text.find("ungespeichert"), std::string::npos);
  EXPECT_NE(text.find("Wagennummer: 5"), std::string::npos);
  EXPECT_NE(text.find("NICHT anzeigen"), std::string::npos);
  EXPECT_NE(text.find("DCC-Adresse: -"), std::string::npos);
  EXPECT_TRUE(testing::BytesEqual(before, testing::ReadFileBytes(folder().File("Default.ini"))));
}

// A print that cannot be made says so, with the print system's reason.
TEST_F(PrintCommand, FailureIsReported) {
  SetPrintExportForTesting(folder().File("fehlt/seite.pdf"));
  RunProgramCode([] { RunCommand(Command::kPrintSettings); });
  EXPECT_TRUE(Form().StatusText().starts_with("Drucken nicht möglich: ")) << Form().StatusText();
  EXPECT_GT(Form().StatusText().size(), std::string("Drucken nicht möglich: ").size());
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::testing::RunWindowTests(argc, argv); }
