// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_maker/picture_maker_window.h"

#include <gtk/gtk.h>
#include <glibmm/main.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <gtkmm/messagedialog.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "app/ui/file_requester.h"
#include "core/file/file_access.h"
#include "core/messages/messages.h"
#include "core/picture/text_picture.h"

namespace zielwerk {
namespace {

constexpr const char* kTitle = "Zielwerk Bildwandler";
constexpr int kLongestSuggestedName = 40;


// `path` with ".bmp" added unless it ends in it, in any letter case.
std::string WithBmpExtension(const std::string& path) {
  if (path.size() >= 4) {
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (end == ".bmp") return path;
  }
  return path + ".bmp";
}

}  // namespace

PictureMakerWindow::PictureMakerWindow(const ConversionRequest& request) {
  set_title(kTitle);
  add_accel_group(accelerators_);
  BuildLayout();
  SizeBoardToText();

  SetControls([&] {
    threshold_scale_.set_value(request.dots.threshold);
    dither_combo_.set_active(static_cast<int>(request.dots.dithering));
    invert_check_.set_active(request.dots.invert);
    FitRadio(request.fit).set_active(true);
    font_button_.set_font_name(request.font);
    if (request.text) {
      text_entry_.set_text(*request.text);
      text_radio_.set_active(true);
    }
  });
  open_folder_ = Glib::get_user_special_dir(G_USER_DIRECTORY_PICTURES);
  if (open_folder_.empty()) open_folder_ = Glib::get_home_dir();
  save_folder_ = WorkingFolder();
  Rescale();
  ConnectSignals();
  show_all_children();

  if (!request.inputs.empty()) {
    const std::string path = request.inputs.front();
    // Reported over the window, once it is there.
    Glib::signal_idle().connect_once([this, path] { OpenPicture(path); });
  }
}

void PictureMakerWindow::BuildLayout() {
  layout_.set_border_width(12);
  open_button_.add_accelerator("clicked", accelerators_, GDK_KEY_o, Gdk::CONTROL_MASK, Gtk::ACCEL_VISIBLE);
  save_button_.add_accelerator("clicked", accelerators_, GDK_KEY_s, Gdk::CONTROL_MASK, Gtk::ACCEL_VISIBLE);

  buttons_.pack_start(open_button_, Gtk::PACK_SHRINK);
  buttons_.pack_start(save_button_, Gtk::PACK_SHRINK);

  board_view_.add_events(Gdk::BUTTON_PRESS_MASK | Gdk::BUTTON1_MOTION_MASK);
  board_view_.set_tooltip_text("Zum Verschieben das Bild mit der Maus ziehen");
  info_label_.set_xalign(0.0f);
  info_label_.set_ellipsize(Pango::ELLIPSIZE_MIDDLE);
  info_label_.set_selectable(true);
  info_label_.set_can_focus(false);

  const auto set_up_grid = [](Gtk::Grid& grid) {
    grid.set_border_width(8);
    grid.set_row_spacing(6);
    grid.set_column_spacing(8);
  };
  // A control named by the label before it, for the keyboard (the label's
  // mnemonic) and for screen readers (the label's text).
  const auto left_label = [](Gtk::Label& label, Gtk::Widget& target) {
    label.set_xalign(0.0f);
    label.set_mnemonic_widget(target);
    std::string name = label.get_text();
    if (name.ends_with(':')) name.pop_back();
    target.get_accessible()->set_name(name);
  };

  set_up_grid(source_grid_);
  text_radio_.join_group(picture_radio_);
  file_label_.set_xalign(0.0f);
  file_label_.set_ellipsize(Pango::ELLIPSIZE_MIDDLE);
  file_label_.set_width_chars(24);
  file_label_.set_hexpand(true);
  file_label_.set_text("noch keine ge\xC3\xB6" "ffnet");
  text_entry_.set_width_chars(24);
  text_entry_.set_max_length(static_cast<int>(kMaxPictureTextBytes));
  text_entry_.set_placeholder_text("etwa BERNINA EXPRESS");
  text_entry_.get_accessible()->set_name("Text");
  left_label(font_label_, font_button_);
  font_button_.set_use_size(false);
  font_button_.set_show_size(false);
  font_button_.set_title("Schrift f\xC3\xBCr den Text");
  // The text is set as large as the display takes, so the chooser offers no size.
  gtk_font_chooser_set_level(GTK_FONT_CHOOSER(font_button_.gobj()),
                             static_cast<GtkFontChooserLevel>(GTK_FONT_CHOOSER_LEVEL_FAMILY |
                                                              GTK_FONT_CHOOSER_LEVEL_STYLE));
  source_grid_.attach(picture_radio_, 0, 0);
  source_grid_.attach(file_label_, 1, 0);
  source_grid_.attach(text_radio_, 0, 1);
  source_grid_.attach(text_entry_, 1, 1);
  source_grid_.attach(font_label_, 0, 2);
  source_grid_.attach(font_button_, 1, 2);
  source_frame_.add(source_grid_);

  set_up_grid(fit_grid_);
  height_radio_.join_group(whole_radio_);
  width_radio_.join_group(whole_radio_);
  for (Gtk::SpinButton* spin : {&offset_x_spin_, &offset_y_spin_}) {
    spin->set_increments(1, 10);
    spin->set_digits(0);
    spin->set_numeric(true);
    spin->set_width_chars(5);
  }
  left_label(offset_x_label_, offset_x_spin_);
  left_label(offset_y_label_, offset_y_spin_);
  centre_button_.set_tooltip_text("Das Bild wieder in die Mitte der Anzeige setzen");
  fit_grid_.attach(whole_radio_, 0, 0, 3);
  fit_grid_.attach(height_radio_, 0, 1, 3);
  fit_grid_.attach(width_radio_, 0, 2, 3);
  fit_grid_.attach(offset_x_label_, 0, 3);
  fit_grid_.attach(offset_x_spin_, 1, 3);
  fit_grid_.attach(centre_button_, 2, 3, 1, 2);
  fit_grid_.attach(offset_y_label_, 0, 4);
  fit_grid_.attach(offset_y_spin_, 1, 4);
  centre_button_.set_valign(Gtk::ALIGN_CENTER);
  fit_frame_.add(fit_grid_);

  set_up_grid(dots_grid_);
  threshold_scale_.set_range(0, 255);
  threshold_scale_.set_increments(1, 16);
  threshold_scale_.set_digits(0);
  threshold_scale_.set_value_pos(Gtk::POS_RIGHT);
  threshold_scale_.set_hexpand(true);
  threshold_scale_.set_size_request(160, -1);
  threshold_scale_.set_tooltip_text("Ein Punkt leuchtet, wo das Bild dunkler ist als die Schwelle");
  left_label(threshold_label_, threshold_scale_);
  dither_combo_.append("keine");
  dither_combo_.append("Floyd-Steinberg");
  dither_combo_.append("Atkinson");
  dither_combo_.set_tooltip_text("Graut\xC3\xB6ne als Muster aus leuchtenden und dunklen Punkten");
  left_label(dither_label_, dither_combo_);
  invert_check_.set_tooltip_text("Leuchtende und dunkle Punkte tauschen");
  dots_grid_.attach(threshold_label_, 0, 0);
  dots_grid_.attach(threshold_scale_, 1, 0);
  dots_grid_.attach(dither_label_, 0, 1);
  dots_grid_.attach(dither_combo_, 1, 1);
  dots_grid_.attach(invert_check_, 0, 2, 2);
  dots_frame_.add(dots_grid_);

  settings_.pack_start(source_frame_, Gtk::PACK_EXPAND_WIDGET);
  settings_.pack_start(fit_frame_, Gtk::PACK_SHRINK);
  settings_.pack_start(dots_frame_, Gtk::PACK_EXPAND_WIDGET);
  layout_.pack_start(buttons_, Gtk::PACK_SHRINK);
  layout_.pack_start(board_view_, Gtk::PACK_EXPAND_WIDGET);
  layout_.pack_start(info_label_, Gtk::PACK_SHRINK);
  layout_.pack_start(settings_, Gtk::PACK_SHRINK);
  add(layout_);
}

void PictureMakerWindow::ConnectSignals() {
  const auto on = [this](void (PictureMakerWindow::*handler)()) {
    return [this, handler] {
      if (!setting_controls_) (this->*handler)();
    };
  };
  open_button_.signal_clicked().connect(sigc::mem_fun(*this, &PictureMakerWindow::OnOpen));
  save_button_.signal_clicked().connect(sigc::mem_fun(*this, &PictureMakerWindow::OnSave));
  picture_radio_.signal_toggled().connect([this] {
    if (setting_controls_) return;
    FitToSourceKind();
    Rescale();
  });
  text_entry_.signal_changed().connect([this] {
    if (setting_controls_) return;
    if (!text_radio_.get_active()) {
      SetControls([&] { text_radio_.set_active(true); });
      FitToSourceKind();
    }
    Rescale();
  });
  font_button_.signal_font_set().connect(on(&PictureMakerWindow::Rescale));
  for (Gtk::RadioButton* radio : {&whole_radio_, &height_radio_, &width_radio_}) {
    // Each change of the fit toggles two radios; the one turned on acts.
    radio->signal_toggled().connect([this, radio] {
      if (setting_controls_ || !radio->get_active()) return;
      SetControls([&] { CentrePicture(); });
      Rescale();
    });
  }
  offset_x_spin_.signal_value_changed().connect(on(&PictureMakerWindow::UpdatePlacement));
  offset_y_spin_.signal_value_changed().connect(on(&PictureMakerWindow::UpdatePlacement));
  centre_button_.signal_clicked().connect([this] {
    SetControls([&] { CentrePicture(); });
    UpdatePlacement();
  });
  threshold_scale_.signal_value_changed().connect(on(&PictureMakerWindow::UpdateDots));
  dither_combo_.signal_changed().connect(on(&PictureMakerWindow::UpdateDots));
  invert_check_.signal_toggled().connect(on(&PictureMakerWindow::UpdateDots));
  signal_key_press_event().connect([this](GdkEventKey* event) {
    if ((event->state & GDK_CONTROL_MASK) == 0 || gdk_keyval_to_lower(event->keyval) != GDK_KEY_q) return false;
    close();
    return true;
  });
  board_view_.signal_button_press_event().connect(sigc::mem_fun(*this, &PictureMakerWindow::OnDragStart));
  board_view_.signal_motion_notify_event().connect(sigc::mem_fun(*this, &PictureMakerWindow::OnDrag));
  board_view_.signal_style_updated().connect(sigc::mem_fun(*this, &PictureMakerWindow::SizeBoardToText));
  board_view_.signal_realize().connect([this] {
    board_view_.get_window()->set_cursor(Gdk::Cursor::create(get_display(), "grab"));
  });
}

// The preview asks for LEDs about a third of a text line apart, so that it is
// as easy to judge as the texts are to read at every text size: six pixels
// with the default font at 96 dpi.
void PictureMakerWindow::SizeBoardToText() {
  int width = 0, line = 0;
  board_view_.create_pango_layout("Mg")->get_pixel_size(width, line);
  const int pitch = std::max(4, static_cast<int>(std::lround(line / 2.8)));
  board_view_.set_size_request(4 * (kDisplayPictureWidth + 2), pitch * (kDisplayPictureHeight + 2));
}

template <typename Change>
void PictureMakerWindow::SetControls(Change change) {
  const bool was = setting_controls_;
  setting_controls_ = true;
  change();
  setting_controls_ = was;
}

PictureFit PictureMakerWindow::ReadFit() const {
  return whole_radio_.get_active() ? PictureFit::kWhole
         : width_radio_.get_active() ? PictureFit::kWidth
                                     : PictureFit::kHeight;
}

Gtk::RadioButton& PictureMakerWindow::FitRadio(PictureFit fit) {
  return fit == PictureFit::kWhole ? whole_radio_ : fit == PictureFit::kWidth ? width_radio_ : height_radio_;
}

void PictureMakerWindow::FitToSourceKind() {
  const PictureFit fit = text_radio_.get_active() ? kDefaultTextFit : kDefaultPictureFit;
  if (fit == ReadFit()) return;
  SetControls([&] {
    FitRadio(fit).set_active(true);
    CentrePicture();
  });
}

DotSettings PictureMakerWindow::ReadDotSettings() const {
  DotSettings settings;
  settings.threshold = static_cast<int>(std::lround(threshold_scale_.get_value()));
  const int dithering = dither_combo_.get_active_row_number();
  settings.dithering = dithering == 1   ? Dithering::kFloydSteinberg
                       : dithering == 2 ? Dithering::kAtkinson
                                        : Dithering::kNone;
  settings.invert = invert_check_.get_active();
  settings.offset_x = offset_x_spin_.get_value_as_int();
  settings.offset_y = offset_y_spin_.get_value_as_int();
  return settings;
}

void PictureMakerWindow::CentrePicture() {
  offset_x_spin_.set_value(0);
  offset_y_spin_.set_value(0);
}

void PictureMakerWindow::Rescale() {
  const PictureFit fit = ReadFit();
  std::string info;
  if (text_radio_.get_active()) {
    scaled_ = SetTextAsPicture(text_entry_.get_text().raw(), font_button_.get_font_name().raw(), fit);
  } else if (!picture_.empty()) {
    scaled_ = ScaleToFit(picture_.view(), fit);
    const PixelView& view = picture_.view();
    const bool shrunk = view.width * view.height > scaled_.width * scaled_.height;
    info = ComposeMessage(shrunk ? Message::kMakerPictureShrunk : Message::kMakerPictureEnlarged,
                         {ShownFileName(picture_path_), std::to_string(view.width),
                          std::to_string(view.height), std::to_string(scaled_.width),
                          std::to_string(scaled_.height)});
  } else {
    scaled_ = GreyPicture{};
    info = MessageText(Message::kMakerStart);
  }
  const OffsetLimits limits = OffsetLimitsFor(scaled_.width, scaled_.height);
  SetControls([&] {
    offset_x_spin_.set_range(limits.min_x, limits.max_x);
    offset_y_spin_.set_range(limits.min_y, limits.max_y);
  });
  // After the ranges, which may have moved the picture back onto the display.
  info_label_.set_text(text_radio_.get_active() ? TextInfo() : info);
  save_button_.set_sensitive(scaled_.width > 0);
  UpdateDots();
}

void PictureMakerWindow::UpdateDots() { board_view_.Show(MakeDisplayDots(scaled_, ReadDotSettings())); }

void PictureMakerWindow::UpdatePlacement() {
  if (text_radio_.get_active()) {
    // Unchanged while the text moves inside the display, so a saved file's
    // name stays there.
    if (const std::string info = TextInfo(); info != info_label_.get_text().raw()) info_label_.set_text(info);
  }
  UpdateDots();
}

std::string PictureMakerWindow::TextInfo() const {
  if (scaled_.width == 0) return std::string(MessageText(Message::kMakerTextEmpty));
  const ScaledSize shown = ShownSize(scaled_.width, scaled_.height, offset_x_spin_.get_value_as_int(),
                                     offset_y_spin_.get_value_as_int());
  const std::string width = std::to_string(scaled_.width), height = std::to_string(scaled_.height);
  if (shown.width == scaled_.width && shown.height == scaled_.height) {
    return ComposeMessage(Message::kMakerTextSize, {width, height});
  }
  return ComposeMessage(Message::kMakerTextCut,
                        {width, height, std::to_string(shown.width), std::to_string(shown.height)});
}

bool PictureMakerWindow::OpenPicture(const std::string& path) {
  std::string error;
  SourcePicture picture = SourcePicture::Load(path, error);
  if (picture.empty()) {
    ShowError(error);
    return false;
  }
  picture_ = std::move(picture);
  picture_path_ = path;
  file_label_.set_text(ShownFileName(path));
  file_label_.set_tooltip_text(path);
  set_title(ShownFileName(path) + " \xE2\x80\x93 " + kTitle);
  const bool was_text = text_radio_.get_active();
  SetControls([&] {
    picture_radio_.set_active(true);
    CentrePicture();
  });
  if (was_text) FitToSourceKind();
  Rescale();
  return true;
}

void PictureMakerWindow::OnOpen() {
  std::string patterns;
  for (const std::string& pattern : PictureFilePatterns()) patterns += pattern + ";";
  const std::string path =
      ChooseFile(*this, {FileRequestKind::kOpen, "Bild \xC3\xB6" "ffnen", open_folder_,
                         "Bilder | " + patterns + " | Alle Dateien | *.*"});
  if (path.empty()) return;
  open_folder_ = Glib::path_get_dirname(path);
  OpenPicture(path);
}

std::string PictureMakerWindow::SuggestedFileName() const {
  if (!text_radio_.get_active()) return OutputInFolder("", ShownFileName(picture_path_), kPathSeparators);
  std::string name = "wagen_";
  for (const char c : std::string(text_entry_.get_text())) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (name.size() >= kLongestSuggestedName) break;
    name += u < 0x80 && std::isalnum(u) ? c : (u < 0x80 ? '_' : c);
  }
  return name + ".bmp";
}

