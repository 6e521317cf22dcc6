#pragma once
// Edits one song of the music list: the part of its file that plays (Start and End, in seconds
// from the file's start; an empty End, or the file's length, plays it to its end), its volume and
// its fade-in. A read-only line shows the song's measured level when the caller has one. The
// caller copies the song in, and copies it back only after OK.

#include <string>

#include "app/slideshow_project.h"
#include "controls/template_dialog.h"

class CMusicProperty : public TemplateDialog {
public:
    explicit CMusicProperty(MessageBoxes& boxes, QWidget* parent = nullptr);

    std::string m_strFileName;
    REFERENCE_TIME m_fileLength = 0;  // as MusicItem::length: -1 or 0 when not known
    SongSettings m_song;

    // The measured level, as it is to be read; empty: the line is not shown.
    void SetMeasuredLevel(const std::string& text);

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    bool LengthKnown() const { return m_fileLength > 0; }
    // The trim as typed; false (after the message) when it is refused.
    bool ReadTrim(REFERENCE_TIME* start, REFERENCE_TIME* end);
    void Refuse(const std::string& text, int field);

    std::string measuredLevel_;
};
