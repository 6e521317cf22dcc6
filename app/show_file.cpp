#include "app/show_file.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "app/show_file_fields.h"
#include "engine/transition_catalogue.h"
#include "platform/render/write/replacing_file.h"
#include "platform/shell/file_probe.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTypeKey = "type";
constexpr const char* kTypeValue = "kavrel-show";
constexpr const char* kVersionKey = "version";
constexpr std::array<const char*, 7> kFormatNames{"avi", "wmv", "mkv", "asf", "mp4", "dsm", "ogm"};

QString Q(const std::string& text) { return QString::fromStdString(text); }

// `path` relative to `folder` when it lies below it and comes back to the very same text;
// otherwise as it is.
std::string Relative(const std::string& path, const std::string& folderText) {
    const fs::path p(path), folder(folderText);
    if (folder.empty() || !p.is_absolute()) return path;
    const fs::path rel = p.lexically_relative(folder);
    if (rel.empty() || rel.is_absolute()) return path;
    for (const fs::path& part : rel.lexically_normal()) {
        if (part == "..") return path;
    }
    return (folder / rel).string() == path ? rel.generic_string() : path;
}

std::string Resolved(const std::string& stored, const std::string& folder) {
    const fs::path p(stored);
    return p.is_absolute() || folder.empty() ? stored : (fs::path(folder) / p).string();
}

QJsonObject TitleObject(const TitleCard& card) {
    return {{"text", Q(card.text)},
            {"font", Q(card.font)},
            {"size", card.size},
            {"colour", Q(ColourName(card.colour))},
            {"align", TextAlignName(card.align)},
            {"background", TitleBackgroundName(card.background)},
            {"backgroundColour", Q(ColourName(card.backgroundColour))}};
}

QJsonObject RectObject(const PhotoRect& r) { return {{"x", r.x}, {"y", r.y}, {"w", r.w}, {"h", r.h}}; }

// The photo's own framing, amount and drawn views, each only where it has one.
void InsertOwnFraming(const PhotoFraming& own, QJsonObject* object) {
    if (own.framing) object->insert("framing", FramingName(*own.framing));
    if (own.motionAmountPercent) object->insert("motionAmount", *own.motionAmountPercent);
    if (own.from) object->insert("from", RectObject(*own.from));
    if (own.to) object->insert("to", RectObject(*own.to));
}

QJsonObject PhotoObject(const PhotoItem& photo, const std::string& folder) {
    QJsonObject object{{"duration", photo.durationSec},
                       {"transition", photo.transition},
                       {"transitionDuration", photo.transitionDurationSec},
                       {"motion", MotionKindName(photo.motion)}};
    if (!photo.path.empty()) object.insert("path", Q(Relative(photo.path, folder)));
    if (photo.title) object.insert("title", TitleObject(*photo.title));
    if (!photo.caption.text.empty()) {
        object.insert("caption", QJsonObject{{"text", Q(photo.caption.text)},
                                             {"place", CaptionPlaceName(photo.caption.place)}});
    }
    InsertOwnFraming(photo.framing, &object);
    return object;
}

QJsonObject CaptionStyleObject(const CaptionStyle& style) {
    return {{"font", Q(style.font)},
            {"size", style.size},
            {"colour", Q(ColourName(style.colour))},
            {"backing", CaptionBackingName(style.backing)},
            {"moveWithPhoto", style.movesWithPhoto},
            {"automatic", CaptionSourceName(style.automatic)},
            {"output", CaptionOutputName(style.output)}};
}

QJsonObject OutputObject(const ShowOutput& o, const std::string& folder) {
    // A stored format number the program does not have is its default.
    const bool known = o.format >= 0 && o.format < static_cast<int>(kFormatNames.size());
    QJsonObject out{
        {"format", kFormatNames[static_cast<std::size_t>(known ? o.format : kFormatWmv)]},
        {"width", o.width},
        {"height", o.height},
        {"videoCompressor", Q(o.videoCompressor)},
        {"audioCompressor", Q(o.audioCompressor)},
        {"videoBitrate", o.videoBitrate},
        {"audioBitrate", o.audioBitrate}};
    if (!o.path.empty()) out.insert("file", Q(Relative(o.path, folder)));
    return out;
}