void PictureMakerWindow::OnSave() {
  // The chooser does not ask about an existing file; the question comes
  // below, for the name with its extension.
  const std::string chosen = ChooseFile(
      *this, {FileRequestKind::kSave, "Zugbild speichern", save_folder_, "BMP-Bilder | *.bmp",
              SuggestedFileName()});
  if (chosen.empty()) return;
  const std::string path = WithBmpExtension(chosen);

  if (Glib::file_test(path, Glib::FILE_TEST_EXISTS)) {
    Gtk::MessageDialog question(*this,
                                ComposeMessage(Message::kMakerFileExists, {Quoted(ShownFileName(path))}),
                                false, Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_NONE, true);
    question.set_secondary_text(std::string(MessageText(Message::kMakerReplaceQuestion)));
    question.add_button("_Abbrechen", Gtk::RESPONSE_CANCEL);
    question.add_button("_Ersetzen", Gtk::RESPONSE_ACCEPT);
    question.set_default_response(Gtk::RESPONSE_CANCEL);
    if (question.run() != Gtk::RESPONSE_ACCEPT) return;
  }
  const SaveResult result = SaveDisplayPicture(path, dots());
  if (!result.ok) {
    ShowError(ComposeMessage(Message::kMakerCannotSave, {Quoted(path), SaveFailureReason(result)}));
    return;
  }
  save_folder_ = Glib::path_get_dirname(path);
  info_label_.set_text(ComposeMessage(Message::kMakerSaved, {path}));
}

