// The filter list before a graph runs, and the generic settings page of encoders and multiplexers.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "settings/filter_property_dialog.h"
#include "settings/options_page.h"
#include "tests/support/recording_message_boxes.h"

namespace {

class FakeFilter : public virtual IUnknown, public IBaseFilter {
public:
    FakeFilter(std::string name, std::shared_ptr<FaultPlan> faults) : name_(std::move(name)), faults_(std::move(faults)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT QueryFilterInfo(FILTER_INFO* info) const override {
        if (HRESULT hr = CheckFault(faults_, "IBaseFilter::QueryFilterInfo:" + name_); FAILED(hr)) return hr;
        info->achName = name_;
        return S_OK;
    }
    std::string name_;
    std::shared_ptr<FaultPlan> faults_;
};

class FakeFilterWithPages : public FakeFilter, public ISpecifyPropertyPages {
public:
    using FakeFilter::FakeFilter;
    HRESULT GetPages(std::vector<FilterOption>* options) const override {
        FilterOption crf{"crf", "quality", FilterOption::Integer, 0, 51, "23", "23", {}};
        *options = {crf};
        return S_OK;
    }
    HRESULT SetOption(const std::string& name, const std::string& value) override {
        set.emplace_back(name, value);
        return S_OK;
    }
    std::vector<std::pair<std::string, std::string>> set;
};

class FakeGraph : public virtual IUnknown, public IFilterGraph {
public:
    explicit FakeGraph(std::shared_ptr<FaultPlan> faults) : faults_(std::move(faults)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string&) override {
        filters.push_back(filter);
        return S_OK;
    }
    HRESULT EnumFilters(std::vector<std::shared_ptr<IBaseFilter>>* out) const override {
        if (HRESULT hr = CheckFault(faults_, "IFilterGraph::EnumFilters"); FAILED(hr)) return hr;
        *out = filters;
        return S_OK;
    }
    std::vector<std::shared_ptr<IBaseFilter>> filters;
    std::shared_ptr<FaultPlan> faults_;
};

class RecordingFrames : public PropertyFramePort {
public:
    void Show(QWidget*, const std::string& caption, const std::shared_ptr<ISpecifyPropertyPages>& pages,
              const std::vector<FilterOption>& options) override {
        captions.push_back(caption);
        std::vector<FilterOption> after = options;
        after[0].value = "18";
        ApplyChangedOptions(*pages, options, after);
    }
    std::vector<std::string> captions;
};

class FilterPropertyTest : public testing::Test {
protected:
    std::unique_ptr<CDialogFilterPerproty> Open() {
        auto d = std::make_unique<CDialogFilterPerproty>(boxes, frames);
        d->m_pFilterGraph = graph;
        d->Prepare();
        d->show();
        return d;
    }
    std::shared_ptr<FakeFilterWithPages> AddWithPages(const std::string& name) {
        auto f = std::make_shared<FakeFilterWithPages>(name, faults);
        graph->AddFilter(f, name);
        return f;
    }
    void AddPlain(const std::string& name) { graph->AddFilter(std::make_shared<FakeFilter>(name, faults), name); }
    QStringList Entries(CDialogFilterPerproty& d) {
        QStringList entries;
        auto* list = d.ItemAs<QListWidget>(1094);
        for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
        return entries;
    }
    void Select(CDialogFilterPerproty& d, int row) { d.ItemAs<QListWidget>(1094)->setCurrentRow(row); }
    bool SettingsEnabled(CDialogFilterPerproty& d) { return d.Item(1095)->isEnabled(); }

