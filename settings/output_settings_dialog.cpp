#include "settings/output_settings_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <array>
#include <climits>

#include "app/settings_table.h"
#include "controls/announce.h"
#include "controls/data_exchange.h"
#include "engine/container_compressors.h"
#include "engine/output_format.h"
#include "lang/language.h"
#include "platform/shell/file_dialogs.h"
#include "platform/shell/message_boxes.h"
#include "settings/container_fit.h"
#include "settings/output_extension.h"
#include "settings/resolution_presets.h"

namespace {

constexpr int kFormatList = 1093, kFileEdit = 1022, kBrowse = 1024, kResolutionList = 1025, kWidthEdit = 1027,
              kHeightEdit = 1028, kVideoList = 1001, kVideoSettings = 1053, kAudioList = 1002, kNote = 1073,
              kVideoBitrateEdit = 1087, kAudioBitrateList = 1088, kDefault = 1051;
constexpr std::array kCompressorGroup{1055, 1001, 1053, 1056, 1002, 1073};
constexpr std::array kBitrateGroup{1085, 1087, 1089, 1086, 1088, 1090};

constexpr std::array kAudioBitrates{64000, 128000, 192000, 320000};
constexpr int kMaxTypedKbps = INT_MAX / 1024;
constexpr int kDefaultVideoKbps = 2000;

const std::pair<const char*, const char*>* SaveFilterOf(int format) {
    static const std::pair<const char*, const char*> filters[] = {
        {"Audio Video Interleave file(*.avi)", "*.avi"}, {"Windows Media Video file (*.wmv)", "*.wmv"},
        {"Matroska video file(*.mkv)", "*.mkv"},         {"Advanced Systems Format file(*.asf)", "*.asf"},
        {"MPEG-4 file(*.mp4)", "*.mp4"},                 {"DSM file(*.dsm)", "*.dsm"},
        {"Ogg Media File(*.ogm)", "*.ogm"}};
    return format >= 0 && format < 7 ? &filters[format] : nullptr;
}

// The stored formats the list does not offer, named in its place.
const char* UnlistedFormatName(int format) {
    switch (format) {
        case kFormatDsm: return "DSM";
        case kFormatOgm: return "OGM";
        default: return "";
    }
}

bool WrittenWithCompressors(int format) {
    return format == kFormatAvi || format == kFormatMkv || format == kFormatMp4 || format == kFormatOgm;
}

// Ours, beyond the AVI and WMV of old: choosing one brings its own pair where the chosen one misfits.
bool TakesItsOwnPair(int format) { return format == kFormatMkv || format == kFormatMp4 || format == kFormatOgm; }

// The extension rule has no extension for OGM, which is written all the same: its name stays as given.
bool KeepsItsName(int format) { return format == kFormatOgm; }

int RoundedSide(const std::string& text) {
    int side = ReadLeadingInteger(text) / 8 * 8;
    return side < 16 ? 16 : side;
}

}  // namespace

CDialogOutputSettings::CDialogOutputSettings(const OutputSettingsServices& services, QWidget* parent)
    : TemplateDialog(IDD_DIALOG_OUTPUT_OPTIONS, services.boxes, parent), s_(services) {
    OnCommand(kFormatList, [this] { OnFormatChanged(); });
    OnCommand(kResolutionList, [this] { OnResolutionChanged(); });
    OnCommand(kBrowse, [this] { OnBrowse(); });
    OnCommand(kDefault, [this] { OnDefault(); });
    OnCommand(kVideoList, [this] { UpdateFitNote(); });
    OnCommand(kAudioList, [this] { UpdateFitNote(); });
    OnCommand(kVideoSettings, [this] {
        ConfigureVideoCodec(this, ItemText(kVideoList), s_.codecPages);
    });
}

int CDialogOutputSettings::Selected(int listId) const { return ItemAs<QComboBox>(listId)->currentIndex(); }

void CDialogOutputSettings::SelectCompressor(int listId, int stored, bool (*find)(const CompressorServices&, int*)) {
    int entry = stored + 1;
    if (stored == -2) {
        int found = -1;
        entry = find(s_.compressors, &found) ? found + 1 : 0;
    }
    auto* list = ItemAs<QComboBox>(listId);
    list->setCurrentIndex(entry >= 0 && entry < list->count() ? entry : -1);
}

