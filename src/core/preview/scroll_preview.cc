// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/scroll_preview.h"

#include <algorithm>
#include <limits>

#include "text/utf8.h"

namespace zielwerk {
namespace {

constexpr int64_t kMaxInt64 = std::numeric_limits<int64_t>::max();

std::string_view StripOuter(std::string_view text, char c) {
  const size_t first = text.find_first_not_of(c);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(c) - first + 1);
}

// The value of one digit in `base`, or -1 when `c` is none.
int DigitValue(char c, int base) {
  int value;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  } else {
    return -1;
  }
  return value < base ? value : -1;
}

int64_t SaturatingIncrement(int64_t value) { return value == kMaxInt64 ? value : value + 1; }

// One tick at the first or last position: move on at once unless that end
// stands still, in which case the pause counts against the time field.
void StepAtEnd(bool stands_still, std::string_view time_text, PreviewState& next) {
  if (!stands_still) {
    ++next.position;
    return;
  }
  next.pause_ticks = SaturatingIncrement(next.pause_ticks);
  const int64_t limit = ParsePreviewInteger(time_text) / kPreviewTickMilliseconds;
  if (next.pause_ticks > limit) {
    next.pause_ticks = 0;
    ++next.position;
  }
}

}  // namespace

PreviewStations PrepareStations(std::string_view start_station, std::string_view end_station,
                                bool invert) {
  std::string start(StripOuter(start_station, kScrollFieldSeparator));
  std::string end(StripOuter(end_station, kScrollFieldSeparator));
  if (invert) return {std::move(end), std::move(start)};
  return {std::move(start), std::move(end)};
}

std::string PrepareScrollText(std::string_view scroll_text, bool invert) {
  const std::string_view text = StripOuter(StripOuter(scroll_text, kScrollFieldSeparator), ' ');
  if (!invert) return std::string(text);

  std::string reversed;
  reversed.reserve(text.size());
  size_t field_end = text.size();
  for (;;) {
    const size_t separator =
        field_end == 0 ? std::string_view::npos : text.rfind(kScrollFieldSeparator, field_end - 1);
    const size_t field_begin = separator == std::string_view::npos ? 0 : separator + 1;
    reversed.append(text.substr(field_begin, field_end - field_begin));
    if (separator == std::string_view::npos) break;
    reversed += kScrollFieldSeparator;
    field_end = separator;
  }
  return reversed;
}

int64_t ParsePreviewInteger(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  int base = 10;
  if (at < text.size() && text[at] == '$') {
    base = 16;
    ++at;
  } else if (at < text.size() && text[at] == '%') {
    base = 2;
    ++at;
  }
  // The magnitude is held at 2^63, just enough for the most negative value.
  constexpr uint64_t kLimit = static_cast<uint64_t>(kMaxInt64) + 1;
  uint64_t magnitude = 0;
  for (; at < text.size(); ++at) {
    const int digit = DigitValue(text[at], base);
    if (digit < 0) break;
    if (magnitude > (kLimit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) {
      magnitude = kLimit;
    } else {
      magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
  }
  if (negative) {
    return magnitude == kLimit ? std::numeric_limits<int64_t>::min()
                               : -static_cast<int64_t>(magnitude);
  }
  return static_cast<int64_t>(std::min<uint64_t>(magnitude, kMaxInt64));
}

PreviewTickResult TickPreview(const PreviewState& state, const PreviewTickInput& input) {
  const int64_t text_length = static_cast<int64_t>(Utf16Length(input.prepared));
  if (text_length <= kPreviewWindowWidth) return {std::string(input.prepared), state};

  const int64_t lead = input.start_mode == kStartModeRunIn ? kPreviewPadding : 0;
  const int64_t trail = input.end_mode == kEndModeRunOut ? kPreviewPadding : 0;
  const int64_t padded_length = lead + text_length + trail;
  const int64_t last = padded_length - kPreviewPadding;

  // The window covers the 0-based units [first, stop) of the padded text,
  // which are lead blanks, then the text, then trailing blanks. A window is
  // shorter than the text, so it never reaches both paddings at once.
  const int64_t first = std::min(std::max<int64_t>(state.position, 1) - 1, padded_length);
  const int64_t stop = std::min(first + kPreviewWindowWidth, padded_length);
  const int64_t text_first = std::clamp(first, lead, lead + text_length);
  const int64_t text_stop = std::clamp(stop, lead, lead + text_length);
  PreviewTickResult result{{}, state};
  if (text_stop > text_first) {
    result.window = Utf16Substring(input.prepared, static_cast<size_t>(text_first - lead),
                                   static_cast<size_t>(text_stop - text_first));
  }
  if (first < lead) result.window.insert(0, static_cast<size_t>(std::min(stop, lead) - first), ' ');
  if (stop > lead + text_length) {
    result.window.append(static_cast<size_t>(stop - std::max(first, lead + text_length)), ' ');
  }

  PreviewState& next = result.next;
  if (state.position == 1) {
    StepAtEnd(input.start_mode == kStartModeStamp, input.start_time_text, next);
  } else if (state.position == last) {
    StepAtEnd(input.end_mode == kEndModeStop, input.end_time_text, next);
  } else if (state.position < 1) {
    next.position = 1;
  } else if (state.position < last) {
    ++next.position;
  }
  if (next.position > last) next.position = 1;
  return result;
}

}  // namespace zielwerk
