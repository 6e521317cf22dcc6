#pragma once
// A file that takes its target's name only once it is complete.
//
// It is written under a hidden name in the target's folder (".NAME.kavrel-XXXXXX"), locked for as
// long as its writer lives. Commit() makes it durable and renames it onto the target in one step,
// so the target is at every moment either the old file or the whole new one, whatever happens to
// the process or the power. Dropped without Commit(), it removes its temporary; a killed writer
// leaves it behind for RemoveAbandonedTemporaries, which the next Create() for the target calls.
//
// A target that exists and is no regular file (a folder, a device, a pipe) is refused; a symbolic
// link is followed to the file it names.
//
// Used by one thread at a time.

#include <string>
#include <string_view>

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Removes what killed writers left for `target`, then makes a fresh temporary. *error names
    // the target and the reason.
    bool Create(const std::string& target, std::string* error);
    // Where the bytes are to be written: the temporary.
    const std::string& writePath() const { return writePath_; }
    // Appends `bytes` to the temporary; *reason is the system's reason when they are not all
    // written (a full disk: "No space left on device").
    bool Write(std::string_view bytes, std::string* reason);
    // Writes the file's bytes through to the disk and renames it onto the target; on failure the
    // temporary is removed and the target left as it was.
    bool Commit(std::string* error);
    // Removes the temporary; the target stays as it was.
    void Discard();

private:
    void Release();

    std::string target_;
    std::string writePath_;
    int lockFd_ = -1;  // holds the lock that marks the temporary as being written
};

// Removes the temporaries of `target` whose writers are gone; a temporary still being written
// (locked) stays. Returns how many were removed.
int RemoveAbandonedTemporaries(const std::string& target);
