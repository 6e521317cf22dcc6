#pragma once
// Lists the filters of a built file-writing graph by name, before it runs, and opens the settings
// page of any filter that has one. "&Continue" closes it; the conversion goes on either way.

#include <memory>

#include "controls/template_dialog.h"
#include "platform/render/filter_graph.h"

class PropertyFramePort;

class CDialogFilterPerproty : public TemplateDialog {
public:
    CDialogFilterPerproty(MessageBoxes& boxes, PropertyFramePort& frames, QWidget* parent = nullptr);

    std::shared_ptr<IFilterGraph> m_pFilterGraph;  // set by the caller before the dialog runs

protected:
    void OnInitDialog() override;

private:
    // The first filter of the graph whose name is `name`; null for none.
    std::shared_ptr<IBaseFilter> FindFilter(const std::string& name) const;
    void UpdateSettingsButton();
    void OnSettings();

    PropertyFramePort& frames_;
};
