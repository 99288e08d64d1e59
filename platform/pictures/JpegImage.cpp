// JPEG files for TJPEGImage, through libjpeg-turbo.
//
// The library reports a fatal error through error_exit, which must not return. We leave it by
// longjmp, not by a C++ throw: the frames between our call and the callback are the library's C
// code, and unwinding through them is undefined behaviour that, where it happens to work, still
// skips whatever the library meant to do on the way out; longjmp is the exit the library is
// written for. A longjmp must never cross a C++ frame that holds objects with destructors, so
// every library call that can fail runs inside one of the small "Jpeg..." functions below: each
// sets its own jump target, holds plain data only, and turns an error into a false result with the
// message left in the session. Their callers own the memory and raise the exceptions.

#include <platform/pictures/JpegImage.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <platform/graphics/Canvas.h>
#include <platform/pictures/PictureFile.h>
#include <platform/rtl/Exceptions.h>
#include <platform/rtl/Rtl.h>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace Platform {

namespace {

// Bounds on how many 8x8 blocks a stream can fill per byte of data after its first scan header.
// With Huffman coding every block of every component costs at least one bit in the first scan
// that codes it. The arithmetic coder can emit one bit for at most 32768 decisions and a block
// takes at least one, so a blank image codes far tighter, but still not without bound.
constexpr std::uint64_t HuffmanBlocksPerByte = 8;
constexpr std::uint64_t ArithmeticBlocksPerByte = 32768 * 8;
// The library's own working memory (a progressive file keeps every coefficient of the image).
constexpr long MaxLibraryMemory = 1L << 30;
// Rows handed to the library per call: more than an iMCU row of the largest sampling.
constexpr int RowsPerCall = 32;

enum class TInk { None, Plain, Inverted };

struct TJpegSession {
  jpeg_decompress_struct Info{};
  jpeg_error_mgr Errors{};
  jpeg_progress_mgr Progress{};
  std::jmp_buf Jump{};
  char Message[JMSG_LENGTH_MAX] = {};
  char Warning[JMSG_LENGTH_MAX] = {};
  bool Decoding = false; // past the headers
};

TJpegSession &SessionOf(j_common_ptr info) { return *static_cast<TJpegSession *>(info->client_data); }

[[noreturn]] void OnError(j_common_ptr info) {
  TJpegSession &session = SessionOf(info);
  info->err->format_message(info, session.Message);
  std::longjmp(session.Jump, 1);
}

// Warnings tell of damage the decoder works around (corrupt entropy data, a premature end, odd
// markers): they are kept, not fatal, unless the data ends before the first row of blocks of the
// first scan is complete. Then nothing of the picture was delivered, and a grey rectangle of the
// announced size would only pretend to be it.
void OnMessage(j_common_ptr info, int level) {
  if (level >= 0)
    return; // trace messages
  TJpegSession &session = SessionOf(info);
  ++info->err->num_warnings;
  if (session.Warning[0] == '\0')
    info->err->format_message(info, session.Warning);
  const auto *decoder = reinterpret_cast<j_decompress_ptr>(info);
  if (info->err->msg_code == JWRN_JPEG_EOF && session.Decoding && decoder->input_scan_number <= 1 &&
      decoder->input_iMCU_row == 0) {
    std::snprintf(session.Message, sizeof session.Message, "file truncated before any image data");
    std::longjmp(session.Jump, 1);
  }
}

// The scans are counted before decoding; this stops the decoder too should its reading of a
// damaged stream ever find more than the count did.
void OnProgress(j_common_ptr info) {
  const auto *decoder = reinterpret_cast<j_decompress_ptr>(info);
  if (decoder->input_scan_number > TJPEGImage::MaxScans) {
    TJpegSession &session = SessionOf(info);
    std::snprintf(session.Message, sizeof session.Message, "more than %d scans", TJPEGImage::MaxScans);
    std::longjmp(session.Jump, 1);
  }
}

// Sets up the decoder on the stream's bytes and reads the headers up to the first scan.
bool JpegReadHeader(TJpegSession &session, const std::uint8_t *data, std::size_t size) {
  if (setjmp(session.Jump))
    return false;
  session.Info.err = jpeg_std_error(&session.Errors);
  session.Errors.error_exit = OnError;
  session.Errors.emit_message = OnMessage;
  session.Info.client_data = &session;
  jpeg_create_decompress(&session.Info);
  session.Info.mem->max_memory_to_use = MaxLibraryMemory;
  session.Progress.progress_monitor = OnProgress;
  session.Info.progress = &session.Progress;
  jpeg_mem_src(&session.Info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&session.Info, TRUE);
  return true;
}

bool JpegStart(TJpegSession &session) {
  if (setjmp(session.Jump))
    return false;
  session.Decoding = true;
  jpeg_start_decompress(&session.Info);
  return true;
}

// 0x00RRGGBB from the stored CMYK bytes: x * y / 255 rounded exactly.
std::uint32_t Scale255(std::uint32_t x, std::uint32_t y) {
  const std::uint32_t v = x * y + 128;
  return (v + (v >> 8)) >> 8;
}

void FinishRow(std::uint32_t *row, std::size_t width, TInk ink) {
  if (ink == TInk::None) {
    // The library's fourth byte is 0xFF; our pixels keep it 0.
    for (std::size_t x = 0; x < width; ++x)
      row[x] &= 0x00FFFFFFu;
    return;
  }
  auto *bytes = reinterpret_cast<const std::uint8_t *>(row);
  const std::uint32_t flip = ink == TInk::Plain ? 255 : 0;
  for (std::size_t x = 0; x < width; ++x) {
    const std::uint8_t *p = bytes + 4 * x;
    const std::uint32_t k = p[3] ^ flip;
    row[x] = Scale255(p[0] ^ flip, k) << 16 | Scale255(p[1] ^ flip, k) << 8 | Scale255(p[2] ^ flip, k);
  }
}

// Decodes every row into pixels (width x height, contiguous), converting each batch at once.
bool JpegReadRows(TJpegSession &session, std::uint32_t *pixels, TInk ink) {
  if (setjmp(session.Jump))
    return false;
  const std::size_t width = session.Info.output_width;
  JSAMPROW rows[RowsPerCall];
  while (session.Info.output_scanline < session.Info.output_height) {
    const JDIMENSION first = session.Info.output_scanline;
    const JDIMENSION count = std::min<JDIMENSION>(RowsPerCall, session.Info.output_height - first);
    for (JDIMENSION i = 0; i < count; ++i)
      rows[i] = reinterpret_cast<JSAMPROW>(pixels + (first + i) * width);
    const JDIMENSION read = jpeg_read_scanlines(&session.Info, rows, count);
    if (read == 0) {
      std::snprintf(session.Message, sizeof session.Message, "the decoder stopped at row %u", first);
      return false;
    }
    for (JDIMENSION i = 0; i < read; ++i)
      FinishRow(pixels + (first + i) * width, width, ink);
  }
  return true;
}

[[noreturn]] void Fail(const std::string &message) { throw EInvalidGraphic("JPEG: " + message); }

bool IsRestart(std::uint8_t code) { return code >= 0xD0 && code <= 0xD7; }

// The scans (start-of-scan markers) a stream holds, found by walking its marker segments and
// skipping each scan's entropy-coded data, where a 0xFF byte is followed by 0 or a restart code.
std::size_t CountScans(const std::uint8_t *data, std::size_t size) {
  std::size_t scans = 0, at = 2;
  while (at + 1 < size) {
    const auto *mark = static_cast<const std::uint8_t *>(std::memchr(data + at, 0xFF, size - at));
    if (!mark || mark + 1 == data + size)
      break;
    at = static_cast<std::size_t>(mark - data);
    const std::uint8_t code = data[at + 1];
    if (code == 0xD9)
      break; // end of image
    if (code == 0xFF || code == 0x00 || code == 0x01 || IsRestart(code)) {
      at += code == 0xFF ? 1 : 2; // fill byte, stray stuffing, or a marker without a length
      continue;
    }
    at += 2 + (at + 3 < size ? std::size_t{data[at + 2]} << 8 | data[at + 3] : 0);
    if (code != 0xDA)
      continue;
    ++scans;
    while (at + 1 < size) {
      const auto *next = static_cast<const std::uint8_t *>(std::memchr(data + at, 0xFF, size - at - 1));
      if (!next)
        return scans;
      at = static_cast<std::size_t>(next - data);
      if (data[at + 1] != 0x00 && !IsRestart(data[at + 1]))
        break;
      at += 2;
    }
  }
  return scans;
}

// Owns the decoder of one load, whatever way the load ends.
class TJpegReader {
public:
  TJpegReader(const std::uint8_t *data, std::size_t size) : FData(data), FSize(size) {}
  TJpegReader(const TJpegReader &) = delete;
  TJpegReader &operator=(const TJpegReader &) = delete;
  ~TJpegReader() { jpeg_destroy_decompress(&FSession.Info); }

