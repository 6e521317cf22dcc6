#include "platform/shell/cache_entry.h"

#include <QCryptographicHash>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/render/write/replacing_file.h"

bool CurrentFileKey(const std::string& path, FileKey* key) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    key->path = path;
    key->size = static_cast<long long>(st.st_size);
    key->mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return true;
}

std::string EntryFile(const std::string& folder, const std::string& path) {
    const QByteArray md5 = QCryptographicHash::hash(QByteArray::fromStdString(path), QCryptographicHash::Md5);
    return folder + "/" + md5.toHex().toStdString() + ".txt";
}

std::string ReadEntryFile(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteEntryFile(const std::string& file, const std::string& text) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
    ReplacingFile out;
    std::string failure;
    if (!out.Create(file, &failure) || !out.Write(text, &failure) || !out.Commit(&failure)) out.Discard();
}

std::string EntryHead(const char* heading, const FileKey& key) {
    return std::string(heading) + "\npath " + key.path + "\nsize " + std::to_string(key.size) + "\nmtime " +
           std::to_string(key.mtimeNs) + "\n";
}

bool ReadEntryHead(std::istream& in, const char* heading, const FileKey& key) {
    std::string line;
    FileKey found;
    return std::getline(in, line) && line == heading && Field(in, "path", &found.path) &&
           NumberField(in, "size", &found.size) && NumberField(in, "mtime", &found.mtimeNs) && found == key;
}

bool ReadEntryEnd(std::istream& in) {
    std::string line;
    return std::getline(in, line) && line == kEntryEnd && !std::getline(in, line);
}

std::string ExactNumber(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

bool Field(std::istream& in, const std::string& name, std::string* value) {
    std::string line;
    if (!std::getline(in, line) || line.compare(0, name.size() + 1, name + " ") != 0) return false;
    *value = line.substr(name.size() + 1);
    return true;
}
