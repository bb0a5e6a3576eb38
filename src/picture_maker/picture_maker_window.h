// SPDX-License-Identifier: GPL-3.0-or-later
// The picture maker's window: a photo, a logo or a line of text turned into
// the display's 160 x 14 dots, shown as the car's LEDs while the user fits,
// moves and thresholds it, and saved as a BMP file for Zielwerk.
#pragma once

#include <gtkmm/accelgroup.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/entry.h>
#include <gtkmm/fontbutton.h>
#include <gtkmm/frame.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>
#include <gtkmm/radiobutton.h>
#include <gtkmm/scale.h>
#include <gtkmm/spinbutton.h>
#include <gtkmm/window.h>

#include <string>

#include "app/ui/led_board_view.h"
#include "app/ui/message_box.h"
#include "core/picture/conversion_options.h"
#include "core/picture/picture_bits.h"
#include "picture_maker/picture_file.h"

namespace zielwerk {

class PictureMakerWindow : public Gtk::Window {
 public:
  // Opens with the settings of `request`: its picture or its text, the fit
  // and the dot settings. A picture that cannot be read is reported once the
  // window shows.
  explicit PictureMakerWindow(const ConversionRequest& request);

  // Loads the picture at `path` as the source; on failure reports why in a
  // message box, keeps the source it had and returns false.
  bool OpenPicture(const std::string& path);
  // Shows `text` in a warning box over the window once the window is there.
  void ShowWarning(const std::string& text);
  // The dots the preview shows.
  const LedBoard& dots() const { return board_view_.board(); }
  Gtk::Scale& threshold_scale() { return threshold_scale_; }

 private:
  void BuildLayout();
  void SizeBoardToText();
  void ConnectSignals();
  // Runs `change` as the program's own change of controls: the controls'
  // signals do not start a recalculation meanwhile.
  template <typename Change>
  void SetControls(Change change);

  // The source (the picture or the text) or the fit changed: scales anew.
  void Rescale();
  // A setting of the dots changed: the cheap steps only.
  void UpdateDots();
  // The picture moved: the dots, and for a text whether the display cuts it.
  void UpdatePlacement();
  // The text's size for beside the preview, with what shows of it when the
  // display cuts it.
  std::string TextInfo() const;
  DotSettings ReadDotSettings() const;
  PictureFit ReadFit() const;
  Gtk::RadioButton& FitRadio(PictureFit fit);
  // The source turned from a picture to the text or back: the fit becomes
  // that kind's default, and a changed fit starts centred.
  void FitToSourceKind();
  void CentrePicture();

  void OnOpen();
  void OnSave();
  bool OnDragStart(GdkEventButton* event);
  bool OnDrag(GdkEventMotion* event);
  void ShowMessage(std::string_view title, const std::string& text);
  void ShowError(const std::string& text) { ShowMessage(MessageText(Message::kErrorTitle), text); }
  std::string SuggestedFileName() const;

  SourcePicture picture_;
  std::string picture_path_;
  std::string open_folder_;
  std::string save_folder_;
  GreyPicture scaled_;
  bool setting_controls_ = false;
  double drag_x_ = 0, drag_y_ = 0;
  int drag_offset_x_ = 0, drag_offset_y_ = 0;

  Glib::RefPtr<Gtk::AccelGroup> accelerators_ = Gtk::AccelGroup::create();
  Gtk::Box layout_{Gtk::ORIENTATION_VERTICAL, 8};
  Gtk::Box buttons_{Gtk::ORIENTATION_HORIZONTAL, 6};
  Gtk::Button open_button_{"Bild _öffnen …", true};
  Gtk::Button save_button_{"Als BMP _speichern …", true};
  LedBoardView board_view_{kDisplayPictureWidth, kDisplayPictureHeight, 4};
  Gtk::Label info_label_;
  Gtk::Box settings_{Gtk::ORIENTATION_HORIZONTAL, 12};

  Gtk::Frame source_frame_{"Quelle"};
  Gtk::Grid source_grid_;
  Gtk::RadioButton picture_radio_{"_Bilddatei:", true};
  Gtk::Label file_label_;
  Gtk::RadioButton text_radio_{"_Text:", true};
  Gtk::Entry text_entry_;
  Gtk::Label font_label_{"S_chrift:", true};
  Gtk::FontButton font_button_;

  Gtk::Frame fit_frame_{"Einpassen"};
  Gtk::Grid fit_grid_;
  Gtk::RadioButton whole_radio_{"_Ganz zeigen (bis 160 x 14)", true};
  Gtk::RadioButton height_radio_{"_Höhe füllen (14 Zeilen)", true};
  Gtk::RadioButton width_radio_{"B_reite füllen (160 Spalten)", true};
  Gtk::Label offset_x_label_{"_Waagrecht:", true};
  Gtk::SpinButton offset_x_spin_;
  Gtk::Label offset_y_label_{"S_enkrecht:", true};
  Gtk::SpinButton offset_y_spin_;
  Gtk::Button centre_button_{"_Mittig", true};

  Gtk::Frame dots_frame_{"Punkte"};
  Gtk::Grid dots_grid_;
  Gtk::Label threshold_label_{"He_lligkeitsschwelle:", true};
  Gtk::Scale threshold_scale_{Gtk::ORIENTATION_HORIZONTAL};
  Gtk::Label dither_label_{"R_asterung:", true};
  Gtk::ComboBoxText dither_combo_;
  Gtk::CheckButton invert_check_{"_Invertieren", true};
};

}  // namespace zielwerk