  std::unique_ptr<std::uint32_t[]> Decode() {
    if (CountScans(FData, FSize) > TJPEGImage::MaxScans)
      Fail("more than " + IntToStr(TJPEGImage::MaxScans) + " scans");
    if (!JpegReadHeader(FSession, FData, FSize))
      Failed();
    const TInk ink = ChooseOutput();
    CheckSize();
    const auto count = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
    std::unique_ptr<std::uint32_t[]> pixels(new (std::nothrow) std::uint32_t[count]);
    if (!pixels)
      throw EOutOfMemory("JPEG: no memory for " + IntToStr(Width()) + " x " + IntToStr(Height()) + " pixels");
    if (!JpegStart(FSession) || !JpegReadRows(FSession, pixels.get(), ink))
      Failed();
    return pixels;
  }

  int Width() const { return static_cast<int>(FSession.Info.image_width); }
  int Height() const { return static_cast<int>(FSession.Info.image_height); }
  bool Grayscale() const { return FSession.Info.num_components == 1; }
  std::string Warning() const { return FSession.Warning; }

private:
  [[noreturn]] void Failed() const { Fail(FSession.Message[0] ? FSession.Message : "cannot decode the file"); }

  // Every supported file comes out as 32-bit pixels straight from the library, but CMYK, which we
  // convert ourselves since the library leaves ink values alone.
  TInk ChooseOutput() {
    jpeg_decompress_struct &info = FSession.Info;
    const int components = info.num_components;
    if (components == 4 && (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)) {
      info.out_color_space = JCS_CMYK;
      return info.saw_Adobe_marker ? TInk::Inverted : TInk::Plain;
    }
    if (components != 1 && components != 3)
      Fail(IntToStr(components) + " colour components are not supported");
    info.out_color_space = std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    return TInk::None;
  }

