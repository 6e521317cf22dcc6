#include "platform/media/thumbnails/thumbnail_png.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Runs `work`, which calls libpng, catching libpng's errors (a longjmp back here). `work` keeps
// no object that has a destructor: a longjmp would skip it.
bool Guarded(png_structp png, const std::function<void()>& work) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    work();
    return true;
}

// libpng's own buffers, of a file any program may have written: a chunk that claims more than a
// thumbnail could hold is refused before libpng allocates it.
constexpr png_alloc_size_t kMostLibpngBytes = 8 << 20;

png_voidp BoundedMalloc(png_structp, png_alloc_size_t size) {
    return size <= kMostLibpngBytes ? std::malloc(size) : nullptr;
}

void BoundedFree(png_structp, png_voidp memory) { std::free(memory); }

void WriteTexts(png_structp png, png_infop info, const PngTexts& texts) {
    std::vector<png_text> chunks;
    for (const auto& [key, text] : texts) {
        png_text t{};
        t.compression = PNG_TEXT_COMPRESSION_NONE;
        t.key = const_cast<char*>(key.c_str());
        t.text = const_cast<char*>(text.c_str());
        t.text_length = text.size();
        chunks.push_back(t);
    }
    png_set_text(png, info, chunks.data(), static_cast<int>(chunks.size()));
}

void TakeTexts(png_structp png, png_infop info, PngTexts* texts) {
    png_textp chunks = nullptr;
    const int count = png_get_text(png, info, &chunks, nullptr);
    for (int i = 0; i < count; ++i) {
        (*texts)[chunks[i].key] = std::string(chunks[i].text != nullptr ? chunks[i].text : "", chunks[i].text_length);
    }
}

// Every kind of PNG as 8-bit RGBA.
void AskForRgba(png_structp png, png_infop info) {
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Transparent parts over black, as the list shows them.
void OverBlack(ThumbnailPicture* p) {
    for (std::size_t i = 0; i < p->rgba.size(); i += 4) {
        const unsigned a = p->rgba[i + 3];
        for (int c = 0; c < 3; ++c) p->rgba[i + c] = static_cast<std::uint8_t>((p->rgba[i + c] * a + 127) / 255);
        p->rgba[i + 3] = 255;
    }
}

std::vector<png_bytep> RowsOf(ThumbnailPicture* p) {
    std::vector<png_bytep> rows(static_cast<std::size_t>(p->height));
    for (int y = 0; y < p->height; ++y) rows[static_cast<std::size_t>(y)] = p->rgba.data() + static_cast<std::size_t>(y) * p->width * 4;
    return rows;
}

// The largest thumbnails the standard knows are 1024 pixels a side; a damaged header may say more.
constexpr png_uint_32 kLongestSide = 1024;
constexpr png_uint_32 kMostPixels = kLongestSide * kLongestSide;

}  // namespace

bool WriteThumbnailPng(const std::string& path, const ThumbnailPicture& picture, const PngTexts& texts) {
    FilePtr file(std::fopen(path.c_str(), "wb"));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    ThumbnailPicture copy = picture;  // libpng takes rows as writable pointers
    std::vector<png_bytep> rows = RowsOf(&copy);
    const bool ok = file != nullptr && info != nullptr && Guarded(png, [&] {
        png_init_io(png, file.get());
        png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                     PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        WriteTexts(png, info, texts);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, info);
    });
    png_destroy_write_struct(&png, &info);
    return ok && std::fflush(file.get()) == 0 && !std::ferror(file.get());
}

bool ReadThumbnailPng(const std::string& path, PngTexts* texts, ThumbnailPicture* picture) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (file == nullptr) return false;
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr, nullptr,
                                               BoundedMalloc, BoundedFree);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    png_infop end = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows;
    bool sized = false;
    const bool ok = end != nullptr && Guarded(png, [&] {
        png_set_user_limits(png, kLongestSide, kLongestSide);
        png_init_io(png, file.get());
        png_read_info(png, info);
        TakeTexts(png, info, texts);
        if (picture == nullptr) return;
        AskForRgba(png, info);
        picture->width = static_cast<int>(png_get_image_width(png, info));
        picture->height = static_cast<int>(png_get_image_height(png, info));
        sized = static_cast<png_uint_32>(picture->width) * static_cast<png_uint_32>(picture->height) <= kMostPixels;
        if (!sized) return;
        picture->rgba.assign(static_cast<std::size_t>(picture->width) * picture->height * 4, 0);
        rows = RowsOf(picture);
        png_read_image(png, rows.data());
        png_read_end(png, end);
        TakeTexts(png, end, texts);
    });
    png_destroy_read_struct(&png, &info, &end);
    if (!ok || (picture != nullptr && !sized)) return false;
    if (picture != nullptr) OverBlack(picture);
    return true;
}
