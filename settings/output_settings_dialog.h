#pragma once
// Where the user chooses the output file: container, file name, frame size, and either the
// compressors (AVI, MKV, MP4, a stored OGM) or the bitrates (WMV, ASF). OK stores every value and resolves the
// chosen compressors into the held ones; Cancel changes nothing.

#include "app/slideshow_project.h"
#include "controls/template_dialog.h"
#include "engine/render_to_file.h"

class CodecConfigurePort;
class FileDialogs;
class ProfileStore;

struct OutputSettingsServices {
    MessageBoxes& boxes;
    ProfileStore& store;
    FileDialogs& files;
    CompressorServices compressors;
    HeldCompressors& held;
    CodecConfigurePort* codecPages = nullptr;  // the "Settings" button's page; none: nothing opens
};

class CDialogOutputSettings : public TemplateDialog {
public:
    explicit CDialogOutputSettings(const OutputSettingsServices& services, QWidget* parent = nullptr);

    // Filled by the caller before the dialog runs; holds the new values after OK.
    OutputSettings m_output;

    // Sizes above this are refused (encoders and players take no larger frames).
    static constexpr int kMaxFrameSide = 8192;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void SelectCompressor(int listId, int stored, bool (*find)(const CompressorServices&, int*));
    void ApplyFormat();
    void ShowCompressorGroup(bool show);
    void ShowBitrateGroup(bool show);
    void OnFormatChanged();
    void OnResolutionChanged();
    void OnBrowse();
    void OnDefault();
    void SelectDefaultCompressors();
    std::string Misfit() const;
    void UpdateFitNote();
    int Selected(int listId) const;
    bool CheckTypedValues(int* width, int* height, int* videoBitrate);

    OutputSettingsServices s_;
    std::string note_;  // the note's own text, shown when the compressors fit
};
