// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/support/window_fixture.h"

#include <glib.h>
#include <glibmm/main.h>
#include <gtkmm/main.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "support/test_files.h"

#include "app/application.h"
#include "app/ui/control_events.h"
#include "app/ui/file_requester.h"
#include "app/ui/main_window.h"

namespace zielwerk::testing {

namespace {

// Any GTK or GLib warning during a window test is a failure of that test:
// the program must run without warnings on stderr.
GLogWriterOutput FailOnWarnings(GLogLevelFlags level, const GLogField* fields, gsize count,
                                gpointer user_data) {
  if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
    std::string message;
    for (gsize i = 0; i < count; ++i) {
      if (std::string_view(fields[i].key) == "MESSAGE" && fields[i].length < 0) {
        message = static_cast<const char*>(fields[i].value);
      }
    }
    ADD_FAILURE() << "GLib/GTK warning: " << message;
  }
  return g_log_writer_default(level, fields, count, user_data);
}

}  // namespace

int RunWindowTests(int argc, char** argv) {
  g_log_set_writer_func(FailOnWarnings, nullptr, nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  g_setenv("GDK_BACKEND", "x11", TRUE);
  Gtk::Main kit(argc, argv);
  return RUN_ALL_TESTS();
}

bool PumpEventsUntil(const std::function<bool()>& done, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  auto context = Glib::MainContext::get_default();
  for (;;) {
    while (context->pending()) context->iteration(false);
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    g_usleep(5000);
  }
}

void PumpEvents(int milliseconds) {
  PumpEventsUntil([] { return false; }, milliseconds);
}

std::function<bool()> StatusShows(std::string text) {
  return [text = std::move(text)] { return Form().StatusText() == text; };
}

std::string MakeStandInLs(const std::string& folder, const std::string& listing) {
  const std::string bin = folder + "/.bin";
  std::filesystem::create_directory(bin);
  WriteFileBytes(bin + "/ls", "#!/bin/sh\nprintf '" + listing + "'\n");
  std::filesystem::permissions(bin + "/ls", std::filesystem::perms::owner_all);
  return bin;
}

std::vector<std::pair<std::string, bool>> FiltersListing(const std::string& filter_text,
                                                         const std::string& file_name) {
  std::vector<std::pair<std::string, bool>> found;
  for (const auto& filter : FileFilters(filter_text)) {
    GtkFileFilterInfo info{};
    info.contains = static_cast<GtkFileFilterFlags>(GTK_FILE_FILTER_FILENAME | GTK_FILE_FILTER_DISPLAY_NAME);
    info.filename = info.display_name = file_name.c_str();
    found.emplace_back(filter->get_name(), gtk_file_filter_filter(filter->gobj(), &info));
  }
  return found;
}

WorkingFolder::WorkingFolder() {
  previous_ = std::filesystem::current_path().string();
  std::filesystem::copy(ZIELWERK_PROJECT_DATA_DIR, dir_.path(),
                        std::filesystem::copy_options::recursive);
  std::filesystem::current_path(dir_.path());
}

WorkingFolder::~WorkingFolder() { std::filesystem::current_path(previous_); }

void WindowTest::SetUp() {
  folder_ = std::make_unique<WorkingFolder>();
  // The port list comes from "ls -1 /dev"; a stand-in "ls" first on PATH
  // makes it the same on every machine, so no warning box can stop start-up.
  const std::string bin = MakeStandInLs(folder_->dir().path(), "ttyS0\\nttyS1\\n");
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
  g_setenv("PATH", (bin + G_SEARCHPATH_SEPARATOR_S + path).c_str(), TRUE);
  PrepareFolder(*folder_);
  RunProgramCode(StartUp);
  g_setenv("PATH", path.c_str(), TRUE);
  running_ = true;
  ASSERT_TRUE(PumpEventsUntil([] { return Form().get_mapped(); }));
  PumpEvents(20);
}

void WindowTest::ShutDownNow() {
  if (!running_) return;
  running_ = false;
  RunProgramCode(ShutDown);
  PumpEvents(10);
}

void WindowTest::TearDown() {
  ShutDownNow();
  folder_.reset();
}

}  // namespace zielwerk::testing
