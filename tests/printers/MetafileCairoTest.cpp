// A metafile drawn through the cairo device matches the raster drawing of it.

#include <gtest/gtest.h>

#include "CairoPage.h"
#include <platform/pictures/Metafile.h>
#include <platform/pictures/MetafileRecords.h>
#include <vector>

using namespace Platform;
using namespace Platform::Emf;
using namespace CairoCompare;

namespace {

void Put32(std::vector<std::uint8_t> &bytes, std::int64_t value) {
  for (int i = 0; i < 4; ++i)
    bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i)));
}

// An enhanced metafile of 60 x 60 pixels at 96 pixels per inch with pens, brushes, a pie and a
// polyline, mapped anisotropically so that playback scales it.
std::vector<std::uint8_t> Drawing() {
  std::vector<std::uint8_t> bytes;
  for (std::int64_t v : std::vector<std::int64_t>{EMR_HEADER,
                                                  Header::BaseSize,
                                                  0,
                                                  0,
                                                  59,
                                                  59,
                                                  0,
                                                  0,
                                                  1561,
                                                  1561,
                                                  Header::SignatureValue,
                                                  Header::VersionValue,
                                                  0,
                                                  0,
                                                  8,
                                                  0,
                                                  0,
                                                  0,
                                                  960,
                                                  960,
                                                  254,
                                                  254})
    Put32(bytes, v);
  const std::vector<std::vector<std::int64_t>> records = {
      {EMR_SETMAPMODE, Gdi::MM_ANISOTROPIC},
      {EMR_SETWINDOWEXTEX, 600, 600},
      {EMR_SETVIEWPORTEXTEX, 60, 60},
      {EMR_CREATEPEN, 1, Gdi::PS_SOLID, 30, 0, clNavy},
      {EMR_SELECTOBJECT, 1},
      {EMR_CREATEBRUSHINDIRECT, 2, Gdi::BS_SOLID, clYellow, 0},
      {EMR_SELECTOBJECT, 2},
      {EMR_RECTANGLE, 40, 40, 280, 250},
      {EMR_ELLIPSE, 320, 40, 560, 260},
      {EMR_PIE, 40, 300, 280, 560, 280, 300, 40, 430},
      {EMR_SELECTOBJECT, StockObjectFlag | Gdi::BLACK_PEN},
      {EMR_POLYLINE, 0, 0, 0, 0, 4, 320, 320, 560, 330, 330, 560, 560, 560},
      {EMR_EOF, 0, 16, 20},
  };
  for (const auto &record : records) {
    Put32(bytes, record[0]);
    Put32(bytes, 4 * static_cast<std::int64_t>(record.size()) + 4);
    for (std::size_t i = 1; i < record.size(); ++i)
      Put32(bytes, record[i]);
  }
  bytes[Header::Bytes] = static_cast<std::uint8_t>(bytes.size());
  bytes[Header::Bytes + 1] = static_cast<std::uint8_t>(bytes.size() >> 8);
  return bytes;
}

} // namespace

TEST(MetafileOnCairo, MatchesTheRasterDrawing) {
  const std::vector<std::uint8_t> bytes = Drawing();
  TMetafile metafile;
  metafile.LoadFromMemory(bytes.data(), bytes.size());
  TBitmap raster(Side, Side);
  TCairoPage page;
  for (TCanvas *canvas : {raster.Canvas(), &page.Canvas()}) {
    canvas->StretchDraw({0, 0, Side, Side}, metafile);
    canvas->Draw(0, 0, metafile);
  }
  int yellow = 0;
  for (int y = 0; y < Side; ++y)
    for (int x = 0; x < Side; ++x)
      yellow += (raster.Surface().Row(y)[x] & 0xFFFFFF) == 0xFFFF00;
  // Three filled figures at twice their size: most of three 48-pixel boxes.
  EXPECT_GT(yellow, 3000);
  EXPECT_EQ(Mismatch(raster, page, 0.5), "");
}
