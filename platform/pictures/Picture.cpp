#include <platform/pictures/Picture.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/Metafile.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>

namespace Platform {

namespace {

constexpr std::size_t SniffBytes = 44;

bool StartsWith(const unsigned char *data, std::size_t size, std::initializer_list<unsigned char> prefix) {
  return size >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data);
}

std::uint32_t U32(const unsigned char *data) {
  return data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t{data[3]} << 24;
}

bool IsWmf(const unsigned char *data, std::size_t size) {
  if (StartsWith(data, size, {0xD7, 0xCD, 0xC6, 0x9A}))
    return true; // placeable header
  // A bare header: type 1 (memory) or 2 (disk), header size 9 words, version 0x100 or 0x300.
  return size >= 6 && (data[0] == 1 || data[0] == 2) && data[1] == 0 && data[2] == 9 && data[3] == 0 &&
         (data[5] == 1 || data[5] == 3) && data[4] == 0;
}

[[noreturn]] void RefuseFormat(const std::string &fileName, TPictureFormat format, const char *why);

} // namespace

TPictureFormat DetectPictureFormat(const unsigned char *data, std::size_t size) {
  if (StartsWith(data, size, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}))
    return TPictureFormat::Png;
  if (StartsWith(data, size, {'B', 'M'}))
    return TPictureFormat::Bmp;
  if (StartsWith(data, size, {0xFF, 0xD8, 0xFF}))
    return TPictureFormat::Jpeg;
  if (size >= SniffBytes && U32(data) == 1 && std::memcmp(data + 40, " EMF", 4) == 0)
    return TPictureFormat::Emf;
  if (IsWmf(data, size))
    return TPictureFormat::Wmf;
  if (StartsWith(data, size, {'G', 'I', 'F', '8'}))
    return TPictureFormat::Gif;
  if (StartsWith(data, size, {'I', 'I', 42, 0}) || StartsWith(data, size, {'M', 'M', 0, 42}))
    return TPictureFormat::Tiff;
  if (StartsWith(data, size, {0, 0, 1, 0}))
    return TPictureFormat::Icon;
  return TPictureFormat::Unknown;
}

TPictureFormat DetectPictureFileFormat(const std::string &fileName) {
  CheckFileName(fileName);
  std::FILE *file = std::fopen(fileName.c_str(), "rb");
  if (!file)
    throw EInvalidGraphic("Cannot open '" + fileName + "': " + std::strerror(errno));
  unsigned char head[SniffBytes];
  const std::size_t read = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  if (read == 0)
    throw EInvalidGraphic("'" + fileName + "' is empty");
  return DetectPictureFormat(head, read);
}

const char *PictureFormatName(TPictureFormat format) {
  switch (format) {
  case TPictureFormat::Png: return "PNG";
  case TPictureFormat::Bmp: return "BMP";
  case TPictureFormat::Jpeg: return "JPEG";
  case TPictureFormat::Wmf: return "WMF";
  case TPictureFormat::Emf: return "EMF";
  case TPictureFormat::Gif: return "GIF";
  case TPictureFormat::Tiff: return "TIFF";
  case TPictureFormat::Icon: return "icon";
  case TPictureFormat::Unknown: break;
  }
  return "unknown";
}

namespace {
void RefuseFormat(const std::string &fileName, TPictureFormat format, const char *why) {
  if (format == TPictureFormat::Unknown)
    throw EInvalidGraphic("'" + fileName + "' is not a picture file of a known format");
  throw EInvalidGraphic("'" + fileName + "' holds a " + std::string(PictureFormatName(format)) + " image, " + why);
}
} // namespace

void TBitmap::LoadFromFile(const std::string &fileName) {
  const TPictureFormat format = DetectPictureFileFormat(fileName);
  if (format == TPictureFormat::Png)
    LoadFromPngFile(fileName);
  else if (format == TPictureFormat::Bmp)
    LoadFromBmpFile(fileName);
  else
    RefuseFormat(fileName, format, "which a bitmap cannot load");
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::LoadFromFile(const std::string &fileName) {
  const TPictureFormat format = DetectPictureFileFormat(fileName);
  if (format == TPictureFormat::Wmf || format == TPictureFormat::Emf) {
    auto metafile = std::make_unique<TMetafile>();
    metafile->LoadFromFile(fileName);
    FGraphic = std::move(metafile);
    return;
  }
  if (format != TPictureFormat::Png && format != TPictureFormat::Bmp)
    RefuseFormat(fileName, format, "which this build cannot read");
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromFile(fileName);
  FGraphic = std::move(bitmap);
}

} // namespace Platform
