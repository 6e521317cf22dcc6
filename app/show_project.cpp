#include "app/show_project.h"

Show ShowOfProject(const SlideshowProject& project) {
    Show show;
    show.photos = project.photos();
    for (const MusicItem& item : project.music()) show.music.push_back({item.path, 0, item.song});
    const PhotoDefaults& d = project.defaults();
    show.framing = d.framing;
    show.motionAmountPercent = d.motionAmountPercent;
    show.motionEased = d.motionEased;
    show.facesAimed = d.facesAimed;
    show.musicFadeOutSec = project.musicFadeOutSec();
    show.musicMix = project.musicMix();
    show.captionStyle = project.captionStyle();
    const OutputSettings& out = project.output();
    show.output.format = out.format;
    show.output.path = out.path;
    show.output.width = out.width;
    show.output.height = out.height;
    show.output.videoBitrate = out.videoBitrate;
    show.output.audioBitrate = out.audioBitrate;
    return show;
}

void PutShowInProject(const Show& show, SlideshowProject* project,
                      const std::function<REFERENCE_TIME(const std::string&)>& measure) {
    project->ClearPhotos();
    for (const PhotoItem& photo : show.photos) {
        project->AppendPhoto(photo.path);
        project->SetPhoto(project->photoCount() - 1, photo);
    }
    project->ClearMusic();
    for (const MusicItem& item : show.music) {
        project->AppendMusic(item.path, measure(item.path));
        project->SetSong(project->musicCount() - 1, item.song);
    }
    PhotoDefaults& d = project->defaults();
    d.framing = show.framing;
    d.motionAmountPercent = show.motionAmountPercent;
    d.motionEased = show.motionEased;
    d.facesAimed = show.facesAimed;
    project->setMusicFadeOutSec(show.musicFadeOutSec);
    project->musicMix() = show.musicMix;
    project->captionStyle() = show.captionStyle;
}

void PutShowOutput(const ShowOutput& show, OutputSettings* out) {
    out->format = show.format;
    if (!show.path.empty()) out->path = show.path;
    out->width = show.width;
    out->height = show.height;
    out->videoBitrate = show.videoBitrate;
    out->audioBitrate = show.audioBitrate;
}