// A path of the file: resolved, and a name the lists can hold.
std::string PathField(Fields& f, const char* key, const std::string& folder, bool required) {
    const std::string stored = f.Text(key, required);
    if (stored.empty()) {
        if (required && f.Has(key)) f.Fail(key, "is empty");
        return stored;
    }
    if (stored.find('\0') != std::string::npos) f.Fail(key, "holds a zero character");
    std::string path = Resolved(stored, folder);
    if (path.size() > kMaxPathBytes)
        f.Fail(key, "is longer than " + std::to_string(kMaxPathBytes) + " bytes");
    return path;
}

// Durations as the dialogs check them, so that whatever they take, a show keeps: a photo's truncated
// to a whole number, the others in single precision (-1e-300 is 0 there).
bool PhotoDialogTakesDuration(double seconds) {
    return std::trunc(seconds) >= 0 && seconds < kPhotoDurationLimitSec;
}

bool InSinglePrecision(double seconds, float high) {
    const auto single = std::fabs(seconds) < 1e30 ? static_cast<float>(seconds) : -1.0f;
    return single >= 0 && single <= high;
}

// A text of at most kMaxTextBytes; `lines` > 0 limits its lines.
std::string TextField(Fields& f, const char* key, bool required, int lines = 0) {
    std::string text = f.Text(key, required);
    if (text.size() > kMaxTextBytes)
        f.Fail(key, "is longer than " + std::to_string(kMaxTextBytes) + " bytes");
    if (text.find('\0') != std::string::npos) f.Fail(key, "holds a zero character");
    if (lines > 0 && std::count(text.begin(), text.end(), '\n') >= lines)
        f.Fail(key, "has more than " + std::to_string(lines) + " lines");
    return text;
}

std::uint32_t ColourField(Fields& f, const char* key, std::uint32_t fallback) {
    return f.Named<std::uint32_t>(key, ColourFromName, fallback);
}

double TextSizeField(Fields& f, double fallback) {
    return f.Number("size", kMinTextSize, kMaxTextSize, fallback);
}

TitleCard ReadTitle(Fields& f) {
    TitleCard card;
    card.text = TextField(f, "text", true);
    card.font = TextField(f, "font", false);
    if (card.font.empty()) card.font = TitleCard().font;
    card.size = TextSizeField(f, card.size);
    card.colour = ColourField(f, "colour", card.colour);
    card.align = f.Named<TextAlign>("align", TextAlignFromName, card.align);
    card.background = f.Named<TitleBackground>("background", TitleBackgroundFromName, card.background);
    card.backgroundColour = ColourField(f, "backgroundColour", card.backgroundColour);
    return card;
}

PhotoRect ReadRect(Fields& f) {
    const double far = kMaxViewExtent;
    return {f.Number("x", -far, far, std::nullopt), f.Number("y", -far, far, std::nullopt),
            f.Number("w", kLeastViewExtent, far, std::nullopt), f.Number("h", kLeastViewExtent, far, std::nullopt)};
}

PhotoFraming ReadOwnFraming(Fields& f) {
    PhotoFraming own;
    if (f.Has("framing")) own.framing = f.Named<Framing>("framing", FramingFromName, Framing::Fit);
    if (f.Has("motionAmount"))
        own.motionAmountPercent = f.Integer("motionAmount", kMinMotionAmountPercent, kMaxMotionAmountPercent, 0);
    f.Object("from", [&](Fields& rect) { own.from = ReadRect(rect); });
    f.Object("to", [&](Fields& rect) { own.to = ReadRect(rect); });
    if (own.from.has_value() != own.to.has_value()) f.Fail(own.from ? "to" : "from", "is missing: a drawn move has both views");
    return own;
}

