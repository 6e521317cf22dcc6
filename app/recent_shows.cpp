#include "app/recent_shows.h"

#include <algorithm>

#include "app/settings_table.h"

namespace {

void WriteRecentShows(ProfileStore& store, const std::vector<std::string>& shows) {
    for (std::size_t i = 0; i < settings::kRecentShows.size(); ++i)
        WriteText(store, settings::kRecentShows[i], i < shows.size() ? shows[i] : std::string());
}

}  // namespace

std::vector<std::string> ReadRecentShows(const ProfileStore& store) {
    std::vector<std::string> shows;
    for (const Setting& entry : settings::kRecentShows) {
        std::string show = ReadText(store, entry);
        if (!show.empty() && std::find(shows.begin(), shows.end(), show) == shows.end())
            shows.push_back(std::move(show));
    }
    return shows;
}

void RememberRecentShow(ProfileStore& store, const std::string& show) {
    std::vector<std::string> shows = ReadRecentShows(store);
    std::erase(shows, show);
    shows.insert(shows.begin(), show);
    if (shows.size() > kMaxRecentShows) shows.resize(kMaxRecentShows);
    WriteRecentShows(store, shows);
}

void ClearRecentShows(ProfileStore& store) { WriteRecentShows(store, {}); }
