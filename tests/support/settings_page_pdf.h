// SPDX-License-Identifier: GPL-3.0-or-later
// The printed page as a PDF file, for looking at what the page draws with
// pdftotext and cairo's own PDF surface.
#pragma once

#include <string>

#include "core/picture/train_picture.h"

namespace zielwerk {

// Reads the settings file at `settings_path` and writes the page as a one-page
// A4 PDF (210 x 297 mm) to `pdf_path`. Returns false when the PDF could not be
// written.
bool RenderSettingsPagePdf(const std::string& pdf_path, const std::string& settings_path,
                           const TrainPicture* picture);

}  // namespace zielwerk