void CDialogOutputSettings::OnInitDialog() {
    SetItemText(kFileEdit, m_output.path);
    SetItemText(kWidthEdit, std::to_string(m_output.width));
    SetItemText(kHeightEdit, std::to_string(m_output.height));
    ShowItem(kWidthEdit, false);
    ShowItem(kHeightEdit, false);
    auto* resolution = ItemAs<QComboBox>(kResolutionList);
    const int preset = ResolutionEntryFor(m_output.width, m_output.height);
    resolution->setCurrentIndex(preset);
    if (preset == kCustomSizeEntry) {
        ShowItem(kWidthEdit, true);
        ShowItem(kHeightEdit, true);
    }
    resolution->setItemText(kCustomSizeEntry, QString::fromStdString(theLanguage.GetString(112)));

    auto fill = [](QComboBox* list, const std::vector<std::string>& names) {
        list->clear();
        for (const std::string& n : names) list->addItem(QString::fromStdString(n));
    };
    fill(ItemAs<QComboBox>(kVideoList), FillVideoCompressorList(s_.compressors));
    SelectCompressor(kVideoList, ReadInt(s_.store, settings::kVideoCompressor), FindDivXCompressor);
    fill(ItemAs<QComboBox>(kAudioList), FillAudioCompressorList(s_.compressors));
    SelectCompressor(kAudioList, ReadInt(s_.store, settings::kAudioCompressor), FindAdpcmCompressor);
    for (int id : {kVideoList, kAudioList, kVideoSettings}) ShowItem(id, false);

    SetItemText(kVideoBitrateEdit, std::to_string(m_output.videoBitrate / 1024));
    int audioEntry = -1;
    for (int i = 0; i < static_cast<int>(kAudioBitrates.size()); ++i) {
        if (kAudioBitrates[i] == m_output.audioBitrate) audioEntry = i;
    }
    ItemAs<QComboBox>(kAudioBitrateList)->setCurrentIndex(audioEntry);
    for (int id : {1055, 1056, kNote}) ShowItem(id, false);

    auto* formats = ItemAs<QComboBox>(kFormatList);
    formats->setCurrentIndex(m_output.format >= 0 && m_output.format < formats->count() ? m_output.format : -1);
    formats->setPlaceholderText(UnlistedFormatName(m_output.format));
    theLanguage.TranslateDialog(this, IDD_DIALOG_OUTPUT_OPTIONS);
    note_ = ItemText(kNote);
    ApplyFormat();
}

void CDialogOutputSettings::ShowCompressorGroup(bool show) {
    for (int id : kCompressorGroup) ShowItem(id, show);
}

void CDialogOutputSettings::ShowBitrateGroup(bool show) {
    for (int id : kBitrateGroup) ShowItem(id, show);
}

void CDialogOutputSettings::ApplyFormat() {
    std::string name = ItemText(kFileEdit);
    if (!KeepsItsName(m_output.format) && ApplyOutputExtension(m_output.format, name, &name, s_.boxes)) {
        SetItemText(kFileEdit, name);
    }
    if (WrittenWithCompressors(m_output.format)) {
        ShowBitrateGroup(false);
        ShowCompressorGroup(true);
    } else if (m_output.format == kFormatWmv || m_output.format == kFormatAsf) {
        ShowCompressorGroup(false);
        ShowBitrateGroup(true);
    } else {
        Message("unknown error", "error");
    }
    if (TakesItsOwnPair(m_output.format) && !Misfit().empty()) SelectDefaultCompressors();
    UpdateFitNote();
}

std::string CDialogOutputSettings::Misfit() const {
    return ContainerMisfit(s_.compressors, m_output.format, Selected(kVideoList) - 1, Selected(kAudioList) - 1);
}

void CDialogOutputSettings::UpdateFitNote() {
    std::string why = Misfit();
    SetItemText(kNote, why.empty() ? note_ : why);
    if (!why.empty()) Announce(Item(kNote));
}

void CDialogOutputSettings::OnFormatChanged() {
    m_output.format = Selected(kFormatList);
    ApplyFormat();
}

void CDialogOutputSettings::OnResolutionChanged() {
    const int entry = Selected(kResolutionList);
    const bool custom = entry < 0 || entry >= kCustomSizeEntry;
    const ResolutionPreset* p = custom ? nullptr : &kResolutionPresets[static_cast<std::size_t>(entry)];
    const int w = custom ? m_output.width : p->width, h = custom ? m_output.height : p->height;
    SetItemText(kWidthEdit, std::to_string(w));
    SetItemText(kHeightEdit, std::to_string(h));
    ShowItem(kWidthEdit, custom);
    ShowItem(kHeightEdit, custom);
}

void CDialogOutputSettings::OnBrowse() {
    FileDialogRequest request;
    request.owner = this;
    request.save = true;
    const std::size_t slash = m_output.path.find_last_of('/');
    request.startFolder = slash == std::string::npos ? "." : m_output.path.substr(0, slash);
    if (const auto* filter = SaveFilterOf(m_output.format); filter != nullptr) {
        request.filters = {{filter->first, filter->second}};
    } else {
        s_.boxes.Show({MessageOwner::Dialog, "Does not support the video format", "Error", MessageButtons::Ok,
                       MessageIcon::None});
    }
    request.fileName = "*.*";
    request.title = theLanguage.GetString(110);
    std::vector<std::string> chosen;
    if (!s_.files.GetFileNames(request, &chosen)) return;
    std::string name = chosen.front();
    if (!KeepsItsName(m_output.format)) ApplyOutputExtension(m_output.format, name, &name, s_.boxes);
    SetItemText(kFileEdit, name);
}

