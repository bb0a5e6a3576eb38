// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-core-bench: times the core's work that the program does on the
// user's behalf: reading and writing a settings file, decoding a picture, and
// the settings and picture transfers against a display (the simulator) on a
// serial device. Prints one "name value..." line per figure for
// scripts/benchmark.sh to put into its table.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini/ini_store.h"
#include "core/link/display_commands.h"
#include "core/link/port_listing.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_queue.h"
#include "core/picture/picture_bits.h"
#include "core/picture/picture_reader.h"
#include "core/settings/settings_keys.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kUsage[] =
    "Usage: zielwerk-core-bench ini FOLDER [ITERATIONS]\n"
    "       zielwerk-core-bench decode [--iterations N] PICTURE...\n"
    "       zielwerk-core-bench link DEVICE PICTURE [REPEATS]\n"
    "       zielwerk-core-bench ports [ITERATIONS]\n"
    "\n"
    "ini     reads and writes a settings file of the fourteen keys in FOLDER\n"
    "        (OpenIni, ReadIni*/WriteIni*, CloseIni), ITERATIONS times each (1000);\n"
    "        prints \"ini_read_us MEDIAN MEAN\" and \"ini_write_us MEDIAN MEAN\".\n"
    "decode  decodes each picture from memory N times (1000); prints\n"
    "        \"decode_us FILE MEDIAN\" and, for the first, \"row_commands_us MEDIAN\".\n"
    "link    opens DEVICE and times the settings command exchange and the picture\n"
    "        transfer (settings file read, seven row commands) REPEATS times (3);\n"
    "        prints \"settings_transfer_ms MEDIAN MIN MAX STATUS\" and\n"
    "        \"picture_transfer_ms MEDIAN MIN MAX STATUS\".\n"
    "ports   lists the serial ports as the list about to open does (read from the\n"
    "        system, then described) ITERATIONS times (20), and once as the start\n"
    "        does; prints \"port_list_open_ms MEDIAN MAX COUNT\" and\n"
    "        \"port_list_start_ms TIME COUNT\".\n";

struct Summary {
  double median = 0;
  double mean = 0;
  double min = 0;
  double max = 0;
};

Summary Summarise(std::vector<double> values) {
  Summary summary;
  if (values.empty()) return summary;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  summary.median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
  double total = 0;
  for (double value : values) total += value;
  summary.mean = total / static_cast<double>(values.size());
  summary.min = values.front();
  summary.max = values.back();
  return summary;
}

