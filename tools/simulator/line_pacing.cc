// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/line_pacing.h"

#include <algorithm>

namespace zielwerk {

std::chrono::nanoseconds ByteTime(long baud) {
  if (baud <= 0) return std::chrono::nanoseconds(0);
  return std::chrono::nanoseconds(kBitTimesPerByte * 1'000'000'000LL / baud);
}

void LinePacer::Take(std::string_view bytes, Clock::time_point arrived) {
  const auto keep = [this](std::string_view part) {
    partial_.append(part.substr(0, kLongestPacedLine - std::min(kLongestPacedLine, partial_.size())));
  };
  Clock::time_point end = std::max(line_free_, arrived);
  size_t begin = 0;
  for (size_t feed; (feed = bytes.find('\n', begin)) != std::string_view::npos; begin = feed + 1) {
    keep(bytes.substr(begin, feed - begin));
    end += byte_time_ * static_cast<long long>(feed - begin + 1);
    lines_.push_back(PacedLine{std::move(partial_), end});
    partial_.clear();
  }
  keep(bytes.substr(begin));
  line_free_ = end + byte_time_ * static_cast<long long>(bytes.size() - begin);
}

std::optional<PacedLine> LinePacer::NextLine(Clock::time_point now) {
  if (lines_.empty() || lines_.front().complete > now) return std::nullopt;
  PacedLine line = std::move(lines_.front());
  lines_.pop_front();
  return line;
}

std::optional<LinePacer::Clock::time_point> LinePacer::NextDue() const {
  if (lines_.empty()) return std::nullopt;
  return lines_.front().complete;
}

}  // namespace zielwerk