PhotoItem ReadPhoto(Fields& f, const std::string& folder) {
    PhotoItem photo;
    f.Object("title", [&](Fields& title) { photo.title = ReadTitle(title); });
    photo.path = PathField(f, "path", folder, !photo.title);
    if (photo.title && photo.title->background != TitleBackground::Colour && photo.path.empty())
        f.Fail("path", "is missing: the title's background is a photo");
    f.Object("caption", [&](Fields& caption) {
        photo.caption.text = TextField(caption, "text", true, kMaxCaptionLines);
        photo.caption.place = caption.Named<CaptionPlace>("place", CaptionPlaceFromName, photo.caption.place);
    });
    photo.durationSec = f.Checked("duration", PhotoDialogTakesDuration,
                                  "a number from 0 up to below 65536", std::nullopt);
    photo.transition = f.Integer("transition", 0, kTransitionCount - 1, 0);
    photo.transitionDurationSec =
        f.Checked("transitionDuration", [](double v) { return InSinglePrecision(v, 600); },
                  "a number from 0 to 600", 0.0);
    photo.motion = f.Named<MotionKind>("motion", MotionKindFromName, MotionKind::None);
    photo.framing = ReadOwnFraming(f);
    return photo;
}

std::optional<int> FormatFromName(const std::string& name) {
    for (std::size_t i = 0; i < kFormatNames.size(); ++i) {
        if (name == kFormatNames[i]) return static_cast<int>(i);
    }
    return std::nullopt;
}

ShowOutput ReadOutput(Fields& f, const std::string& folder) {
    ShowOutput o;
    o.format = f.Named<int>("format", FormatFromName, o.format);
    o.path = PathField(f, "file", folder, false);
    o.width = f.Integer("width", 0, kMaxShowFrameSide, o.width);
    o.height = f.Integer("height", 0, kMaxShowFrameSide, o.height);
    if (!IsFrameSize(o.width, o.height))
        f.Fail("width", "and height must be even numbers from 16 to 8192, or both 0");
    o.videoCompressor = f.Text("videoCompressor", false);
    o.audioCompressor = f.Text("audioCompressor", false);
    o.videoBitrate = f.Integer("videoBitrate", 1, INT32_MAX, o.videoBitrate);
    o.audioBitrate = f.Integer("audioBitrate", 1, INT32_MAX, o.audioBitrate);
    if (!IsAudioBitrate(o.audioBitrate))
        f.Fail("audioBitrate", "must be 64000, 128000, 192000 or 320000");
    return o;
}

double SecondsOf(REFERENCE_TIME t) { return static_cast<double>(t) / kUnitsPerSecond; }

// A song's own settings are written only where they are not the defaults.
QJsonObject MusicObject(const MusicItem& item, const std::string& folder) {
    QJsonObject object{{"path", Q(Relative(item.path, folder))}};
    const SongSettings& song = item.song;
    if (song.trimStart > 0) object.insert("start", SecondsOf(song.trimStart));
    if (song.trimEnd > 0) object.insert("end", SecondsOf(song.trimEnd));
    if (song.volumeDb != 0) object.insert("volume", song.volumeDb);
    if (song.fadeInSec > 0) object.insert("fadeIn", song.fadeInSec);
    return object;
}

QJsonValue LoudnessValue(const MusicMix& mix) {
    return mix.evenLoudness ? QJsonValue(mix.loudnessTargetLufs) : QJsonValue("off");
}

QJsonObject MusicMixObject(const MusicMix& mix) {
    return QJsonObject{{"loudness", LoudnessValue(mix)}, {"join", mix.joinSec}};
}

REFERENCE_TIME UnitsOf(double seconds) { return std::llround(seconds * kUnitsPerSecond); }

// A song of up to a day is trimmed to the 100 ns; no music file is longer.
constexpr double kMaxSongSeconds = 86400;

MusicItem ReadMusic(Fields& f, const std::string& folder) {
    MusicItem item;
    item.path = PathField(f, "path", folder, true);
    SongSettings& song = item.song;
    song.trimStart = UnitsOf(f.Number("start", 0, kMaxSongSeconds, 0.0));
    song.trimEnd = UnitsOf(f.Number("end", 0, kMaxSongSeconds, 0.0));
    if (song.trimEnd > 0 && song.trimEnd <= song.trimStart) f.Fail("end", "must come after the start");
    song.volumeDb = f.Number("volume", kMinSongVolumeDb, kMaxSongVolumeDb, 0.0);
    song.fadeInSec = f.Number("fadeIn", 0, kMaxSongFadeInSec, 0.0);
    return item;
}

