#include "tests/support/cmyk_jpeg.h"

#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

bool WriteCmykJpeg(const std::string& path, int w, int h) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    jpeg_compress_struct c{};
    jpeg_error_mgr e{};
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);  // writes the Adobe marker for CMYK
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 4);
    for (int x = 0; x < w; ++x) {
        unsigned char* p = &row[static_cast<std::size_t>(x) * 4];
        p[0] = p[1] = p[2] = 255;                  // inverted: 255 is no ink
        p[3] = x < w / 2 ? 255 : 0;
    }
    JSAMPROW r = row.data();
    while (c.next_scanline < c.image_height) jpeg_write_scanlines(&c, &r, 1);
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
    return true;
}
