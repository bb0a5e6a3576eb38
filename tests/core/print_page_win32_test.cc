// SPDX-License-Identifier: GPL-3.0-or-later
// The print-out on Windows: the page's texts reach the paper even where the
// system lacks Arial (Wine has none), as embedded fonts in the page.
#include <string>

#include "core/print/settings_page.h"
#include "support/settings_page_pdf.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

TEST(PrintPageWin32Test, TextsReachThePage) {
  testing::TempDir dir;
  const std::string pdf = dir.File("Seite.pdf");
  ASSERT_TRUE(RenderSettingsPagePdf(pdf, dir.File("fehlt.ini"), nullptr));
  // Pango hands cairo glyphs only when it found a face; a page whose texts
  // fell through carries no font at all.
  EXPECT_NE(testing::ReadFileBytes(pdf).find("/Type /Font"), std::string::npos);
}

}  // namespace
}  // namespace zielwerk
