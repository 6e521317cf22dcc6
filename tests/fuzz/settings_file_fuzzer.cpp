// libFuzzer target: any bytes as the settings file, read as the program reads it at start-up and
// in its dialogs: every setting, the photo defaults and the interface font of a language.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings_table.h"
#include "platform/shell/profile_store.h"

namespace {

// Qt keeps files it has read; a new name each time makes it read the new bytes.
std::string NextFileName() {
    static int count = 0;
    static const std::filesystem::path folder = std::filesystem::temp_directory_path();
    return (folder / ("kavrel-settings-fuzz-" + std::to_string(getpid()) + "-" + std::to_string(++count) + ".ini"))
        .string();
}

void ReadEverySetting(const ProfileStore& store) {
    for (const Setting* s : settings::kAll) {
        if (s->type == SettingType::Integer) ReadInt(store, *s);
        if (s->type == SettingType::Text) ReadText(store, *s);
    }
    ReadPhotoDefaults(store);
    for (const Setting& font : settings::kInterfaceFont) {
        store.GetProfileInt("english", std::string(font.key), font.intDefault);
        store.GetProfileString("english", std::string(font.key), std::string(font.textDefault));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = NextFileName();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    {
        ProfileStore store(path);
        ReadEverySetting(store);
    }
    std::filesystem::remove(path);
    return 0;
}
