// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop.h"

#include <gdk/gdk.h>
#include <gtk/gtk.h>
#include <glib.h>
#include <gtkmm/window.h>

#include <string>
#include <string_view>

// After the GTK and GLib headers: windows.h (which gdkwin32.h includes too)
// defines macros (DELETE, ERROR) that collide with names in gtkmm's enums.
#include <gdk/gdkwin32.h>
#include <windows.h>
#include <objbase.h>
#include <propkey.h>
#include <propsys.h>
#include <shellapi.h>
#include <shobjidl.h>

#include "core/file/work_folder_win32.h"
#include "core/settings/version.h"

namespace zielwerk {
namespace {

constexpr const char* kTabletInputVariable = "GDK_WIN32_TABLET_INPUT_API";
bool tablet_input_set = false;

void (*close_handler)() = nullptr;
void (*shut_down_handler)() = nullptr;

// An ASCII name as Windows wants it.
std::wstring Wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

// The hidden window: Windows sends WM_QUERYENDSESSION and WM_ENDSESSION to
// every top-level window, visible or not, and GTK's own windows ignore them.
LRESULT CALLBACK SessionWindowProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param) {
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (w_param) {
        shut_down_handler();
        ExitProcess(0);
      }
      return 0;
    case WM_CLOSE:
      close_handler();
      return 0;
    default:
      return DefWindowProcW(window, message, w_param, l_param);
  }
}

bool SetText(IPropertyStore* store, const PROPERTYKEY& key, const std::wstring& text) {
  PROPVARIANT value{};
  value.vt = VT_LPWSTR;
  // The store keeps a copy.
  value.pwszVal = const_cast<wchar_t*>(text.c_str());
  return SUCCEEDED(store->SetValue(key, value));
}

}  // namespace

void PrepareToolkitEnvironment() {
  // The form takes no pen input of its own, and Windows hands a pen to it as
  // a mouse either way. Left to itself, GDK loads Wintab where the newer
  // pointer calls are missing (Windows 7, Wine), and Wintab keeps a hidden
  // window in the process whose answer to the session's end is not the
  // program's: Wine's says no, and the session then does not end, nor does
  // the program save. A value of the user's own is kept.
  if (g_getenv(kTabletInputVariable) == nullptr) {
    g_setenv(kTabletInputVariable, "none", TRUE);
    tablet_input_set = true;
  }
}

void RestoreToolkitEnvironment() {
  if (tablet_input_set) g_unsetenv(kTabletInputVariable);
  tablet_input_set = false;
}

void FollowHighContrast() {
  if (g_getenv("GTK_THEME") != nullptr) return;
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) ||
      (contrast.dwFlags & HCF_HIGHCONTRASTON) == 0) {
    return;
  }
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  const bool dark = 299 * GetRValue(window) + 587 * GetGValue(window) + 114 * GetBValue(window) <
                    128 * 1000;
  g_object_set(gtk_settings_get_default(), "gtk-theme-name",
               dark ? "HighContrastInverse" : "HighContrast", nullptr);
}

void WatchSessionEnd(void (*request_close)(), void (*shut_down)()) {
  close_handler = request_close;
  shut_down_handler = shut_down;
  // The class carries Zielwerk's application ID, in the picture maker too:
  // the installer looks for windows of this class, and of the program file
  // it replaces, to ask a running program to close.
  static const std::wstring class_name = Wide(kAppId);
  WNDCLASSW session_class{};
  session_class.lpfnWndProc = SessionWindowProcedure;
  session_class.hInstance = GetModuleHandleW(nullptr);
  session_class.lpszClassName = class_name.c_str();
  if (RegisterClassW(&session_class) == 0) return;
  // A top-level window, not a message-only one: those get no session messages.
  CreateWindowExW(0, class_name.c_str(), L"Zielwerk", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                  session_class.hInstance, nullptr);
}

void ShowAsInstalledProgram(Gtk::Window& window, std::string_view app_id, std::string_view name) {
  const Glib::RefPtr<Gdk::Window> gdk_window = window.get_window();
  const std::wstring program = ProgramFilePath();
  if (!gdk_window || program.empty()) return;
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  IPropertyStore* store = nullptr;
  const HWND handle = static_cast<HWND>(gdk_win32_window_get_handle(gdk_window->gobj()));
  if (SUCCEEDED(SHGetPropertyStoreForWindow(handle, IID_PPV_ARGS(&store)))) {
    // Windows wants the relaunch command and its name together with the ID.
    const bool set = SetText(store, PKEY_AppUserModel_ID, Wide(app_id)) &&
                     SetText(store, PKEY_AppUserModel_RelaunchCommand, L"\"" + program + L"\"") &&
                     SetText(store, PKEY_AppUserModel_RelaunchDisplayNameResource, Wide(name)) &&
                     SetText(store, PKEY_AppUserModel_RelaunchIconResource, program + L",-1");
    if (set) store->Commit();
    store->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

double TextResolution() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 96.0;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  GdkMonitor* primary = gdk_display_get_primary_monitor(gdk_display_get_default());
  const int gtk_scale = primary ? gdk_monitor_get_scale_factor(primary) : 1;
  return static_cast<double>(dpi) / (gtk_scale > 1 ? gtk_scale : 1);
}

bool OpenInBrowser(const std::string& url) {
  gunichar2* wide_url = g_utf8_to_utf16(url.c_str(), -1, nullptr, nullptr, nullptr);
  if (wide_url == nullptr) return false;
  // The shell may hand the URL to COM objects; it wants COM set up on this
  // thread, which GTK may or may not have done already.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // The shell starts the default browser and returns; a value of 32 or less
  // means it could not.
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(wide_url),
                                         nullptr, nullptr, SW_SHOWNORMAL);
  if (SUCCEEDED(com)) CoUninitialize();
  g_free(wide_url);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

// The shell opens a path as it opens a URL, with the program it has for the
// file's type.
bool OpenLocalPage(const std::string& path) { return OpenInBrowser(path); }

}  // namespace zielwerk
