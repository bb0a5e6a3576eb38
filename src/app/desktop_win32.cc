#include "app/desktop.h"

#include <gdk/gdk.h>
#include <glib.h>

// After the GTK and GLib headers: windows.h defines macros (DELETE, ERROR)
// that collide with names in gtkmm's enums.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

namespace zielwerk {

void PrepareToolkitEnvironment() {}

void RestoreToolkitEnvironment() {}

void WatchSessionEnd(void (*)()) {}

double TextResolution() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 96.0;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  GdkMonitor* primary = gdk_display_get_primary_monitor(gdk_display_get_default());
  const int gtk_scale = primary ? gdk_monitor_get_scale_factor(primary) : 1;
  return static_cast<double>(dpi) / (gtk_scale > 1 ? gtk_scale : 1);
}

void OpenInBrowser(const std::string& url) {
  gunichar2* wide_url = g_utf8_to_utf16(url.c_str(), -1, nullptr, nullptr, nullptr);
  if (wide_url == nullptr) return;
  // The shell may hand the URL to COM objects; it wants COM set up on this
  // thread, which GTK may or may not have done already.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // The shell starts the default browser and returns; a value of 32 or less
  // means it could not, which the command ignores.
  ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(wide_url), nullptr, nullptr,
                SW_SHOWNORMAL);
  if (SUCCEEDED(com)) CoUninitialize();
  g_free(wide_url);
}

}  // namespace zielwerk
