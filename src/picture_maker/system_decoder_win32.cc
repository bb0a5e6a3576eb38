// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_maker/system_decoder.h"

#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <climits>
#include <new>
#include <utility>

#include "core/picture/picture_reader.h"

namespace zielwerk {
namespace {

// Releases the COM object it holds on every way out.
template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  Interface** Out() { return &pointer_; }
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

// COM set up for the calling thread for as long as it lives; a thread that
// had it set up already (GTK's file chooser does) keeps its own.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT result_;
};

void Decode(std::string_view bytes, SystemDecoding& result) {
  ComPointer<IWICImagingFactory> factory;
  ComPointer<IWICStream> stream;
  ComPointer<IWICBitmapDecoder> decoder;
  ComPointer<IWICBitmapFrameDecode> frame;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))) ||
      FAILED(factory->CreateStream(stream.Out())) ||
      FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Out())) ||
      FAILED(decoder->GetFrame(0, frame.Out()))) {
    return;
  }
  UINT width = 0, height = 0;
  if (FAILED(frame->GetSize(&width, &height))) return;
  result.width = static_cast<int>(std::min<UINT>(width, INT_MAX));
  result.height = static_cast<int>(std::min<UINT>(height, INT_MAX));
  if (!PictureSizeAllowed(width, height)) {
    result.too_large = true;
    return;
  }
  ComPointer<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    return;
  }
  TrainPicture picture;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.has_alpha = true;
  picture.rgba.resize(static_cast<size_t>(width) * height * 4);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(picture.rgba.size()),
                                   picture.rgba.data()))) {
    return;
  }
  for (size_t i = 0; i < picture.rgba.size(); i += 4) std::swap(picture.rgba[i], picture.rgba[i + 2]);
  result.picture = std::move(picture);
}

}  // namespace

SystemDecoding DecodeWithSystem(std::string_view bytes) {
  SystemDecoding result;
  if (bytes.empty() || bytes.size() > UINT_MAX) return result;
  const ComScope com;
  try {
    Decode(bytes, result);
  } catch (const std::bad_alloc&) {
    result.picture.reset();
  }
  return result;
}

std::vector<std::string> SystemPictureExtensions() { return {"tif", "tiff"}; }

}  // namespace zielwerk
