// PNG files for TBitmap, through libpng (format: W3C Portable Network Graphics, second
// edition). libpng reports errors by longjmp, and a longjmp must never cross a C++ frame that
// holds objects with destructors. So every libpng call that can fail runs inside one of the small
// "Png..." functions below: each sets its own jump target, holds nothing but plain data, and
// turns a libpng error into a false result with the message left in the session. The callers
// own the vectors and the clean-up and raise the exceptions.

#include <platform/pictures/Bitmap.h>

#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <platform/rtl/AtomicFile.h>
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
    png_error(png, std::strerror(errno));
}

void FlushFile(png_structp png) { std::fflush(static_cast<std::FILE *>(png_get_io_ptr(png))); }

constexpr int PngSignatureSize = 8;
constexpr int BytesPerPixel = 4;
// Deflate turns one compressed byte into at most about 1032 bytes (a 258-byte match coded in two
// bits), so a file can deliver no more image data than this many times its remaining length.
constexpr std::uint64_t DeflateMaxRatio = 1032;

std::uint64_t PackedRowBytes(std::uint64_t pixels, int bitsPerPixel) { return (pixels * bitsPerPixel + 7) / 8; }

// The decompressed size of the image data the header announces: every row (of every interlace
// pass) is its packed pixels after one filter-type byte.
std::uint64_t ImageDataBytes(png_uint_32 width, png_uint_32 height, int bitsPerPixel, bool interlaced) {
  if (!interlaced)
    return std::uint64_t{height} * (1 + PackedRowBytes(width, bitsPerPixel));
  std::uint64_t total = 0;
  for (int pass = 0; pass < 7; ++pass) {
    const std::uint64_t columns = PNG_PASS_COLS(width, pass), rows = PNG_PASS_ROWS(height, pass);
    if (columns > 0)
      total += rows * (1 + PackedRowBytes(columns, bitsPerPixel));
  }
  return total;
}

// What is left of the file after the header, which bounds the image data it can deliver. A pipe
// or a device has no known length: only the pixel limit bounds what it may claim.
std::uint64_t BytesLeft(std::FILE *file) {
  struct stat info {};
  if (::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode))
    return UINT64_MAX / DeflateMaxRatio;
  const long at = std::ftell(file);
  return at < 0 || info.st_size < at ? 0 : static_cast<std::uint64_t>(info.st_size - at);
}

// What the header announces, with the size of the image data the file must then hold.
struct TPngHeader {
  png_uint_32 Width = 0, Height = 0;
  int Passes = 1;
  std::uint64_t DataBytes = 0;
};

// Reads the header and asks libpng for 8-bit RGBA rows whatever the file holds: palettes and
// low-depth grey are expanded, transparency becomes alpha, 16-bit samples are scaled, grey is
// copied to the three channels and an opaque alpha byte is added when there is none.

