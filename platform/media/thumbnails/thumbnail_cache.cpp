#include "platform/media/thumbnails/thumbnail_cache.h"

#include <QCryptographicHash>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/media/thumbnails/thumbnail_png.h"
#include "platform/shell/user_folders.h"

namespace {

constexpr const char* kUriKey = "Thumb::URI";
constexpr const char* kMTimeKey = "Thumb::MTime";
constexpr const char* kSoftwareKey = "Software";
constexpr const char* kFailureKey = "X-Kavrel::Failure";  // why, for the row's tooltip

// Creates each missing folder of `folder` under `root` with the owner's rights only.
bool MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

bool Unreserved(unsigned char c) {
    static const std::string kept = "-._~!$&'()*+,;=:@/";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || kept.find(static_cast<char>(c)) != std::string::npos;
}

}  // namespace

std::string DefaultThumbnailRoot() { return UserCacheFolder() + "/thumbnails"; }

std::string FileUri(const std::string& absolutePath) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : absolutePath) {
        if (Unreserved(c)) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

std::string ThumbnailFileName(const std::string& uri) {
    const QByteArray md5 = QCryptographicHash::hash(QByteArray::fromStdString(uri), QCryptographicHash::Md5);
    return md5.toHex().toStdString() + ".png";
}

bool PhotoModificationTime(const std::string& path, long long* mtime) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    *mtime = static_cast<long long>(st.st_mtime);
    return true;
}

ThumbnailCache::ThumbnailCache(std::string root) : root_(std::move(root)) {}

std::string ThumbnailCache::Folder(int edge) const {
    return root_ + (edge <= kNormalThumbnailEdge ? "/normal" : "/large");
}

std::string ThumbnailCache::FailFolder() const { return root_ + "/fail/kavrel-" KAVREL_VERSION; }

bool ThumbnailCache::Find(const std::string& path, long long mtime, int edge, ThumbnailPicture* picture,
                          std::string* failure) const {
    const std::string uri = FileUri(path), name = "/" + ThumbnailFileName(uri);
    const auto current = [&](const PngTexts& texts) {
        const auto u = texts.find(kUriKey), t = texts.find(kMTimeKey);
        return u != texts.end() && u->second == uri && t != texts.end() && t->second == std::to_string(mtime);
    };
    PngTexts texts;
    ThumbnailPicture read;
    if (ReadThumbnailPng(Folder(edge) + name, &texts, &read) && current(texts)) {
        *picture = std::move(read);
        return true;
    }
    texts.clear();
    if (!ReadThumbnailPng(FailFolder() + name, &texts) || !current(texts)) return false;
    *failure = texts[kFailureKey];
    return true;
}

bool ThumbnailCache::Store(const std::string& path, long long mtime, int edge, const ThumbnailPicture& picture) const {
    return Write(Folder(edge), path, mtime, picture, {});
}

bool ThumbnailCache::StoreFailure(const std::string& path, long long mtime, const std::string& failure) const {
    ThumbnailPicture empty;  // the standard's failure files hold a 1 × 1 picture
    empty.width = empty.height = 1;
    empty.rgba = {0, 0, 0, 0};
    return Write(FailFolder(), path, mtime, empty, failure);
}

bool ThumbnailCache::Write(const std::string& folder, const std::string& path, long long mtime,
                           const ThumbnailPicture& picture, const std::string& failure) const {
    const std::string uri = FileUri(path);
    PngTexts texts{{kUriKey, uri}, {kMTimeKey, std::to_string(mtime)}, {kSoftwareKey, "Kavrel " KAVREL_VERSION}};
    if (!failure.empty()) texts[kFailureKey] = failure;
    if (!MakeFolders(folder)) return false;
    // mkstemp makes the file for the owner only, as the standard asks; the rename makes it
    // appear whole to a reader.
    std::string temp = folder + "/kavrel-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    ::close(fd);
    if (WriteThumbnailPng(temp, picture, texts) && std::rename(temp.c_str(), (folder + "/" + ThumbnailFileName(uri)).c_str()) == 0) {
        return true;
    }
    std::remove(temp.c_str());
    return false;
}
