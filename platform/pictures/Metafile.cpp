#include <platform/pictures/Metafile.h>

#include <algorithm>
#include <cstring>
#include <istream>
#include <platform/graphics/ScreenResolution.h>
#include <platform/pictures/BoundsDevice.h>
#include <platform/pictures/MetafilePlayers.h>
#include <platform/pictures/MetafileRecords.h>
#include <platform/pictures/Picture.h>
#include <platform/pictures/PictureFile.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

// What loading learnt about the records, kept for drawing.
struct TMetafile::TParsed {
  TEmfInfo Emf;
  TWmfInfo Wmf;
  // The picture's size in millimetres, or for a plain WMF in pixels.
  double Width = 0, Height = 0;
  bool InPixels = false;
};

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

namespace {
int ScreenPixels(double value, bool inPixels) {
  const double pixels = inPixels ? value : value * ScreenPixelsPerInch() / 25.4;
  return static_cast<int>(std::clamp<std::int64_t>(Round(pixels), 0, INT32_MAX));
}
} // namespace

int TMetafile::Width() const {
  if (FWidth >= 0)
    return FWidth;
  return FParsed ? ScreenPixels(FParsed->Width, FParsed->InPixels) : 0;
}

int TMetafile::Height() const {
  if (FHeight >= 0)
    return FHeight;
  return FParsed ? ScreenPixels(FParsed->Height, FParsed->InPixels) : 0;
}

void TMetafile::Clear() {
  FData.clear();
  FParsed.reset();
  FEnhanced = false;
  FWidth = FHeight = -1;
}

void TMetafile::LoadFromFile(const std::string &fileName) {
  CheckFileName(fileName);
  const TPictureFormat format = DetectPictureFileFormat(fileName);
  Load(ReadPictureFile(fileName, MaxFileBytes, format == TPictureFormat::Emf ? "EMF" : "WMF"));
}

void TMetafile::LoadFromMemory(const void *data, std::size_t size) {
  if (size > MaxFileBytes)
    throw EInvalidGraphic("Metafile of " + IntToStr(static_cast<std::int64_t>(size)) + " bytes is too large");
  const auto *bytes = static_cast<const std::uint8_t *>(data);
  Load(std::vector<std::uint8_t>(bytes, bytes + size));
}

void TMetafile::LoadFromStream(std::istream &stream) {
  std::vector<std::uint8_t> data;
  char buffer[65536];
  while (stream) {
    stream.read(buffer, sizeof buffer);
    const auto got = static_cast<std::size_t>(stream.gcount());
    if (data.size() + got > MaxFileBytes)
      throw EInvalidGraphic("Metafile stream is larger than " + IntToStr(static_cast<std::int64_t>(MaxFileBytes)) +
                            " bytes");
    data.insert(data.end(), buffer, buffer + got);
  }
  Load(std::move(data));
}

namespace {

// A target so large that nothing a file can address is clipped.
constexpr TRect Unclipped{-(1 << 30), -(1 << 30), 1 << 30, 1 << 30};

// Plays every record strictly onto a canvas without pixels, so that a record that cannot be used
// fails the load rather than a later drawing.
void CheckEmf(const TRecordReader &file, const TEmfInfo &info) {
  TCanvas canvas;
  TMetafileDC dc(canvas, Unclipped, {}, info.Handles);
  PlayEmf(file, info, dc, true);
}

// The same for a Windows metafile, noting where the drawing lies in logical units. A placeable
// header whose box cuts the drawing off is wrong about it, and the drawing's own extent is
// taken instead, as the system's own conversion of such files shows them.
void CheckWmf(const TRecordReader &file, TWmfInfo &info) {
  TBoundsDevice bounds;
  TCanvas canvas(&bounds);
  TMetaMapping identity;
  identity.FixedViewport = true;
  identity.Window = identity.Viewport = info.HasBox ? info.Box : TRectF{0, 0, 1, 1};
  {
    TMetafileDC dc(canvas, Unclipped, identity, info.Objects);
    PlayWmf(file, info, dc, true);
  }
  const TRectF &box = info.Box;
  if (!info.Placeable || bounds.Empty() || box.Right < box.Left || box.Bottom < box.Top)
    return;
  // A pen's width past the box's edge is not yet a drawing cut off.
  const double slack = std::max(box.Right - box.Left, box.Bottom - box.Top) / 50;
  if (bounds.Left() < box.Left - slack || bounds.Top() < box.Top - slack || bounds.Right() > box.Right + slack ||
      bounds.Bottom() > box.Bottom + slack)
    info.Frame = {double(bounds.Left()), double(bounds.Top()), double(bounds.Right()), double(bounds.Bottom())};
}

} // namespace

