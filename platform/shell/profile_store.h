#pragma once
// The per-user settings: sections of keys holding integers or texts, in an INI file. The program's
// file lives at the XDG configuration place ($XDG_CONFIG_HOME/QuillfenStudio/<program>.ini).
//
// A value that is missing, unreadable or not of the asked type yields the caller's default; a
// value that cannot be written is lost silently. Each write reaches the file at once.

#include <memory>
#include <optional>
#include <string>

class QSettings;

class ProfileStore {
public:
    // The store of `organization`/`application` at the XDG configuration place.
    static std::unique_ptr<ProfileStore> ForScope(const std::string& organization,
                                                  const std::string& application);
    // A store in the given INI file (tests, tools).
    explicit ProfileStore(const std::string& iniPath);
    ~ProfileStore();
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    // An empty section means the file's top level.
    int GetProfileInt(const std::string& section, const std::string& key, int defaultValue) const;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const;
    void WriteProfileInt(const std::string& section, const std::string& key, int value);
    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value);
    bool Contains(const std::string& section, const std::string& key) const;
    // The section of the file whose name equals `section` ignoring case, as the file spells it
    // (the exact spelling first); none when the file has no such section.
    std::optional<std::string> ExistingSection(const std::string& section) const;
    std::string FileName() const;

private:
    explicit ProfileStore(std::unique_ptr<QSettings> settings);
    std::unique_ptr<QSettings> settings_;
};
