// PNG files for TBitmap, through libpng (format: W3C Portable Network Graphics, second
// edition). libpng reports errors by longjmp, and a longjmp must never cross a C++ frame that
// holds objects with destructors. So every libpng call that can fail runs inside one of the small
// "Png..." functions below: each sets its own jump target, holds nothing but plain data, and
// turns a libpng error into a false result with the message left in the session. The callers
// own the vectors and the clean-up and raise the exceptions.

#include <platform/pictures/Bitmap.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <png.h>
#include <sys/stat.h>

namespace Platform {

namespace {

struct TPngSession {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  std::FILE *File = nullptr;
  char Message[200] = {};
};

void OnPngError(png_structp png, png_const_charp message) {
  auto *session = static_cast<TPngSession *>(png_get_error_ptr(png));
  std::snprintf(session->Message, sizeof session->Message, "%s", message);
  png_longjmp(png, 1);
}

// Warnings concern ancillary data we do not use; libpng would print them on stderr.
void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromFile(png_structp png, png_bytep data, png_size_t length) {
  auto *file = static_cast<std::FILE *>(png_get_io_ptr(png));
  if (std::fread(data, 1, length, file) != length)
    png_error(png, std::ferror(file) ? "read error" : "file truncated");
}

void WriteToFile(png_structp png, png_bytep data, png_size_t length) {
  if (std::fwrite(data, 1, length, static_cast<std::FILE *>(png_get_io_ptr(png))) != length)
    png_error(png, "write error");
}

void FlushFile(png_structp png) { std::fflush(static_cast<std::FILE *>(png_get_io_ptr(png))); }

constexpr int PngSignatureSize = 8;
constexpr int BytesPerPixel = 4;

// Reads the header and asks libpng for 8-bit RGBA rows whatever the file holds: palettes and
// low-depth grey are expanded, transparency becomes alpha, 16-bit samples are scaled, grey is
// copied to the three channels and an opaque alpha byte is added when there is none.
bool PngReadHeader(TPngSession &session, png_uint_32 &width, png_uint_32 &height, int &passes) {
  if (setjmp(png_jmpbuf(session.Png)))
    return false;
  png_set_read_fn(session.Png, session.File, ReadFromFile);
  png_set_sig_bytes(session.Png, PngSignatureSize);
  png_read_info(session.Png, session.Info);
  png_set_expand(session.Png);
  png_set_scale_16(session.Png);
  png_set_gray_to_rgb(session.Png);
  png_set_filler(session.Png, 0xFF, PNG_FILLER_AFTER);
  passes = png_set_interlace_handling(session.Png);
  png_read_update_info(session.Png, session.Info);
  width = png_get_image_width(session.Png, session.Info);
  height = png_get_image_height(session.Png, session.Info);
  if (png_get_rowbytes(session.Png, session.Info) != png_size_t{width} * BytesPerPixel)
    png_error(session.Png, "unsupported pixel layout");
  return true;
}

bool PngReadRow(TPngSession &session, png_bytep row) {
  if (setjmp(png_jmpbuf(session.Png)))
    return false;
  png_read_row(session.Png, row, nullptr);
  return true;
}

bool PngReadEnd(TPngSession &session) {
  if (setjmp(png_jmpbuf(session.Png)))
    return false;
  png_read_end(session.Png, nullptr);
  return true;
}

bool PngWriteHeader(TPngSession &session, png_uint_32 width, png_uint_32 height) {
  if (setjmp(png_jmpbuf(session.Png)))
    return false;
  png_set_write_fn(session.Png, session.File, WriteToFile, FlushFile);
  png_set_IHDR(session.Png, session.Info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(session.Png, session.Info);
  return true;
}

bool PngWriteRow(TPngSession &session, png_const_bytep row) {
  if (setjmp(png_jmpbuf(session.Png)))
    return false;
  png_write_row(session.Png, row);
  return true;
}

bool PngWriteEnd(TPngSession &session) {
  if (setjmp(png_jmpbuf(session.Png)))
    return false;
  png_write_end(session.Png, nullptr);
  return true;
}

// Owns the file and the libpng structures of one load or save, whatever way it ends.
class TPngFile {
public:
  TPngFile(const std::string &fileName, bool writing) : FFileName(fileName), FWriting(writing) {
    Session.File = std::fopen(fileName.c_str(), writing ? "wb" : "rb");
    // Only a regular file is ever removed after a failed save, never a device or a pipe.
    struct stat info {};
    FRemovable = writing && Session.File && ::fstat(::fileno(Session.File), &info) == 0 && S_ISREG(info.st_mode);
  }
  TPngFile(const TPngFile &) = delete;
  TPngFile &operator=(const TPngFile &) = delete;
  ~TPngFile() {
    DestroyPng();
    if (Session.File)
      std::fclose(Session.File);
    // A save that failed part way leaves no truncated picture behind.
    if (FRemovable && !FCommitted)
      std::remove(FFileName.c_str());
  }

  void CreatePng() {
    Session.Png = FWriting ? png_create_write_struct(PNG_LIBPNG_VER_STRING, &Session, OnPngError, OnPngWarning)
                           : png_create_read_struct(PNG_LIBPNG_VER_STRING, &Session, OnPngError, OnPngWarning);
    if (Session.Png)
      Session.Info = png_create_info_struct(Session.Png);
    if (!Session.Info)
      throw EOutOfMemory("PNG: no memory for the codec");
  }

  // Closes the file and reports whether everything written reached it.
  bool Commit() {
    DestroyPng();
    const bool closed = std::fclose(Session.File) == 0;
    Session.File = nullptr;
    FCommitted = closed;
    return closed;
  }

  // Raises what libpng reported: a file that cannot be read as a picture, or a failed write.
  [[noreturn]] void Fail() const {
    const std::string message = std::string("PNG: ") + Session.Message;
    if (FWriting)
      throw Exception(message);
    throw EInvalidGraphic(message);
  }

  TPngSession Session;

private:
  void DestroyPng() {
    if (!Session.Png)
      return;
    if (FWriting)
      png_destroy_write_struct(&Session.Png, &Session.Info);
    else
      png_destroy_read_struct(&Session.Png, &Session.Info, nullptr);
  }

  std::string FFileName;
  bool FWriting;
  bool FRemovable = false;
  bool FCommitted = false;
};

std::string OpenError(const char *what, const std::string &fileName) {
  return std::string("PNG: cannot ") + what + " '" + fileName + "': " + std::strerror(errno);
}

// RGBA bytes, in place, to 0x00RRGGBB pixels composited on white.
void RgbaToPixels(std::uint32_t *pixels, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    png_byte rgba[BytesPerPixel];
    std::memcpy(rgba, pixels + i, BytesPerPixel);
    const unsigned alpha = rgba[3];
    std::uint32_t pixel = 0;
    for (int c = 0; c < 3; ++c) {
      const unsigned blended = (rgba[c] * alpha + 255 * (255 - alpha) + 127) / 255;
      pixel = (pixel << 8) | blended;
    }
    pixels[i] = pixel;
  }
}

} // namespace

void TBitmap::SaveToPngFile(const std::string &fileName) const {
  const int width = Width(), height = Height();
  if (width <= 0 || height <= 0)
    throw EInvalidGraphic("PNG: cannot save an empty bitmap (" + IntToStr(width) + " x " + IntToStr(height) +
                          " pixels)");
  TPngFile file(fileName, true);
  if (!file.Session.File)
    throw Exception(OpenError("create", fileName));
  file.CreatePng();
  if (!PngWriteHeader(file.Session, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height)))
    file.Fail();
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t *source = FSurface.Row(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<png_byte>(source[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(source[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(source[x]);
    }
    if (!PngWriteRow(file.Session, row.data()))
      file.Fail();
  }
  if (!PngWriteEnd(file.Session))
    file.Fail();
  if (!file.Commit())
    throw Exception(OpenError("write", fileName));
}

void TBitmap::LoadFromPngFile(const std::string &fileName) {
  TPngFile file(fileName, false);
  if (!file.Session.File)
    throw EInvalidGraphic(OpenError("open", fileName));
  png_byte signature[PngSignatureSize];
  const std::size_t signatureRead = std::fread(signature, 1, PngSignatureSize, file.Session.File);
  if (signatureRead == 0)
    throw EInvalidGraphic("PNG: '" + fileName + "' is empty");
  if (signatureRead != PngSignatureSize || png_sig_cmp(signature, 0, PngSignatureSize) != 0)
    throw EInvalidGraphic("PNG: '" + fileName + "' is not a PNG file (bad signature)");
  file.CreatePng();
  png_uint_32 pngWidth = 0, pngHeight = 0;
  int passes = 1;
  if (!PngReadHeader(file.Session, pngWidth, pngHeight, passes))
    file.Fail();
  // libpng's default limits keep each side within a million pixels, so the product is exact.
  const std::int64_t count = std::int64_t{pngWidth} * pngHeight;
  if (count > MaxPixels)
    throw EInvalidGraphic("PNG: image of " + IntToStr(pngWidth) + " x " + IntToStr(pngHeight) + " pixels is too large");
  const auto width = static_cast<std::size_t>(pngWidth), height = static_cast<std::size_t>(pngHeight);

  // Rows are decoded straight into the pixel store, each 32-bit slot taking one RGBA pixel. A
  // progressive (interlaced) file revisits every row, so it needs the whole store at once; a plain
  // one grows row by row, and a truncated file claiming a huge size never touches most of it.
  std::vector<std::uint32_t> pixels;
  try {
    pixels.reserve(static_cast<std::size_t>(count));
    if (passes > 1)
      pixels.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc &) {
    throw EOutOfMemory("PNG: no memory for " + IntToStr(count) + " pixels");
  }
  for (int pass = 0; pass < passes; ++pass)
    for (std::size_t y = 0; y < height; ++y) {
      if (pixels.size() < (y + 1) * width)
        pixels.resize((y + 1) * width);
      if (!PngReadRow(file.Session, reinterpret_cast<png_bytep>(pixels.data() + y * width)))
        file.Fail();
    }
  if (!PngReadEnd(file.Session))
    file.Fail();
  RgbaToPixels(pixels.data(), pixels.size());

  FPixels = std::move(pixels);
  FSurface = {FPixels.data(), static_cast<int>(width), static_cast<int>(height), static_cast<std::ptrdiff_t>(width)};
  FDevice.SetSurface(FSurface);
}

} // namespace Platform
