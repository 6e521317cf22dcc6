#include "settings/output_extension.h"

#include "engine/output_format.h"
#include "platform/shell/message_boxes.h"

namespace {

const char* ExtensionOf(int format) {
    switch (format) {
        case kFormatAvi: return ".avi";
        case kFormatWmv: return ".wmv";
        case kFormatMkv: return ".mkv";
        case kFormatAsf: return ".asf";
        case kFormatMp4: return ".mp4";
        default: return nullptr;
    }
}

std::string WithoutExtension(const std::string& name) {
    std::size_t nameStart = name.rfind('/');
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) return name;
    return name.substr(0, dot);
}

}  // namespace

bool ApplyOutputExtension(int format, const std::string& name, std::string* newName,
                          MessageBoxes& boxes) {
    const char* extension = ExtensionOf(format);
    if (extension == nullptr) {
        boxes.Show({MessageOwner::None, "Does not support the video format", "Error",
                    MessageButtons::Ok, MessageIcon::None});
        return false;
    }
    *newName = WithoutExtension(name) + extension;
    return true;
}
