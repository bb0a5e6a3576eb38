// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_conversion.h"

#include <algorithm>
#include <cmath>

#include "picture/bmp_writer.h"
#include "picture/picture_bits.h"

namespace zielwerk {
namespace {

// One output pixel's share of the source: the source pixels from `first`
// on, with the part of each that the output pixel covers.
struct Span {
  int first = 0;
  std::vector<float> weights;
};

// How `out` output pixels cover `in` source pixels when each covers an equal
// length of them; the weights of one output pixel sum to 1.
std::vector<Span> AreaSpans(int in, int out) {
  std::vector<Span> spans(static_cast<size_t>(out));
  const double scale = static_cast<double>(in) / out;
  for (int o = 0; o < out; ++o) {
    const double begin = o * scale, end = (o + 1) * scale;
    Span& span = spans[static_cast<size_t>(o)];
    span.first = std::min(in - 1, static_cast<int>(std::floor(begin)));
    const int last = std::clamp(static_cast<int>(std::ceil(end)) - 1, span.first, in - 1);
    for (int i = span.first; i <= last; ++i) {
      const double covered = std::min<double>(end, i + 1) - std::max<double>(begin, i);
      span.weights.push_back(static_cast<float>(std::max(0.0, covered) / scale));
    }
  }
  return spans;
}

// Brightness in 1/256 steps: white is 65280.
constexpr uint32_t kWhiteLuma = 255 * 256;

// The brightness (luma of BT.601 in whole 1/256 steps) of a row of `width`
// pixels of `channels` channels, a pixel with alpha seen over white. Whole
// numbers and a constant channel count keep the loop as fast as the memory.
template <int channels>
void RowBrightness(const uint8_t* pixel, int width, uint32_t* luma) {
  for (int x = 0; x < width; ++x, pixel += channels) {
    const uint32_t value = 77u * pixel[0] + 150u * pixel[1] + 29u * pixel[2];
    if constexpr (channels == 4) {
      luma[x] = kWhiteLuma - ((kWhiteLuma - value) * pixel[3] + 127) / 255;
    } else {
      luma[x] = value;
    }
  }
}

// The weighted sum of `values` over `span`. Every source pixel inside the
// span is covered whole and weighs the same, so those are added as whole
// numbers and weighed once.
float SpanSum(const Span& span, const uint32_t* values) {
  const size_t count = span.weights.size();
  const uint32_t* value = values + span.first;
  float sum = span.weights[0] * static_cast<float>(value[0]);
  if (count > 1) sum += span.weights[count - 1] * static_cast<float>(value[count - 1]);
  if (count > 2) {
    uint64_t inner = 0;
    for (size_t i = 1; i + 1 < count; ++i) inner += value[i];
    sum += span.weights[1] * static_cast<float>(inner);
  }
  return sum;
}

int FloorHalf(int value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

// Where the picture's left (top) edge stands on the display when centred.
int CentredStart(int display, int picture) { return FloorHalf(display - picture); }

int RoundedSide(double side) {
  return std::clamp(static_cast<int>(std::lround(side)), 1, kMaxScaledSide);
}

}  // namespace

PixelView ViewOf(const TrainPicture& picture) {
  return PixelView{picture.rgba.data(), picture.width, picture.height,
                   static_cast<size_t>(picture.width) * 4, 4};
}

ScaledSize FittedSize(int width, int height, PictureFit fit) {
  if (width <= 0 || height <= 0) return {};
  const double aspect = static_cast<double>(width) / height;
  if (fit == PictureFit::kWhole) {
    fit = kDisplayPictureHeight * aspect <= kDisplayPictureWidth ? PictureFit::kHeight : PictureFit::kWidth;
  }
  if (fit == PictureFit::kHeight) {
    return {RoundedSide(kDisplayPictureHeight * aspect), kDisplayPictureHeight};
  }
  return {kDisplayPictureWidth, RoundedSide(kDisplayPictureWidth / aspect)};
}

GreyPicture ScaleToFit(const PixelView& source, PictureFit fit) {
  GreyPicture scaled;
  if (source.pixels == nullptr || source.width <= 0 || source.height <= 0 ||
      (source.channels != 3 && source.channels != 4) ||
      source.stride < static_cast<size_t>(source.width) * static_cast<size_t>(source.channels)) {
    return scaled;
  }
  const ScaledSize size = FittedSize(source.width, source.height, fit);
  scaled.width = size.width;
  scaled.height = size.height;
  scaled.brightness.assign(static_cast<size_t>(size.width) * static_cast<size_t>(size.height), 0.0f);
  const std::vector<Span> columns = AreaSpans(source.width, size.width);
  const std::vector<Span> rows = AreaSpans(source.height, size.height);

  // Each source row is turned into brightness once, narrowed to the output's
  // width, and added with its weight to the output rows it lies under.
  std::vector<uint32_t> luma(static_cast<size_t>(source.width));
  std::vector<float> narrowed(static_cast<size_t>(size.width));
  size_t first_row = 0;  // the first output row that source row y can reach
  for (int y = 0; y < source.height; ++y) {
    const uint8_t* row = source.pixels + static_cast<size_t>(y) * source.stride;
    if (source.channels == 3) {
      RowBrightness<3>(row, source.width, luma.data());
    } else {
      RowBrightness<4>(row, source.width, luma.data());
    }
    for (int x = 0; x < size.width; ++x) {
      narrowed[static_cast<size_t>(x)] = SpanSum(columns[static_cast<size_t>(x)], luma.data()) / 256;
    }
    while (first_row < rows.size() &&
           rows[first_row].first + static_cast<int>(rows[first_row].weights.size()) <= y) {
      ++first_row;
    }
    for (size_t row = first_row; row < rows.size() && rows[row].first <= y; ++row) {
      const size_t part = static_cast<size_t>(y - rows[row].first);
      if (part >= rows[row].weights.size()) continue;
      const float weight = rows[row].weights[part];
      float* out = scaled.brightness.data() + row * static_cast<size_t>(size.width);
      for (int x = 0; x < size.width; ++x) out[x] += weight * narrowed[static_cast<size_t>(x)];
    }
  }
  // The weights sum to 1 only within float precision; rounded to 1/256, a
  // white picture stays exactly white and does not light at threshold 255.
  for (float& value : scaled.brightness) value = std::clamp(std::round(value * 256) / 256, 0.0f, 255.0f);
  return scaled;
}

GreyPicture PlaceOnDisplay(const GreyPicture& scaled, int offset_x, int offset_y) {
  GreyPicture placed;
  placed.width = kDisplayPictureWidth;
  placed.height = kDisplayPictureHeight;
  placed.brightness.assign(static_cast<size_t>(placed.width) * static_cast<size_t>(placed.height),
                           255.0f);
  const int64_t left = int64_t{CentredStart(kDisplayPictureWidth, scaled.width)} + offset_x;
  const int64_t top = int64_t{CentredStart(kDisplayPictureHeight, scaled.height)} + offset_y;
  for (int y = 0; y < placed.height; ++y) {
    const int64_t source_y = y - top;
    if (source_y < 0 || source_y >= scaled.height) continue;
    for (int x = 0; x < placed.width; ++x) {
      const int64_t source_x = x - left;
      if (source_x < 0 || source_x >= scaled.width) continue;
      placed.brightness[static_cast<size_t>(y) * static_cast<size_t>(placed.width) +
                        static_cast<size_t>(x)] =
          scaled.At(static_cast<int>(source_x), static_cast<int>(source_y));
    }
  }
  return placed;
}

LedBoard Quantize(const GreyPicture& grey, int threshold, Dithering dithering) {
  LedBoard dots(grey.width, grey.height);
  const float limit = static_cast<float>(std::clamp(threshold, 0, 256));
  std::vector<float> value = grey.brightness;
  const auto spread = [&](int x, int y, float error) {
    if (x < 0 || x >= grey.width || y >= grey.height) return;
    value[static_cast<size_t>(y) * static_cast<size_t>(grey.width) + static_cast<size_t>(x)] +=
        error;
  };
  for (int y = 0; y < grey.height; ++y) {
    for (int x = 0; x < grey.width; ++x) {
      const float here =
          value[static_cast<size_t>(y) * static_cast<size_t>(grey.width) + static_cast<size_t>(x)];
      const bool lit = here < limit;
      dots.Set(x, y, lit);
      const float error = here - (lit ? 0.0f : 255.0f);
      if (dithering == Dithering::kFloydSteinberg) {
        spread(x + 1, y, error * 7 / 16);
        spread(x - 1, y + 1, error * 3 / 16);
        spread(x, y + 1, error * 5 / 16);
        spread(x + 1, y + 1, error * 1 / 16);
      } else if (dithering == Dithering::kAtkinson) {
        const float eighth = error / 8;
        spread(x + 1, y, eighth);
        spread(x + 2, y, eighth);
        spread(x - 1, y + 1, eighth);
        spread(x, y + 1, eighth);
        spread(x + 1, y + 1, eighth);
        spread(x, y + 2, eighth);
      }
    }
  }
  return dots;
}

LedBoard MakeDisplayDots(const GreyPicture& scaled, const DotSettings& settings) {
  LedBoard dots = Quantize(PlaceOnDisplay(scaled, settings.offset_x, settings.offset_y),
                           settings.threshold, settings.dithering);
  if (settings.invert) {
    for (int y = 0; y < dots.rows(); ++y) {
      for (int x = 0; x < dots.columns(); ++x) dots.Set(x, y, !dots.Lit(x, y));
    }
  }
  return dots;
}

OffsetLimits OffsetLimitsFor(int scaled_width, int scaled_height) {
  const int left = CentredStart(kDisplayPictureWidth, scaled_width);
  const int top = CentredStart(kDisplayPictureHeight, scaled_height);
  return OffsetLimits{1 - left - scaled_width, kDisplayPictureWidth - 1 - left,
                      1 - top - scaled_height, kDisplayPictureHeight - 1 - top};
}

ScaledSize ShownSize(int scaled_width, int scaled_height, int offset_x, int offset_y) {
  const auto shown = [](int display, int side, int offset) {
    const int64_t start = int64_t{CentredStart(display, side)} + offset;
    const int64_t end = std::min<int64_t>(start + side, display);
    return static_cast<int>(std::max<int64_t>(0, end - std::max<int64_t>(start, 0)));
  };
  const ScaledSize size{shown(kDisplayPictureWidth, scaled_width, offset_x),
                        shown(kDisplayPictureHeight, scaled_height, offset_y)};
  return size.width > 0 && size.height > 0 ? size : ScaledSize{};
}

TrainPicture DotsAsPicture(const LedBoard& dots) {
  TrainPicture picture;
  picture.width = dots.columns();
  picture.height = dots.rows();
  picture.rgba.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4,
                      255);
  uint8_t* pixel = picture.rgba.data();
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x, pixel += 4) {
      if (dots.Lit(x, y)) pixel[0] = pixel[1] = pixel[2] = 0;
    }
  }
  return picture;
}

SaveResult SaveDisplayPicture(const std::string& path, const LedBoard& dots) {
  return WriteFileAtomically(path, EncodeBmp24(DotsAsPicture(dots)));
}

}  // namespace zielwerk
