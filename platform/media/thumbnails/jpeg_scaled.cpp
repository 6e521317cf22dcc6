#include "platform/media/thumbnails/jpeg_scaled.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {

struct Failure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr c) { std::longjmp(reinterpret_cast<Failure*>(c->err)->jump, 1); }

// A warning means damaged data: leave the photo to the decoder that refuses it with a reason.
void Warn(j_common_ptr c, int level) {
    if (level < 0) Fail(c);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reads the header and the scaled picture; runs between setjmp and its longjmp, so it keeps no
// object with a destructor.
void Decode(jpeg_decompress_struct* c, std::FILE* file, int coverWidth, int coverHeight, ThumbnailPicture* picture) {
    jpeg_stdio_src(c, file);
    jpeg_read_header(c, TRUE);
    c->scale_num = 1;
    c->scale_denom = 8;
    while (c->scale_denom > 1 && (static_cast<int>(c->image_width / c->scale_denom) < coverWidth ||
                                  static_cast<int>(c->image_height / c->scale_denom) < coverHeight)) {
        c->scale_denom /= 2;
    }
    c->out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(c);
    picture->width = static_cast<int>(c->output_width);
    picture->height = static_cast<int>(c->output_height);
    picture->rgba.resize(static_cast<std::size_t>(picture->width) * picture->height * 4);
    while (c->output_scanline < c->output_height) {
        JSAMPROW row = &picture->rgba[static_cast<std::size_t>(c->output_scanline) * picture->width * 4];
        jpeg_read_scanlines(c, &row, 1);
    }
    jpeg_finish_decompress(c);
}

}  // namespace

bool DecodeScaledJpeg(const std::string& path, int coverWidth, int coverHeight, ThumbnailPicture* picture) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (file == nullptr) return false;
    jpeg_decompress_struct c{};
    Failure failure{};
    c.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = Fail;
    failure.manager.emit_message = Warn;
    jpeg_create_decompress(&c);
    const bool ok = setjmp(failure.jump) == 0 && (Decode(&c, file.get(), coverWidth, coverHeight, picture), true);
    jpeg_destroy_decompress(&c);
    return ok;
}