  // Pixels are only trusted with memory as far as the rest of the data could fill them.
  void CheckSize() const {
    const jpeg_decompress_struct &info = FSession.Info;
    const std::int64_t pixels = std::int64_t{info.image_width} * info.image_height;
    if (pixels > TJPEGImage::MaxPixels)
      Fail("image of " + IntToStr(Width()) + " x " + IntToStr(Height()) + " pixels is too large");
    std::uint64_t blocks = 0;
    for (int c = 0; c < info.num_components; ++c)
      blocks += std::uint64_t{info.comp_info[c].width_in_blocks} * info.comp_info[c].height_in_blocks;
    const std::uint64_t left = FSession.Info.src->bytes_in_buffer; // not yet consumed by the headers
    const std::uint64_t perByte = info.arith_code ? ArithmeticBlocksPerByte : HuffmanBlocksPerByte;
    if (blocks > left * perByte)
      Fail("file truncated: " + IntToStr(Width()) + " x " + IntToStr(Height()) + " pixels need " +
           IntToStr(static_cast<std::int64_t>(blocks)) + " blocks, more than the " +
           IntToStr(static_cast<std::int64_t>(left)) + " bytes left can hold");
  }

  TJpegSession FSession;
  const std::uint8_t *FData;
  std::size_t FSize;
};

// The whole file: a stream is walked once for its scans before decoding.
std::vector<std::uint8_t> ReadJpegFile(const std::string &fileName) {
  CheckFileName(fileName);
  std::vector<std::uint8_t> bytes = ReadPictureFile(fileName, TJPEGImage::MaxFileBytes, "JPEG");
  if (bytes.empty())
    Fail("'" + fileName + "' is empty");
  return bytes;
}

} // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::LoadFromFile(const std::string &fileName) {
  const std::vector<std::uint8_t> bytes = ReadJpegFile(fileName);
  LoadFromMemory(bytes.data(), bytes.size());
}

void TJPEGImage::LoadFromMemory(const void *data, std::size_t size) {
  if (!data || size == 0)
    Fail("no data");
  TJpegReader reader(static_cast<const std::uint8_t *>(data), size);
  std::unique_ptr<std::uint32_t[]> pixels = reader.Decode();
  Take(std::move(pixels), reader.Width(), reader.Height(), reader.Grayscale(), reader.Warning());
}

void TJPEGImage::Take(std::unique_ptr<std::uint32_t[]> pixels, int width, int height, bool grayscale,
                      std::string warning) {
  FPixels = std::move(pixels);
  FSurface = {FPixels.get(), width, height, static_cast<std::ptrdiff_t>(width)};
  FGrayscale = grayscale;
  FWarning = std::move(warning);
}

void TJPEGImage::Draw(TCanvas &canvas, const TRect &rect) const { canvas.DrawPixels(rect, FSurface); }

} // namespace Platform