bool PngReadHeader(TPngSession &session, TPngHeader &header) {
  if (setjmp(png_jmpbuf(session.Png)))
    return false;
  png_set_read_fn(session.Png, session.File, ReadFromFile);
  png_set_sig_bytes(session.Png, PngSignatureSize);
  png_read_info(session.Png, session.Info);
  header.DataBytes =
      ImageDataBytes(png_get_image_width(session.Png, session.Info), png_get_image_height(session.Png, session.Info),
                     png_get_bit_depth(session.Png, session.Info) * png_get_channels(session.Png, session.Info),
                     png_get_interlace_type(session.Png, session.Info) != PNG_INTERLACE_NONE);
  png_set_expand(session.Png);
  png_set_scale_16(session.Png);
  png_set_gray_to_rgb(session.Png);
  png_set_filler(session.Png, 0xFF, PNG_FILLER_AFTER);
  header.Passes = png_set_interlace_handling(session.Png);
  png_read_update_info(session.Png, session.Info);
  header.Width = png_get_image_width(session.Png, session.Info);
  header.Height = png_get_image_height(session.Png, session.Info);
  if (png_get_rowbytes(session.Png, session.Info) != png_size_t{header.Width} * BytesPerPixel)
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

// Owns the libpng structures of one load or save, and the file a load reads, whatever way it ends.
class TPngFile {
public:
  // Reading: opens the file and owns it.
  explicit TPngFile(const std::string &fileName) : FWriting(false), FOwnsFile(true) {
    Session.File = std::fopen(fileName.c_str(), "rb");
  }
  // Writing: into a file somebody else owns and closes; the name is for messages.
  TPngFile(std::FILE *file, const std::string &fileName) : FWriting(true), FOwnsFile(false), FFileName(fileName) {
    Session.File = file;
  }
  TPngFile(const TPngFile &) = delete;
  TPngFile &operator=(const TPngFile &) = delete;
  ~TPngFile() {
    if (FWriting)
      png_destroy_write_struct(&Session.Png, &Session.Info);
    else
      png_destroy_read_struct(&Session.Png, &Session.Info, nullptr);
    if (FOwnsFile && Session.File)
      std::fclose(Session.File);
  }

  void CreatePng() {
    Session.Png = FWriting ? png_create_write_struct(PNG_LIBPNG_VER_STRING, &Session, OnPngError, OnPngWarning)
                           : png_create_read_struct(PNG_LIBPNG_VER_STRING, &Session, OnPngError, OnPngWarning);
    if (Session.Png)
      Session.Info = png_create_info_struct(Session.Png);
    if (!Session.Info)
      throw EOutOfMemory("PNG: no memory for the codec");
    if (!FWriting)
      LimitReading(Session.Png);
  }

  // Raises what libpng reported: a file that cannot be read as a picture, or a failed write.
  [[noreturn]] void Fail() const {
    if (FWriting)
      throw Exception("PNG: cannot write '" + FFileName + "': " + Session.Message);
    throw EInvalidGraphic(std::string("PNG: ") + Session.Message);
  }

  TPngSession Session;

private:
  // Only the chunks that make up the pixels are read: every other one (colour profiles, text,
  // time stamps, unknown ones) is skipped unread, so none of them can claim memory. The cap on
  // a single chunk's buffer is far above a palette's 768 bytes and a transparency table's 256.
  static void LimitReading(png_structp png) {
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_malloc_max(png, MaxChunkBytes);
    png_set_chunk_cache_max(png, MaxAncillaryChunks);
    png_set_user_limits(png, MaxSide, MaxSide);
  }

  static constexpr png_alloc_size_t MaxChunkBytes = 64 * 1024;
  static constexpr png_uint_32 MaxAncillaryChunks = 128;
  static constexpr png_uint_32 MaxSide = 1000000;

  bool FWriting;
  bool FOwnsFile;
  std::string FFileName;
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
  CheckFileName(fileName);
  const int width = Width(), height = Height();
  if (width <= 0 || height <= 0)
    throw EInvalidGraphic("PNG: cannot save an empty bitmap (" + IntToStr(width) + " x " + IntToStr(height) +
                          " pixels)");
  TAtomicFile target(fileName);
  {
    TPngFile file(target.Handle(), fileName);
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
  }
  target.Commit();
}

void TBitmap::LoadFromPngFile(const std::string &fileName) {
  CheckFileName(fileName);
  TPngFile file(fileName);
  if (!file.Session.File)
    throw EInvalidGraphic(OpenError("open", fileName));
  png_byte signature[PngSignatureSize];
  const std::size_t signatureRead = std::fread(signature, 1, PngSignatureSize, file.Session.File);
  if (signatureRead == 0)
    throw EInvalidGraphic("PNG: '" + fileName + "' is empty");
  if (signatureRead != PngSignatureSize || png_sig_cmp(signature, 0, PngSignatureSize) != 0)
    throw EInvalidGraphic("PNG: '" + fileName + "' is not a PNG file (bad signature)");
  file.CreatePng();
  TPngHeader header;
  if (!PngReadHeader(file.Session, header))
    file.Fail();
  // The user limits keep each side within a million pixels, so the product is exact.
  const std::int64_t count = std::int64_t{header.Width} * header.Height;
  if (count > MaxPixels)
    throw EInvalidGraphic("PNG: image of " + IntToStr(header.Width) + " x " + IntToStr(header.Height) +
                          " pixels is too large");
  // A header is trusted with memory only as far as the rest of the file could fill it.
  const std::uint64_t left = BytesLeft(file.Session.File);
  if (header.DataBytes > left * DeflateMaxRatio)
    throw EInvalidGraphic("PNG: file truncated: " + IntToStr(header.Width) + " x " + IntToStr(header.Height) +
                          " pixels need " + IntToStr(static_cast<std::int64_t>(header.DataBytes)) +
                          " bytes of image data, more than the " + IntToStr(static_cast<std::int64_t>(left)) +
                          " bytes left can hold");
  const auto width = static_cast<std::size_t>(header.Width), height = static_cast<std::size_t>(header.Height);

  // Rows are decoded straight into the pixel store, each 32-bit slot taking one RGBA pixel. A
  // progressive (interlaced) file revisits every row, so it needs the whole store at once; a plain
  // one grows row by row, and a truncated file claiming a huge size never touches most of it.
  TPixelStore pixels;
  try {
    pixels.reserve(static_cast<std::size_t>(count));
    if (header.Passes > 1)
      pixels.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc &) {
    throw EOutOfMemory("PNG: no memory for " + IntToStr(count) + " pixels");
  }
  for (int pass = 0; pass < header.Passes; ++pass)
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