void CDialogOutputSettings::OnDefault() {
    if (m_output.format == kFormatWmv || m_output.format == kFormatAsf) {
        SetItemText(kVideoBitrateEdit, std::to_string(kDefaultVideoKbps));
        ItemAs<QComboBox>(kAudioBitrateList)->setCurrentIndex(2);
        return;
    }
    SelectDefaultCompressors();
}

void CDialogOutputSettings::SelectDefaultCompressors() {
    const std::string videoName = FormatDefaultCompressor(true, m_output.format);
    const std::string audioName = FormatDefaultCompressor(false, m_output.format);
    int video = -1, audio = -1;
    bool haveVideo = !videoName.empty() && FindCompressorByName(s_.compressors, true, videoName, &video);
    bool haveAudio = !audioName.empty() && FindCompressorByName(s_.compressors, false, audioName, &audio);
    if (!haveVideo) haveVideo = FindDivXCompressor(s_.compressors, &video);
    if (!haveAudio) haveAudio = FindAdpcmCompressor(s_.compressors, &audio);
    ItemAs<QComboBox>(kVideoList)->setCurrentIndex(haveVideo ? video + 1 : 0);
    ItemAs<QComboBox>(kAudioList)->setCurrentIndex(haveAudio ? audio + 1 : 0);
    UpdateFitNote();
}

bool CDialogOutputSettings::CheckTypedValues(int* width, int* height, int* videoBitrate) {
    const std::string name = ItemText(kFileEdit);
    if (name.size() > kMaxPathBytes) {
        Message("The output file name is longer than " + std::to_string(kMaxPathBytes) + " bytes.", "Error");
        return false;
    }
    *width = RoundedSide(ItemText(kWidthEdit));
    *height = RoundedSide(ItemText(kHeightEdit));
    if (*width > kMaxFrameSide || *height > kMaxFrameSide) {
        Message("The frame size can be at most " + std::to_string(kMaxFrameSide) + " * " +
                    std::to_string(kMaxFrameSide) + ".",
                "Error");
        return false;
    }
    int kbps = ReadLeadingInteger(ItemText(kVideoBitrateEdit));
    // No encoder writes at a bitrate below 1 Kbps; a show holding one would not open again. Where the
    // bitrate is not shown (the compressors decide), such a value quietly becomes the default.
    if (kbps < 1 && WrittenWithCompressors(m_output.format)) kbps = kDefaultVideoKbps;
    if (kbps > kMaxTypedKbps || kbps < 1) {
        Message("The video bitrate must be from 1 to " + std::to_string(kMaxTypedKbps) + " Kbps.", "Error");
        return false;
    }
    *videoBitrate = kbps * 1024;
    if (WrittenWithCompressors(m_output.format)) {
        if (std::string why = Misfit(); !why.empty()) {
            SetItemText(kNote, why);
            Announce(Item(kNote));
            return false;
        }
    }
    return true;
}

void CDialogOutputSettings::OnOK() {
    int width = 0, height = 0, videoBitrate = 0;
    if (!CheckTypedValues(&width, &height, &videoBitrate)) return;
    m_output.path = ItemText(kFileEdit);
    WriteText(s_.store, settings::kOutputName, m_output.path);
    m_output.width = width;
    m_output.height = height;
    WriteInt(s_.store, settings::kOutputWidth, width);
    WriteInt(s_.store, settings::kOutputHeight, height);

    auto resolve = [this](int listId, const Setting& setting, bool video, HeldCompressor& held, int& use) {
        const int number = Selected(listId) - 1;
        WriteInt(s_.store, setting, number);
        if (number == -1) {
            use = 0;
            return;
        }
        if (number == -2) {  // no entry selected (the stored device is gone): the default, as at start-up
            ResolveStoredCompressor(s_.compressors, video, -2, &held);
            use = held.use ? 1 : 0;
            return;
        }
        held.filter.reset();
        (video ? GetCompressor : GetAudioCompressor)(s_.compressors, number, &held.filter);
        use = 1;
    };
    resolve(kVideoList, settings::kVideoCompressor, true, s_.held.video, m_output.useVideoCompressor);
    resolve(kAudioList, settings::kAudioCompressor, false, s_.held.audio, m_output.useAudioCompressor);
    s_.held.video.use = m_output.useVideoCompressor != 0;
    s_.held.audio.use = m_output.useAudioCompressor != 0;

    m_output.videoBitrate = videoBitrate;
    WriteInt(s_.store, settings::kVideoBitrate, videoBitrate);
    if (int entry = Selected(kAudioBitrateList); entry >= 0) {
        m_output.audioBitrate = kAudioBitrates[static_cast<std::size_t>(entry)];
    }
    WriteInt(s_.store, settings::kAudioBitrate, m_output.audioBitrate);
    // A stored format the list does not offer (DSM, OGM) is kept, not replaced by "no selection".
    if (int entry = Selected(kFormatList); entry >= 0) m_output.format = entry;
    WriteInt(s_.store, settings::kOutputFormat, m_output.format);
    done(Accepted);
}
