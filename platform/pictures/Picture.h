#pragma once

#include <memory>
#include <platform/graphics/Graphic.h>
#include <platform/rtl/Export.h>
#include <string>

namespace Platform {

// The formats a picture file can hold, told apart by their first bytes.
enum class TPictureFormat { Unknown, Png, Bmp, Jpeg, Wmf, Emf, Gif, Tiff, Icon };

// Recognises a format from the first bytes of a file (at least 44 of them to tell EMF apart).
VELGRAPH_API TPictureFormat DetectPictureFormat(const unsigned char *data, std::size_t size);
// The format of a file's content; raises EInvalidGraphic when the file cannot be read.
VELGRAPH_API TPictureFormat DetectPictureFileFormat(const std::string &fileName);
VELGRAPH_API const char *PictureFormatName(TPictureFormat format);

// A holder of any graphic, loading a file into the class its content calls for.
class VELGRAPH_API TPicture {
public:
  TPicture();
  ~TPicture();
  TPicture(const TPicture &) = delete;
  TPicture &operator=(const TPicture &) = delete;

  // Null while the picture is empty.
  TGraphic *Graphic() const { return FGraphic.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic) { FGraphic = std::move(graphic); }
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // PNG and BMP files load as a TBitmap, WMF (placeable or not) and EMF files as a TMetafile.
  // Other formats raise EInvalidGraphic naming the format as not readable by this build, and
  // content of no known format raises EInvalidGraphic too; the picture stays as it was on any
  // failure.
  void LoadFromFile(const std::string &fileName);

private:
  std::unique_ptr<TGraphic> FGraphic;
};

} // namespace Platform
