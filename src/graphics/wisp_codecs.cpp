// SPDX-License-Identifier: MIT
// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>
#include <libdeflate.h>

#include "base/nova_error.h"
#include "graphics/private/wisp_codecs.h"

namespace nova {

namespace {

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

libdeflate_decompressor* Decompressor() {
  // One per thread: allocating it costs more than inflating a small plane.
  thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> d(
      libdeflate_alloc_decompressor());
  return d.get();
}

} // namespace

bool ZlibInflate(std::span<const uint8_t> in, std::span<uint8_t> out) {
  return libdeflate_zlib_decompress(Decompressor(), in.data(), in.size(), out.data(), out.size(),
                                    nullptr) == LIBDEFLATE_SUCCESS;
}

bool ZlibInflateAtMost(std::span<const uint8_t> in, size_t max_bytes, std::vector<uint8_t>& out) {
  out.resize(max_bytes);
  size_t actual = 0;
  if (libdeflate_zlib_decompress(Decompressor(), in.data(), in.size(), out.data(), out.size(),
                                 &actual) != LIBDEFLATE_SUCCESS) {
    return false;
  }
  out.resize(actual);
  return true;
}

std::vector<uint8_t> ZlibDeflate(std::span<const uint8_t> in, int level) {
  libdeflate_compressor* c = libdeflate_alloc_compressor(level);
  if (c == nullptr)
    throw ENovaError("zlib: cannot create a compressor");
  std::vector<uint8_t> out(libdeflate_zlib_compress_bound(c, in.size()));
  size_t n = libdeflate_zlib_compress(c, in.data(), in.size(), out.data(), out.size());
  libdeflate_free_compressor(c);
  out.resize(n);
  return out;
}

// libjpeg reports fatal errors by calling error_exit, which must not return: it jumps back to
// the setjmp of the function below. Those functions hold only plain C objects between setjmp
// and the jump, so no C++ destructor is skipped.
namespace {

struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

constexpr int kMaxJpegScans = 256; // damaged progressive files can otherwise scan for minutes

void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  longjmp(err->jump, 1);
}

void JpegEmitMessage(j_common_ptr cinfo, int level) {
  // A truncated stream is only a warning to libjpeg; a picture with grey rows is an error here.
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
    JpegErrorExit(cinfo);
}

void JpegProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxJpegScans);
    longjmp(err->jump, 1);
  }
}

void InitError(JpegError& err) {
  jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegErrorExit;
  err.mgr.emit_message = JpegEmitMessage;
  err.message[0] = 0;
}

// Returns false with err.message set. Only plain C state lives here.
bool DecodeJpegC(const uint8_t* data, size_t size, const JpegTarget* t, JpegError* err,
                 int32_t* width_out, int32_t* height_out) {
  jpeg_decompress_struct cinfo;
  jpeg_progress_mgr progress;
  cinfo.err = &err->mgr;
  if (setjmp(err->jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  progress.progress_monitor = JpegProgress;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  *width_out = static_cast<int32_t>(cinfo.image_width);
  *height_out = static_cast<int32_t>(cinfo.image_height);
  if (t == nullptr) {
    jpeg_destroy_decompress(&cinfo);
    return true;
  }
  if (*width_out != t->width || *height_out != t->height) {
    std::snprintf(err->message, sizeof err->message, "JPEG is %dx%d, the frame %dx%d", *width_out,
                  *height_out, t->width, t->height);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
    std::snprintf(err->message, sizeof err->message, "CMYK JPEG colour planes are not supported");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  cinfo.out_color_space = t->bytes_per_pixel == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  cinfo.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&cinfo);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = t->pixels + cinfo.output_scanline * t->pitch;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool EncodeJpegC(const uint8_t* pixels, size_t pitch, int32_t width, int32_t height, int bpp,
                 int quality, JpegError* err, unsigned char** out, unsigned long* out_size) {
  jpeg_compress_struct cinfo;
  cinfo.err = &err->mgr;
  if (setjmp(err->jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, out, out_size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = bpp;
  cinfo.in_color_space = bpp == 4 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(pixels) + cinfo.next_scanline * pitch;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

} // namespace

std::string JpegDecode(std::span<const uint8_t> jpeg, const JpegTarget& target) {
  JpegError err;
  InitError(err);
  int32_t w = 0, h = 0;
  if (!DecodeJpegC(jpeg.data(), jpeg.size(), &target, &err, &w, &h)) {
    return err.message[0] ? err.message : "damaged JPEG data";
  }
  return "";
}

bool JpegSize(std::span<const uint8_t> jpeg, int32_t& width, int32_t& height) {
  JpegError err;
  InitError(err);
  return DecodeJpegC(jpeg.data(), jpeg.size(), nullptr, &err, &width, &height);
}

std::vector<uint8_t> JpegEncode(const uint8_t* pixels, size_t pitch, int32_t width, int32_t height,
                                int bytes_per_pixel, int quality) {
  JpegError err;
  InitError(err);
  unsigned char* out = nullptr;
  unsigned long out_size = 0;
  bool ok =
      EncodeJpegC(pixels, pitch, width, height, bytes_per_pixel, quality, &err, &out, &out_size);
  std::vector<uint8_t> result;
  if (ok)
    result.assign(out, out + out_size);
  std::free(out);
  if (!ok)
    throw ENovaError(std::string("JPEG encoding failed: ") + err.message);
  return result;
}

} // namespace nova
