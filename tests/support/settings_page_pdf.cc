// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/settings_page_pdf.h"

#include <cairo-pdf.h>

#include "core/print/settings_page.h"
#include "core/text/cairo_pointers.h"

namespace zielwerk {

bool RenderSettingsPagePdf(const std::string& pdf_path, const std::string& settings_path,
                           const TrainPicture* picture) {
  constexpr double kPointsPerMm = 72.0 / 25.4;
  constexpr double kA4WidthMm = 210.0;
  constexpr double kA4HeightMm = 297.0;
  const SettingsPageValues values = ReadSettingsPageValues(settings_path);
  SurfacePtr surface(cairo_pdf_surface_create(pdf_path.c_str(), kA4WidthMm * kPointsPerMm,
                                              kA4HeightMm * kPointsPerMm));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
  bool ok;
  {
    CairoPtr cr(cairo_create(surface.get()));
    cairo_scale(cr.get(), kPointsPerMm, kPointsPerMm);
    DrawSettingsPage(cr.get(), values, picture);
    cairo_show_page(cr.get());
    ok = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
  }
  cairo_surface_finish(surface.get());
  return ok && cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace zielwerk