bool PictureMakerWindow::OnDragStart(GdkEventButton* event) {
  if (event->button != 1) return false;
  drag_x_ = event->x;
  drag_y_ = event->y;
  drag_offset_x_ = offset_x_spin_.get_value_as_int();
  drag_offset_y_ = offset_y_spin_.get_value_as_int();
  return true;
}

bool PictureMakerWindow::OnDrag(GdkEventMotion* event) {
  // GTK delivers the pointer's motion over the preview with no button held
  // too, despite the event mask; only a drag may move the picture.
  if ((event->state & GDK_BUTTON1_MASK) == 0) return false;
  const double pitch = board_view_.Geometry().pitch;
  if (pitch <= 0 || scaled_.width == 0) return true;
  SetControls([&] {
    offset_x_spin_.set_value(drag_offset_x_ + std::lround((event->x - drag_x_) / pitch));
    offset_y_spin_.set_value(drag_offset_y_ + std::lround((event->y - drag_y_) / pitch));
  });
  UpdatePlacement();
  return true;
}

void PictureMakerWindow::ShowMessage(std::string_view title, const std::string& text) {
  Gtk::MessageDialog dialog(*this, text, false, Gtk::MESSAGE_OTHER, Gtk::BUTTONS_OK, true);
  dialog.set_title(std::string(title));
  dialog.run();
}

void PictureMakerWindow::ShowWarning(const std::string& text) {
  Glib::signal_idle().connect_once([this, text] { ShowMessage(MessageText(Message::kWarningTitle), text); });
}

}  // namespace zielwerk