    std::shared_ptr<FaultPlan> faults = std::make_shared<FaultPlan>();
    std::shared_ptr<FakeGraph> graph = std::make_shared<FakeGraph>(faults);
    RecordingMessageBoxes boxes;
    RecordingFrames frames;
};

TEST_F(FilterPropertyTest, FiltersWithoutPagesLeaveSettingsDisabled) {
    AddPlain("Render engine");
    AddPlain("File writer");
    auto d = Open();
    EXPECT_EQ(Entries(*d), (QStringList{"Render engine", "File writer"}));
    EXPECT_FALSE(SettingsEnabled(*d));
    Select(*d, 1);
    EXPECT_FALSE(SettingsEnabled(*d));
}

TEST_F(FilterPropertyTest, SettingsOpenThePageOfTheFirstFilterOfThatName) {
    AddPlain("Render engine");
    auto first = AddWithPages("Encoder");
    auto second = AddWithPages("Encoder");
    auto d = Open();
    EXPECT_FALSE(SettingsEnabled(*d));
    Select(*d, 2);
    EXPECT_TRUE(SettingsEnabled(*d));
    QTest::mouseClick(d->ItemAs<QPushButton>(1095), Qt::LeftButton);
    EXPECT_EQ(frames.captions, std::vector<std::string>{"Encoder"});
    EXPECT_EQ(first->set, (std::vector<std::pair<std::string, std::string>>{{"crf", "18"}}));
    EXPECT_TRUE(second->set.empty());
    EXPECT_TRUE(d->isVisible());  // the page returns to the list
    QTest::mouseClick(d->ItemAs<QPushButton>(2), Qt::LeftButton);
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FilterPropertyTest, UnreadableFiltersShowAsErrors) {
    AddWithPages("Encoder");
    AddPlain("Broken");
    faults->Fail("IBaseFilter::QueryFilterInfo:Broken");
    auto d = Open();
    EXPECT_EQ(Entries(*d), (QStringList{"Encoder", "<ERROR>"}));
    EXPECT_TRUE(SettingsEnabled(*d));
    Select(*d, 1);
    EXPECT_TRUE(SettingsEnabled(*d));  // no filter found: the button keeps its state
    QTest::mouseClick(d->ItemAs<QPushButton>(1095), Qt::LeftButton);
    EXPECT_TRUE(frames.captions.empty());

    faults->Fail("IFilterGraph::EnumFilters");
    auto failed = Open();
    EXPECT_EQ(Entries(*failed), QStringList{"<ERROR>"});
}

TEST(OptionsPage, ShowsEveryKindWithItsDefaultAndAppliesTheEdits) {
    std::vector<FilterOption> options{
        {"crf", "quality", FilterOption::Integer, 0, 51, "23", "20", {}},
        {"fast", "", FilterOption::Boolean, 0, 1, "0", "0", {}},
        {"preset", "", FilterOption::Choice, 0, 9, "5", "5", {{"0", "ultrafast"}, {"5", "medium"}}},
        {"tune", "", FilterOption::Text, 0, 0, "", "", {}},
        {"huge", "", FilterOption::Integer, -9e18, 9e18, "0", "7", {}},
    };
    std::vector<FilterOption> applied;
    OptionsPage page("x264", options, [&](const std::vector<FilterOption>& v) { applied = v; });
    auto* crf = qobject_cast<QSpinBox*>(page.Editor("crf"));
    ASSERT_NE(crf, nullptr);
    EXPECT_EQ(crf->value(), 20);
    EXPECT_EQ(crf->maximum(), 51);
    crf->setValue(99);  // held to the option's range
    qobject_cast<QCheckBox*>(page.Editor("fast"))->setChecked(true);
    qobject_cast<QComboBox*>(page.Editor("preset"))->setCurrentIndex(0);
    ASSERT_NE(page.Editor("huge"), nullptr);
    int mediumDefaults = 0;
    for (QLabel* label : page.findChildren<QLabel*>()) mediumDefaults += label->text() == "default: medium";
    EXPECT_EQ(mediumDefaults, 1);

    page.ApplyNow();
    ASSERT_EQ(applied.size(), 5u);
    EXPECT_EQ(applied[0].value, "51");
    EXPECT_EQ(applied[1].value, "1");
    EXPECT_EQ(applied[2].value, "0");
    EXPECT_EQ(applied[3].value, "");
    EXPECT_EQ(applied[4].value, "7");

    FakeFilterWithPages filter("Encoder", nullptr);
    ApplyChangedOptions(filter, options, applied);
    EXPECT_EQ(filter.set, (std::vector<std::pair<std::string, std::string>>{
                              {"crf", "51"}, {"fast", "1"}, {"preset", "0"}}));

    // Typing part of a name keeps only the settings that hold it; the edits stay.
    page.show();
    auto* find = page.findChild<QLineEdit*>("find");
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->hasFocus() || !page.isActiveWindow());
    QTest::keyClicks(find, "R");
    EXPECT_TRUE(page.Editor("crf")->isVisibleTo(&page));
    EXPECT_TRUE(page.Editor("preset")->isVisibleTo(&page));
    EXPECT_FALSE(page.Editor("fast")->isVisibleTo(&page));
    EXPECT_FALSE(page.Editor("tune")->isVisibleTo(&page));
    find->clear();
    EXPECT_TRUE(page.Editor("tune")->isVisibleTo(&page));
    EXPECT_EQ(page.Values()[0].value, "51");
}

}  // namespace