void TMetafile::Load(std::vector<std::uint8_t> data) {
  const TRecordReader file{data.data(), data.size()};
  auto parsed = std::make_unique<TParsed>();
  const bool enhanced = DetectPictureFormat(data.data(), data.size()) == TPictureFormat::Emf;
  if (enhanced) {
    parsed->Emf = ReadEmfHeader(file);
    CheckEmf(file, parsed->Emf);
    const TRectF &frame = parsed->Emf.Frame;
    parsed->Width = (frame.Right - frame.Left + 1) / parsed->Emf.PixelsPerMmX;
    parsed->Height = (frame.Bottom - frame.Top + 1) / parsed->Emf.PixelsPerMmY;
  } else {
    parsed->Wmf = ReadWmfHeader(file);
    CheckWmf(file, parsed->Wmf);
    const TWmfInfo &wmf = parsed->Wmf;
    parsed->Width = std::abs(wmf.Frame.Right - wmf.Frame.Left);
    parsed->Height = std::abs(wmf.Frame.Bottom - wmf.Frame.Top);
    if (wmf.Placeable) {
      parsed->Width *= 25.4 / wmf.Inch;
      parsed->Height *= 25.4 / wmf.Inch;
    } else {
      parsed->InPixels = true;
    }
  }
  FData = std::move(data);
  FParsed = std::move(parsed);
  FEnhanced = enhanced;
  FWidth = FHeight = -1;
}

void TMetafile::Draw(TCanvas &canvas, const TRect &rect) const {
  if (!FParsed)
    return;
  const TRecordReader file{FData.data(), FData.size()};
  TMetaMapping mapping;
  if (FEnhanced) {
    // The frame's pixels, edges included, fill the rectangle exactly.
    const TEmfInfo &emf = FParsed->Emf;
    const double sx = rect.Width() / (emf.Frame.Right - emf.Frame.Left + 1);
    const double sy = rect.Height() / (emf.Frame.Bottom - emf.Frame.Top + 1);
    mapping.DeviceToCanvas = {sx, 0, 0, sy, rect.Left - emf.Frame.Left * sx, rect.Top - emf.Frame.Top * sy};
    mapping.PixelsPerMmX = emf.PixelsPerMmX;
    mapping.PixelsPerMmY = emf.PixelsPerMmY;
    TMetafileDC dc(canvas, rect, mapping, emf.Handles);
    PlayEmf(file, emf, dc, false);
    return;
  }
  // The window starts as the box and the viewport is the box too; the frame, the box or where the
  // drawing really lies, then fills the rectangle. Without a window of its own a plain file
  // draws in pixels.
  const TWmfInfo &wmf = FParsed->Wmf;
  const TRectF pixels{0, 0, double(rect.Width()), double(rect.Height())};
  const TRectF &frame = wmf.HasBox ? wmf.Frame : pixels;
  mapping.FixedViewport = true;
  mapping.Window = mapping.Viewport = wmf.HasBox ? wmf.Box : pixels;
  const double sx = rect.Width() / (frame.Right - frame.Left), sy = rect.Height() / (frame.Bottom - frame.Top);
  mapping.DeviceToCanvas = {sx, 0, 0, sy, rect.Left - frame.Left * sx, rect.Top - frame.Top * sy};
  TMetafileDC dc(canvas, rect, mapping, wmf.Objects);
  PlayWmf(file, wmf, dc, false);
}

} // namespace Platform
