// Loading pictures: a 1920x1080 24-bit BMP file decoded by TBitmap against memcpy of the pixels it
// yields, and a 1920x1080 JPEG file decoded by TJPEGImage against libjpeg-turbo decoding the same
// file into 32-bit pixels of its own followed by one copy into the picture's (what a loader that
// decodes into a buffer and then fills its bitmap would cost). Both files are made here, in a
// scratch folder, from the same picture: smooth gradients with some noise, so the JPEG holds the
// mix of flat and busy blocks a photograph has. Reading the file is part of every side that
// decodes; the page cache holds the files after the first run.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <platform/pictures/Bitmap.h>
#include <platform/pictures/JpegImage.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

namespace {

using namespace Platform;

constexpr int Width = Bench::SurfaceWidth, Height = Bench::SurfaceHeight;
constexpr std::size_t PixelCount = std::size_t{Width} * Height;
constexpr int JpegQuality = 90;

std::uint32_t PicturePixel(int x, int y, std::mt19937 &random) {
  const int noise = Bench::Uniform(random, -12, 12);
  auto channel = [noise](int v) { return static_cast<std::uint32_t>(std::clamp(v + noise, 0, 255)); };
  return channel(x * 255 / Width) << 16 | channel(y * 255 / Height) << 8 | channel((x + y) * 255 / (Width + Height));
}

void WriteJpeg(const TBitmap &picture, const std::string &path) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = Width;
  info.image_height = Height;
  info.input_components = 4;
  info.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, JpegQuality, TRUE);
  jpeg_start_compress(&info, TRUE);
  for (int y = 0; y < Height; ++y) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(picture.Surface().Row(y));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

// The two files, made on first use and removed at exit.
struct TPictureFiles {
  std::filesystem::path Folder;
  std::string Bmp, Jpeg;
  TPictureFiles()
      : Folder(std::filesystem::temp_directory_path() / ("velgraph-picture-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(Folder);
    Bmp = (Folder / "picture.bmp").string();
    Jpeg = (Folder / "picture.jpg").string();
    TBitmap picture(Width, Height);
    std::mt19937 random = Bench::Generator(0x61c7);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x)
        picture.ScanLine(y)[x] = PicturePixel(x, y, random);
    picture.SaveToBmpFile(Bmp, 24);
    WriteJpeg(picture, Jpeg);
  }
  ~TPictureFiles() { std::filesystem::remove_all(Folder); }
};

const TPictureFiles &Files() {
  static const TPictureFiles files;
  return files;
}

void BmpOurs(benchmark::State &state) {
  TBitmap bitmap;
  for (auto _ : state) {
    bitmap.LoadFromBmpFile(Files().Bmp);
    benchmark::DoNotOptimize(bitmap.ScanLine(0)[0]);
  }
}

// memcpy of bytes: the 32-bit pixels a load yields, or the 24-bit rows the file holds.
template <std::size_t BytesPerPixel> void BmpMemcpy(benchmark::State &state) {
  const std::size_t bytes = BytesPerPixel * PixelCount;
  std::vector<char> source(bytes, 1), target(bytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), bytes);
    benchmark::DoNotOptimize(target[0]);
  }
}

// The least a loader must do: get the file's bytes into memory.
void BmpReadFloor(benchmark::State &state) {
  std::vector<char> bytes(std::filesystem::file_size(Files().Bmp));
  for (auto _ : state) {
    std::FILE *file = std::fopen(Files().Bmp.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
  }
}

void JpegOurs(benchmark::State &state) {
  TJPEGImage image;
  for (auto _ : state) {
    image.LoadFromFile(Files().Jpeg);
    benchmark::DoNotOptimize(image.Surface().Pixels[0]);
  }
}

// libjpeg-turbo's plain decode into 32-bit pixels, then one copy into the pixels a picture holds.
void JpegLibraryAndCopy(benchmark::State &state) {
  std::vector<std::uint32_t> decoded(PixelCount), pixels(PixelCount);
  for (auto _ : state) {
    std::FILE *file = std::fopen(Files().Jpeg.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
      JSAMPROW row = reinterpret_cast<JSAMPROW>(decoded.data() + std::size_t{info.output_scanline} * Width);
      jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    std::memcpy(pixels.data(), decoded.data(), PixelCount * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(pixels[0]);
  }
}

} // namespace

BENCHMARK(BmpOurs)->Name("load BMP 1920x1080 24-bit/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(BmpMemcpy<4>)

    ->Name("load BMP 1920x1080 24-bit/memcpy of the 32-bit pixels")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BmpMemcpy<3>)

    ->Name("load BMP 1920x1080 24-bit/memcpy of the 24-bit rows")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BmpReadFloor)->Name("load BMP 1920x1080 24-bit/floor: fread of the file")->Unit(benchmark::kMillisecond);
BENCHMARK(JpegOurs)->Name("load JPEG 1920x1080 q90/velgraph")->Unit(benchmark::kMillisecond);
BENCHMARK(JpegLibraryAndCopy)
    ->Name("load JPEG 1920x1080 q90/libjpeg-turbo decode + memcpy")
    ->Unit(benchmark::kMillisecond);