// A show that names no loudness was kept before the music was evened out, and stays as it was.
MusicMix ReadMusicMix(Fields& f) {
    MusicMix mix = kMusicMixOfOldShows;
    if (f.IsText("loudness")) {
        if (f.Text("loudness", true) != "off") f.Fail("loudness", "must be \"off\" or a number from -36 to -6");
    } else if (f.Has("loudness")) {
        mix.evenLoudness = true;
        mix.loudnessTargetLufs = f.Number("loudness", kMinLoudnessTarget, kMaxLoudnessTarget, std::nullopt);
    }
    mix.joinSec = f.Number("join", kMinJoinSec, kMaxJoinSec, mix.joinSec);
    return mix;
}

CaptionStyle ReadCaptionStyle(Fields& f) {
    CaptionStyle style;
    style.font = TextField(f, "font", false);
    if (style.font.empty()) style.font = CaptionStyle().font;
    style.size = TextSizeField(f, style.size);
    style.colour = ColourField(f, "colour", style.colour);
    style.backing = f.Named<CaptionBacking>("backing", CaptionBackingFromName, style.backing);
    style.movesWithPhoto = f.Flag("moveWithPhoto", style.movesWithPhoto);
    style.automatic = f.Named<CaptionSource>("automatic", CaptionSourceFromName, style.automatic);
    style.output = f.Named<CaptionOutput>("output", CaptionOutputFromName, style.output);
    return style;
}

std::optional<bool> EasedFromName(const std::string& name) {
    if (name == EasingName(false)) return false;
    if (name == EasingName(true)) return true;
    return std::nullopt;
}

// The show's own values; the first problem found is in *problem.
Show ReadShow(const QJsonObject& root, const std::string& folder, std::string* problem) {
    Show show;
    Fields f{root, "", problem};
    f.Each("photos", kMaxPhotos, true,
           [&](Fields& item) { show.photos.push_back(ReadPhoto(item, folder)); });
    f.Each("music", kMaxMusic, false, [&](Fields& item) { show.music.push_back(ReadMusic(item, folder)); });
    show.framing = f.Named<Framing>("framing", FramingFromName, show.framing);
    show.motionAmountPercent = f.Integer("motionAmount", kMinMotionAmountPercent,
                                         kMaxMotionAmountPercent, show.motionAmountPercent);
    show.motionEased = f.Named<bool>("motionPace", EasedFromName, show.motionEased);
    show.facesAimed = f.Flag("faces", show.facesAimed);
    show.musicFadeOutSec =
        f.Checked("musicFadeOut", [](double v) { return InSinglePrecision(v, 65535); },
                  "a number from 0 to 65535", show.musicFadeOutSec);
    f.Object("mix", [&](Fields& mix) { show.musicMix = ReadMusicMix(mix); });
    f.Object("output", [&](Fields& output) { show.output = ReadOutput(output, folder); });
    f.Object("captions", [&](Fields& captions) { show.captionStyle = ReadCaptionStyle(captions); });
    f.Known(kTypeKey);
    f.Known(kVersionKey);
    f.RefuseOthers();
    return show;
}

ShowFileError VersionProblem(const QJsonObject& root) {
    const QJsonValue version = root.value(kVersionKey);
    const double v = version.toDouble(-1);
    if (!version.isDouble() || !(v >= 1) || std::floor(v) != v) {
        return {ShowFileProblem::BadValue,
                std::string(kVersionKey) + " must be a whole number from 1"};
    }
    if (v > kShowFormatVersion) return {ShowFileProblem::NewerVersion, NumberText(v)};
    return {};
}

}  // namespace

