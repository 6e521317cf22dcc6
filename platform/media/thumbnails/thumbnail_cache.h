#pragma once
// The desktop's thumbnail cache, as freedesktop.org's Thumbnail Managing Standard lays it out, so
// that the file manager's thumbnails serve us and ours serve it: ROOT/normal (128 pixels) and
// ROOT/large (256) hold PNGs named by the MD5 of the photo's file URI, tagged with that URI and
// the photo's modification time; ROOT/fail/kavrel-VERSION holds the photos we could not read.
// A thumbnail whose time differs from the photo's is stale and not used.
//
// Safe to call from any thread: each call works on files only, written under a temporary name and
// renamed into place.

#include <string>

#include "platform/media/thumbnails/thumbnail_picture.h"

inline constexpr int kNormalThumbnailEdge = 128;
inline constexpr int kLargeThumbnailEdge = 256;

// $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails when XDG_CACHE_HOME is not an absolute path.
std::string DefaultThumbnailRoot();

// The file URI of an absolute path, percent-encoded as GLib writes it ("file:///a%20b.jpg").
std::string FileUri(const std::string& absolutePath);
// "<md5 of the URI in lower-case hex>.png".
std::string ThumbnailFileName(const std::string& uri);

class ThumbnailCache {
public:
    explicit ThumbnailCache(std::string root);

    // The folder of thumbnails of `edge` (normal for 128 and less, else large).
    std::string Folder(int edge) const;
    // The folder of this program's failures.
    std::string FailFolder() const;

    // What the cache holds for the photo of modification time `mtime`: true with its thumbnail,
    // or true with *failure saying why it could not be read; false when it holds nothing current.
    bool Find(const std::string& path, long long mtime, int edge, ThumbnailPicture* picture,
              std::string* failure) const;
    // Keeps the thumbnail, or the failure to make one; false when it could not be written.
    bool Store(const std::string& path, long long mtime, int edge, const ThumbnailPicture& picture) const;
    bool StoreFailure(const std::string& path, long long mtime, const std::string& failure) const;

private:
    bool Write(const std::string& folder, const std::string& path, long long mtime,
               const ThumbnailPicture& picture, const std::string& failure) const;
    std::string root_;
};

// The photo's modification time in whole seconds, as the cache tags it; false when it has none.
bool PhotoModificationTime(const std::string& path, long long* mtime);
