#include "settings/filter_property_dialog.h"

#include <QListWidget>
#include <QPushButton>

#include "controls/accessible_names.h"
#include "settings/options_page.h"

namespace {
constexpr int kFilterList = 1094, kSettings = 1095;
constexpr int kFilterListName = 404;  // string id
constexpr const char* kErrorEntry = "<ERROR>";
}  // namespace

CDialogFilterPerproty::CDialogFilterPerproty(MessageBoxes& boxes, PropertyFramePort& frames, QWidget* parent)
    : TemplateDialog(IDD_DIALOG_FILTER_PROPERTY, boxes, parent), frames_(frames) {
    Item(kFilterList)->setProperty(kNameStringProperty, kFilterListName);
    OnCommand(kFilterList, [this] { UpdateSettingsButton(); });
    OnCommand(kSettings, [this] { OnSettings(); });
}

void CDialogFilterPerproty::OnInitDialog() {
    auto* list = ItemAs<QListWidget>(kFilterList);
    list->clear();
    std::vector<std::shared_ptr<IBaseFilter>> filters;
    if (!m_pFilterGraph || FAILED(m_pFilterGraph->EnumFilters(&filters))) {
        list->addItem(kErrorEntry);
    } else {
        for (const auto& filter : filters) {
            FILTER_INFO info;
            list->addItem(SUCCEEDED(filter->QueryFilterInfo(&info)) ? QString::fromStdString(info.achName)
                                                                     : QString(kErrorEntry));
        }
    }
    list->setCurrentRow(0);
    UpdateSettingsButton();
}

std::shared_ptr<IBaseFilter> CDialogFilterPerproty::FindFilter(const std::string& name) const {
    std::vector<std::shared_ptr<IBaseFilter>> filters;
    if (!m_pFilterGraph || FAILED(m_pFilterGraph->EnumFilters(&filters))) return nullptr;
    for (const auto& filter : filters) {
        FILTER_INFO info;
        if (FAILED(filter->QueryFilterInfo(&info))) return nullptr;
        if (info.achName == name) return filter;
    }
    return nullptr;
}

void CDialogFilterPerproty::UpdateSettingsButton() {
    std::shared_ptr<IBaseFilter> filter = FindFilter(ItemText(kFilterList));
    if (!filter) return;  // the button keeps its state
    std::shared_ptr<ISpecifyPropertyPages> pages;
    Item(kSettings)->setEnabled(SUCCEEDED(QueryInterface(filter, &pages)));
}

void CDialogFilterPerproty::OnSettings() {
    std::shared_ptr<IBaseFilter> filter = FindFilter(ItemText(kFilterList));
    if (!filter) return;
    std::shared_ptr<ISpecifyPropertyPages> pages;
    FILTER_INFO info;
    std::vector<FilterOption> options;
    if (FAILED(QueryInterface(filter, &pages)) || FAILED(filter->QueryFilterInfo(&info)) ||
        FAILED(pages->GetPages(&options))) {
        return;
    }
    frames_.Show(this, info.achName, pages, options);
}