// Runs `work` `count` times and returns each run's duration in microseconds.
std::vector<double> TimeRuns(long count, const std::function<void(long)>& work) {
  std::vector<double> durations;
  durations.reserve(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) {
    const Clock::time_point start = Clock::now();
    work(i);
    durations.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return durations;
}

std::optional<long> ParseCount(const char* text) {
  long value = 0;
  const std::string_view view = text;
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (error != std::errc() || end != view.data() + view.size() || value <= 0) return std::nullopt;
  return value;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Writes every key as the settings writer does: integers as numbers, the
// rest as text; `variant` changes one value so that each write has news.
void WriteAllKeys(long variant) {
  for (const zielwerk::SettingKey& entry : zielwerk::kSettingKeys) {
    if (entry.key == zielwerk::kKeyCarNumber) {
      zielwerk::WriteIniInteger(entry.key, variant % 100);
    } else if (entry.kind == zielwerk::SettingKind::kInteger) {
      zielwerk::WriteIniInteger(entry.key, entry.form_default[0] - '0');
    } else {
      zielwerk::WriteIniText(entry.key, entry.form_default);
    }
  }
}

int RunIni(const std::string& folder, long iterations) {
  const std::string path = folder + "/Bench.ini";
  zielwerk::OpenIni(path);
  WriteAllKeys(1);
  if (!zielwerk::CloseIni().ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  size_t checksum = 0;
  const Summary read = Summarise(TimeRuns(iterations, [&](long) {
    zielwerk::OpenIni(path);
    for (const zielwerk::SettingKey& entry : zielwerk::kSettingKeys) {
      if (entry.kind == zielwerk::SettingKind::kInteger) {
        checksum += static_cast<size_t>(zielwerk::ReadIniInteger(entry.key, 0));
      } else {
        checksum += zielwerk::ReadIniText(entry.key, "").size();
      }
    }
    zielwerk::CloseIni();
  }));
  bool written = true;
  const Summary write = Summarise(TimeRuns(iterations, [&](long i) {
    zielwerk::OpenIni(path);
    WriteAllKeys(i);
    written = zielwerk::CloseIni().ok && written;
  }));
  if (checksum == 0 || !written) {
    std::fprintf(stderr, "the settings file was not read or written back\n");
    return 1;
  }
  std::printf("ini_read_us %.1f %.1f\n", read.median, read.mean);
  std::printf("ini_write_us %.1f %.1f\n", write.median, write.mean);
  return 0;
}

int RunDecode(const std::vector<std::string>& paths, long iterations) {
  std::optional<zielwerk::TrainPicture> first;
  for (const std::string& path : paths) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
      std::fprintf(stderr, "cannot read %s\n", path.c_str());
      return 1;
    }
    std::optional<zielwerk::TrainPicture> picture = zielwerk::DecodePicture(*bytes);
    if (!picture) {
      std::fprintf(stderr, "cannot decode %s\n", path.c_str());
      return 1;
    }
    if (!first) first = std::move(picture);
    const Summary decode = Summarise(TimeRuns(iterations, [&](long) {
      if (!zielwerk::DecodePicture(*bytes)) std::abort();
    }));
    const std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
    std::printf("decode_us %.*s %.1f\n", static_cast<int>(name.size()), name.data(), decode.median);
  }
  size_t length = 0;
  const Summary commands = Summarise(TimeRuns(iterations, [&](long) {
    for (const std::string& command : zielwerk::PictureRowCommands(*first)) length += command.size();
  }));
  if (length == 0) return 1;
  std::printf("row_commands_us %.1f\n", commands.median);
  return 0;
}

// The settings file the picture transfer consults first, as the program does.
std::string WriteTransferSettings(const std::string& picture_path) {
  const std::string path = picture_path + ".transfer.ini";
  zielwerk::OpenIni(path);
  zielwerk::WriteIniText(zielwerk::kKeyPicture, picture_path);
  zielwerk::CloseIni();
  return path;
}

int RunLink(const std::string& device, const std::string& picture_path, long repeats) {
  zielwerk::SerialPort port;
  const zielwerk::PortResult opened = port.Open(device);
  if (!opened.ok) {
    std::fprintf(stderr, "cannot open %s: %.*s: %s\n", device.c_str(),
                 static_cast<int>(opened.failed_call.size()), opened.failed_call.data(),
                 std::strerror(opened.error_number));
    return 1;
  }
  const std::optional<zielwerk::TrainPicture> picture = zielwerk::ReadPictureFile(picture_path);
  if (!picture) {
    std::fprintf(stderr, "cannot read the picture %s\n", picture_path.c_str());
    return 1;
  }
  const std::string settings_path = WriteTransferSettings(picture_path);

  std::string settings_status;
  std::vector<double> settings_ms;
  for (long i = 0; i < repeats; ++i) {
    const Clock::time_point start = Clock::now();
    settings_status = zielwerk::CommandExchange(port, zielwerk::SettingsCommand({}));
    settings_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::string picture_status;
  std::vector<double> picture_ms;
  for (long i = 0; i < repeats; ++i) {
    const Clock::time_point start = Clock::now();
    zielwerk::OpenIni(settings_path);
    const std::string chosen = zielwerk::ReadIniText(zielwerk::kKeyPicture, zielwerk::kNoPicturePath);
    zielwerk::CloseIni();
    if (chosen != picture_path) return 1;
    for (const std::string& command : zielwerk::PictureRowCommands(*picture)) {
      picture_status = zielwerk::CommandExchange(port, command);
    }
    picture_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::remove(settings_path.c_str());
  const Summary settings = Summarise(settings_ms);
  const Summary transfer = Summarise(picture_ms);
  std::printf("settings_transfer_ms %.1f %.1f %.1f %s\n", settings.median, settings.min, settings.max,
              settings_status.c_str());
  std::printf("picture_transfer_ms %.1f %.1f %.1f %s\n", transfer.median, transfer.min, transfer.max,
              picture_status.c_str());
  return 0;
}

// The work the port field does when its list opens, and at start-up.
int RunPorts(long iterations) {
  size_t count = 0;
  const Summary open = Summarise(TimeRuns(iterations, [&](long) {
    const std::optional<std::vector<std::string>> names = zielwerk::ReadSerialPortNames();
    count = names ? zielwerk::DescribeSerialPorts(*names).size() : 0;
  }));
  std::printf("port_list_open_ms %.2f %.2f %zu\n", open.median / 1000, open.max / 1000, count);
  const Clock::time_point start = Clock::now();
  const std::optional<std::vector<std::string>> names = zielwerk::ListSerialPortNames();
  const size_t start_count = names ? zielwerk::DescribeSerialPorts(*names).size() : 0;
  std::printf("port_list_start_ms %.2f %zu\n",
              std::chrono::duration<double, std::milli>(Clock::now() - start).count(), start_count);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "ini" && (argc == 3 || argc == 4)) {
    const std::optional<long> iterations = argc == 4 ? ParseCount(argv[3]) : 1000;
    if (iterations) return RunIni(argv[2], *iterations);
  } else if (mode == "decode" && argc > 2) {
    long iterations = 1000;
    int first = 2;
    if (std::string_view(argv[2]) == "--iterations" && argc > 4) {
      const std::optional<long> count = ParseCount(argv[3]);
      if (!count) {
        std::fputs(kUsage, stderr);
        return 2;
      }
      iterations = *count;
      first = 4;
    }
    return RunDecode(std::vector<std::string>(argv + first, argv + argc), iterations);
  } else if (mode == "link" && (argc == 4 || argc == 5)) {
    const std::optional<long> repeats = argc == 5 ? ParseCount(argv[4]) : 3;
    if (repeats) return RunLink(argv[2], argv[3], *repeats);
  } else if (mode == "ports" && (argc == 2 || argc == 3)) {
    const std::optional<long> iterations = argc == 3 ? ParseCount(argv[2]) : 20;
    if (iterations) return RunPorts(*iterations);
  }
  std::fputs(kUsage, stderr);
  return 2;
}
