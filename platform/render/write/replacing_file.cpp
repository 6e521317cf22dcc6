#include "platform/render/write/replacing_file.h"

#include "platform/shell/file_probe.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kRandomChars = 6;

fs::path FolderOf(const fs::path& target) {
    fs::path folder = target.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// ".NAME.kavrel-": what every temporary of the target is named, before its random part.
std::string TemporaryPrefix(const fs::path& target) { return "." + target.filename().string() + ".kavrel-"; }

bool IsTemporaryOf(const std::string& name, const std::string& prefix) {
    return name.size() == prefix.size() + kRandomChars && name.compare(0, prefix.size(), prefix) == 0;
}

std::string RandomPart() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string part;
    for (std::size_t i = 0; i < kRandomChars; ++i) part += kChars[pick(random)];
    return part;
}

// Whether `path` still names the file open on `fd`: a cleaner may have removed it meanwhile.
bool StillNames(int fd, const fs::path& path) {
    struct stat opened {}, named {};
    return fstat(fd, &opened) == 0 && lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// The lock is held by a live writer; a file system without locks gives no answer and is taken
// as free for writing, never for removing.
bool LockedByAnother(int fd) { return flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK; }

bool TryLock(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

// A link names the file to be replaced, not itself.
fs::path ResolvedTarget(const std::string& target) {
    std::error_code ec;
    if (!fs::is_symlink(target, ec)) return target;
    fs::path resolved = fs::canonical(target, ec);
    return ec ? fs::path(target) : resolved;
}

void SyncFolder(const fs::path& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

std::string Failure(const std::string& target, int error) {
    return "Cannot write the file " + target + ": " + std::strerror(error);
}

// A fresh file named `prefix` and random letters, locked; -1 (and errno) when none can be made.
int MakeLockedTemporary(const std::string& prefix, std::string* path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = prefix + RandomPart();
        int fd = open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return -1;
        if (!LockedByAnother(fd) && StillNames(fd, candidate)) {
            *path = candidate;
            return fd;
        }
        close(fd);  // a cleaner took it between its making and its lock
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

int RemoveAbandonedTemporaries(const std::string& target) {
    const fs::path resolved = ResolvedTarget(target);
    const std::string prefix = TemporaryPrefix(resolved);
    std::error_code ec;
    int removed = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(FolderOf(resolved), ec)) {
        if (!IsTemporaryOf(entry.path().filename().string(), prefix)) continue;
        int fd = open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && TryLock(fd) && StillNames(fd, entry.path()) &&
            unlink(entry.path().c_str()) == 0) {
            ++removed;
        }
        close(fd);
    }
    return removed;
}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Create(const std::string& target, std::string* error) {
    Discard();
    const fs::path resolved = ResolvedTarget(target);
    target_ = resolved.string();
    if (!PathCanTakeOutput(target_)) {
        *error = "Cannot write the file " + target + ": it is not a regular file";
        return false;
    }
    RemoveAbandonedTemporaries(target_);
    lockFd_ = MakeLockedTemporary((FolderOf(resolved) / TemporaryPrefix(resolved)).string(), &writePath_);
    if (lockFd_ < 0) *error = Failure(target, errno);
    return lockFd_ >= 0;
}

bool ReplacingFile::Write(std::string_view bytes, std::string* reason) {
    if (lockFd_ < 0) {
        *reason = std::strerror(EBADF);
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t n = write(lockFd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *reason = std::strerror(n == 0 ? EIO : errno);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool ReplacingFile::Commit(std::string* error) {
    if (lockFd_ < 0) {
        *error = Failure(target_, EBADF);
        return false;
    }
    if (fsync(lockFd_) != 0 || rename(writePath_.c_str(), target_.c_str()) != 0) {
        *error = Failure(target_, errno);
        Discard();
        return false;
    }
    SyncFolder(FolderOf(target_));
    Release();
    return true;
}

void ReplacingFile::Discard() {
    if (lockFd_ >= 0) unlink(writePath_.c_str());
    Release();
}

void ReplacingFile::Release() {
    if (lockFd_ >= 0) close(lockFd_);
    lockFd_ = -1;
}
