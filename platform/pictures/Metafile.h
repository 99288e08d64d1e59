#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <platform/graphics/Canvas.h>
#include <platform/graphics/Graphic.h>
#include <platform/rtl/Export.h>
#include <string>
#include <vector>

namespace Platform {

// A picture of drawing records: an enhanced metafile (EMF) or a Windows metafile (WMF, with or
// without the placeable header). Drawing plays the records onto the canvas, scaled so that the
// picture's frame (EMF) or bounding box (WMF) fills the target rectangle, and clipped to it.
class VELGRAPH_API TMetafile : public TGraphic {
public:
  TMetafile();
  ~TMetafile() override;
  TMetafile(const TMetafile &) = delete;
  TMetafile &operator=(const TMetafile &) = delete;

  // The size in screen pixels: the EMF frame or the placeable bounding box at the screen's pixels
  // per inch, or the window a plain WMF's records set. SetWidth and SetHeight change the size the
  // picture is drawn at by Draw, not its records.
  int Width() const override;
  int Height() const override;
  void SetWidth(int value) override { FWidth = value < 0 ? 0 : value; }
  void SetHeight(int value) override { FHeight = value < 0 ? 0 : value; }
  // Whether the records are enhanced (EMF) ones.
  bool Enhanced() const { return FEnhanced; }
  // The file's bytes, as loaded.
  const std::vector<std::uint8_t> &Data() const { return FData; }

  // Loading tells the format from the content. Every record's size is checked against the bytes
  // that follow it; a file that is not a metafile, is truncated inside a record or has a record of
  // impossible size raises EInvalidGraphic ("EMF: ..." or "WMF: ...") and the metafile stays as
  // it was. Records whose content cannot be used are skipped when drawing.
  void LoadFromFile(const std::string &fileName);
  void LoadFromMemory(const void *data, std::size_t size);
  // Reads the stream to its end.
  void LoadFromStream(std::istream &stream);
  void Clear();

  // Files larger than this are refused: no drawing needs a quarter of a gigabyte of records.
  static constexpr std::uint64_t MaxFileBytes = std::uint64_t{256} << 20;

protected:
  void Draw(TCanvas &canvas, const TRect &rect) const override;

private:
  std::vector<std::uint8_t> FData;
  bool FEnhanced = false;
  // The size set over the picture's own (-1 while none is).
  int FWidth = -1, FHeight = -1;
  struct TParsed;
  std::unique_ptr<TParsed> FParsed;

  void Load(std::vector<std::uint8_t> data);
};

} // namespace Platform
