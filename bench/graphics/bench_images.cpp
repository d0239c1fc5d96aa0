// SPDX-License-Identifier: MIT
// Picture loading against the libraries underneath, each run alone on the same data.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
// jpeglib.h needs FILE and size_t first.
#include <jpeglib.h>

#include "base/binary_reader.h"
#include "graphics/image_cache.h"
#include "graphics/png_picture.h"
#include "graphics/wisp_frame_list.h"
#include "vfs/vr_file_manager.h"

using namespace nova;

namespace {

constexpr int32_t kWidth = 1280, kHeight = 720;

// A photo-like 1280 × 720 picture: smooth gradients with some texture, and a soft alpha edge.
TWispFrame Scene(bool alpha) {
  TWispFrame f;
  f.picture.color.SetSize(kWidth, kHeight, 32);
  uint32_t noise = 12345;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245 + 12345;
      const uint32_t n = (noise >> 16) & 7;
      const uint32_t r = (x * 255 / kWidth + n) & 0xFF, g = (y * 255 / kHeight + n) & 0xFF,
                     b = ((x + y) / 8 + n) & 0xFF;
      f.picture.color.SetRaw(x, y, r << 16 | g << 8 | b);
    }
  }
  if (alpha) {
    f.picture.alpha.SetSize(kWidth, kHeight, 8);
    f.picture.has_alpha = true;
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        f.picture.alpha.Row(y)[x] = static_cast<uint8_t>(std::min(255, std::abs(x - 640) / 2));
      }
    }
  }
  return f;
}

std::vector<uint8_t> WispFile(bool alpha, uint8_t compression) {
  TWispFrameList list;
  list.AddFrame(Scene(alpha));
  return list.SaveToBytes({compression, 90, false});
}

// The planes of a one-layer version-106 file, found by walking its fields.
struct Planes {
  std::span<const uint8_t> color, alpha;
};
Planes FindPlanes(const std::vector<uint8_t>& file) {
  BinaryReader r(file, "bench");
  r.Skip(7 + 4 + 40);
  r.String();
  r.Skip(4 + 4 + 1 + 4 + 4 + 12);
  r.Skip(8 + 1 + 4 + 4 + 1);
  r.String();
  Planes p;
  p.color = r.Bytes(r.U32());
  const int32_t alpha = r.I32();
  if (alpha > 0)
    p.alpha = r.Bytes(static_cast<size_t>(alpha));
  return p;
}

void BM_LoadJpegPicture_1280x720(benchmark::State& state) {
  const std::vector<uint8_t> file = WispFile(false, 2);
  for (auto _ : state) {
    TWispFrameList list;
    list.LoadFromStream(file, "bench.wsp");
    benchmark::DoNotOptimize(list.Frame(0).picture.color.bytes().data());
  }
}
BENCHMARK(BM_LoadJpegPicture_1280x720)->Unit(benchmark::kMillisecond);

void BM_LoadJpegPicture_1280x720_vs_libjpeg(benchmark::State& state) {
  const std::vector<uint8_t> file = WispFile(false, 2);
  const std::span<const uint8_t> jpeg = FindPlanes(file).color;
  std::vector<uint8_t> out(static_cast<size_t>(kWidth) * kHeight * 4);
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = out.data() + cinfo.output_scanline * kWidth * 4;
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_LoadJpegPicture_1280x720_vs_libjpeg)->Unit(benchmark::kMillisecond);

void BM_LoadZlibPictureAlpha_1280x720(benchmark::State& state) {
  const std::vector<uint8_t> file = WispFile(true, 0);
  for (auto _ : state) {
    TWispFrameList list;
    list.LoadFromStream(file, "bench.wsp");
    benchmark::DoNotOptimize(list.Frame(0).picture.alpha.bytes().data());
  }
}
BENCHMARK(BM_LoadZlibPictureAlpha_1280x720)->Unit(benchmark::kMillisecond);

void BM_LoadZlibPictureAlpha_1280x720_vs_libdeflate(benchmark::State& state) {
  const std::vector<uint8_t> file = WispFile(true, 0);
  const Planes planes = FindPlanes(file);
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  std::vector<uint8_t> color(static_cast<size_t>(kWidth) * kHeight * 4);
  std::vector<uint8_t> alpha(static_cast<size_t>(kWidth) * kHeight);
  for (auto _ : state) {
    libdeflate_zlib_decompress(d, planes.color.data(), planes.color.size(), color.data(),
                               color.size(), nullptr);
    libdeflate_zlib_decompress(d, planes.alpha.data(), planes.alpha.size(), alpha.data(),
                               alpha.size(), nullptr);
    benchmark::DoNotOptimize(alpha.data());
  }
  libdeflate_free_decompressor(d);
}
BENCHMARK(BM_LoadZlibPictureAlpha_1280x720_vs_libdeflate)->Unit(benchmark::kMillisecond);

std::vector<uint8_t> PngFile() {
  TWispFrame f = Scene(true);
  return EncodePictureAsPng(f.picture, -1);
}

void BM_LoadPngAlpha_1280x720(benchmark::State& state) {
  const std::vector<uint8_t> png = PngFile();
  for (auto _ : state) {
    TWispFrameList list;
    list.LoadFromMemory(png, "bench.png");
    benchmark::DoNotOptimize(list.Frame(0).picture.alpha.bytes().data());
  }
}
BENCHMARK(BM_LoadPngAlpha_1280x720)->Unit(benchmark::kMillisecond);

void BM_LoadPngAlpha_1280x720_vs_libpng_simplified(benchmark::State& state) {
  const std::vector<uint8_t> png = PngFile();
  std::vector<uint8_t> out(static_cast<size_t>(kWidth) * kHeight * 4);
  for (auto _ : state) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, png.data(), png.size());
    image.format = PNG_FORMAT_BGRA;
    png_image_finish_read(&image, nullptr, out.data(), 0, nullptr);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_LoadPngAlpha_1280x720_vs_libpng_simplified)->Unit(benchmark::kMillisecond);

// The cost of a component asking for a picture that is already cached.
void BM_CacheHit(benchmark::State& state) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "bench_images_cache";
  std::filesystem::create_directories(dir);
  {
    TWispFrameList list;
    TWispFrame f;
    f.picture.color.SetSize(16, 16, 24);
    list.AddFrame(std::move(f));
    const std::vector<uint8_t> bytes = list.SaveToBytes();
    std::ofstream(dir / "cg.wsp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  TVrFileManager files;
  files.SetCdromRoots({});
  files.SetBaseFolder(dir.string());
  TWispCollection cache(files, 0);
  int user = 0;
  cache.Get(&user, "cg.wsp");
  for (auto _ : state)
    benchmark::DoNotOptimize(cache.Get(&user, "CG.WSP"));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CacheHit);

} // namespace

BENCHMARK_MAIN();
