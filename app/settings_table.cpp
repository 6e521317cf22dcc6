#include "app/settings_table.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>

#include "platform/shell/profile_store.h"
#include "platform/shell/user_folders.h"

int ReadInt(const ProfileStore& store, const Setting& s) {
    return store.GetProfileInt(std::string(s.section), std::string(s.key), s.intDefault);
}

std::string ReadText(const ProfileStore& store, const Setting& s) {
    return store.GetProfileString(std::string(s.section), std::string(s.key),
                                  std::string(s.textDefault));
}

void WriteInt(ProfileStore& store, const Setting& s, int value) {
    store.WriteProfileInt(std::string(s.section), std::string(s.key), value);
}

void WriteText(ProfileStore& store, const Setting& s, const std::string& value) {
    store.WriteProfileString(std::string(s.section), std::string(s.key), value);
}

double ParseDurationText(const std::string& text) {
    // strtod follows LC_NUMERIC, which the program keeps at "C"; a stream with the classic
    // locale gives the same reading without relying on it.
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> std::ws;
    if (!(in >> value)) return 0;
    return value;
}

std::string FormatDurationText(double seconds) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.setf(std::ios::fixed);
    out.precision(6);
    out << seconds;
    return out.str();
}

std::string DefaultOutputName(const std::string& videosFolder, const std::string& homeFolder) {
    std::string folder = videosFolder.empty() ? homeFolder : videosFolder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder == "/") folder.clear();
    return folder + "/photo.avi";
}

std::string DefaultOutputName() { return DefaultOutputName(UserVideosFolder(), UserHomeFolder()); }

double ReadMusicFadeOut(const ProfileStore& store) {
    return std::max(0.0, ParseDurationText(ReadText(store, settings::kMusicFadeOut)));
}

void WriteMusicFadeOut(ProfileStore& store, double seconds) {
    WriteText(store, settings::kMusicFadeOut, FormatDurationText(seconds));
}

namespace {

void ReadMotionDefaults(const ProfileStore& store, PhotoDefaults* d) {
    const int policy = ReadInt(store, settings::kMotionPolicy);
    d->motionPolicy = policy >= kMotionPolicyNone && policy <= kMotionPolicySame ? policy : kMotionPolicyNone;
    const int same = ReadInt(store, settings::kSameMotion);
    d->sameMotion = same > 0 && same < kMotionKindCount ? static_cast<MotionKind>(same) : MotionKind::ZoomIn;
    const int amount = ReadInt(store, settings::kMotionAmount);
    const bool amountOk = amount >= kMinMotionAmountPercent && amount <= kMaxMotionAmountPercent;
    d->motionAmountPercent = amountOk ? amount : settings::kMotionAmount.intDefault;
    d->motionEased = ReadInt(store, settings::kMotionEasing) == 1;
    d->framing = FramingFromInt(ReadInt(store, settings::kFraming));
    d->facesAimed = ReadInt(store, settings::kFacesAimed) != 0;
}

}  // namespace

PhotoDefaults ReadPhotoDefaults(const ProfileStore& store) {
    PhotoDefaults d;
    d.photoDurationSec = ParseDurationText(ReadText(store, settings::kPhotoDuration));
    d.transitionDurationSec = ParseDurationText(ReadText(store, settings::kTransitionDuration));
    d.policy = ReadInt(store, settings::kTransitionType);
    d.sameIndex = ReadInt(store, settings::kTransitionName);
    ReadMotionDefaults(store, &d);
    return d;
}

void WritePhotoDefaults(ProfileStore& store, const PhotoDefaults& d) {
    WriteText(store, settings::kPhotoDuration, FormatDurationText(d.photoDurationSec));
    WriteText(store, settings::kTransitionDuration, FormatDurationText(d.transitionDurationSec));
    WriteInt(store, settings::kTransitionType, d.policy);
    WriteInt(store, settings::kTransitionName, d.sameIndex);
    WriteInt(store, settings::kMotionPolicy, d.motionPolicy);
    WriteInt(store, settings::kSameMotion, static_cast<int>(d.sameMotion));
    WriteInt(store, settings::kMotionAmount, d.motionAmountPercent);
    WriteInt(store, settings::kMotionEasing, d.motionEased ? 1 : 0);
    WriteInt(store, settings::kFraming, static_cast<int>(d.framing));
    WriteInt(store, settings::kFacesAimed, d.facesAimed ? 1 : 0);
}