ShowFileError ParseShow(std::string_view bytes, const std::string& folder, Show* show) {
    if (bytes.size() > kMaxShowFileBytes) return {ShowFileProblem::TooLarge, {}};
    QJsonParseError parseError;
    const QByteArray raw =
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QJsonDocument doc = QJsonDocument::fromJson(raw, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return {ShowFileProblem::Damaged, parseError.errorString().toStdString()};
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value(kTypeKey).toString() != kTypeValue)
        return {ShowFileProblem::Foreign, {}};
    if (ShowFileError error = VersionProblem(root)) return error;
    std::string problem;
    Show read = ReadShow(root, folder, &problem);
    if (!problem.empty()) return {ShowFileProblem::BadValue, problem};
    *show = std::move(read);
    return {};
}

ShowFileError ReadShowFile(const std::string& file, Show* show) {
    const PathKind kind = KindOfPath(file);
    if (kind != PathKind::File && kind != PathKind::Missing) return {ShowFileProblem::NotAFile, {}};
    QFile in(Q(file));
    if (!in.open(QIODevice::ReadOnly))
        return {ShowFileProblem::CannotRead, in.errorString().toStdString()};
    if (in.size() > static_cast<qint64>(kMaxShowFileBytes)) return {ShowFileProblem::TooLarge, {}};
    const QByteArray bytes = in.read(static_cast<qint64>(kMaxShowFileBytes) + 1);
    if (in.error() != QFileDevice::NoError)
        return {ShowFileProblem::CannotRead, in.errorString().toStdString()};
    return ParseShow(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                     ShowFolderOf(file), show);
}

std::string SerializeShow(const Show& show, const std::string& folder) {
    QJsonArray photos, music;
    for (const PhotoItem& photo : show.photos) photos.append(PhotoObject(photo, folder));
    for (const MusicItem& item : show.music) music.append(MusicObject(item, folder));
    const QJsonObject root{{kVersionKey, kShowFormatVersion},
                           {"photos", photos},
                           {"music", music},
                           {"framing", FramingName(show.framing)},
                           {"motionAmount", show.motionAmountPercent},
                           {"motionPace", EasingName(show.motionEased)},
                           {"faces", show.facesAimed},
                           {"musicFadeOut", show.musicFadeOutSec},
                           {"mix", MusicMixObject(show.musicMix)},
                           {"output", OutputObject(show.output, folder)},
                           {"captions", CaptionStyleObject(show.captionStyle)}};
    std::string text = QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
    // The type goes first, where a file manager's content check looks (QJsonObject sorts keys).
    text.insert(text.find('\n') + 1, std::string("    \"") + kTypeKey + "\": \"" + kTypeValue + "\",\n");
    if (text.back() != '\n') text += '\n';
    return text;
}

ShowFileError WriteShowFile(const std::string& file, const Show& show) {
    if (!PathCanTakeOutput(file)) return {ShowFileProblem::NotAFile, {}};
    const std::string bytes = SerializeShow(show, ShowFolderOf(file));
    ReplacingFile out;
    std::string error;
    if (!out.Create(file, &error) || !out.Write(bytes, &error) || !out.Commit(&error))
        return {ShowFileProblem::CannotWrite, error};
    return {};
}

std::string ShowFolderOf(const std::string& file) {
    std::error_code ec;
    fs::path folder = fs::absolute(fs::path(file), ec).parent_path().lexically_normal();
    if (!folder.has_filename() && folder != folder.root_path()) folder = folder.parent_path();
    return folder.string();
}

bool IsFrameSize(int width, int height) {
    auto side = [](int v) { return v >= 16 && v <= kMaxShowFrameSide && v % 2 == 0; };
    return (width == 0 && height == 0) || (side(width) && side(height));
}

bool IsAudioBitrate(int bitsPerSecond) {
    for (int offered : kAudioBitrates) {
        if (bitsPerSecond == offered) return true;
    }
    return false;
}

bool IsShowFileName(const std::string& path) {
    const std::string ext = fs::path(path).extension().string();
    return QString::fromStdString(ext).compare(kShowFileExtension, Qt::CaseInsensitive) == 0;
}

std::string FirstShowFile(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (IsShowFileName(path)) return path;
    }
    return {};
}
