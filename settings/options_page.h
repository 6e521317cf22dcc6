#pragma once
// The one settings page of every encoder and multiplexer, generated from its option set: numbers
// with their ranges, switches, choices and texts, each showing its default. OK and Apply hand the
// edited values on; nothing is written by hand for a particular codec.

#include <QDialog>
#include <functional>
#include <vector>

#include "platform/codecs/codec_manager.h"
#include "platform/render/filter_graph.h"

class QFormLayout;
class QLineEdit;

class QWidget;

class OptionsPage : public QDialog {
public:
    using Apply = std::function<void(const std::vector<FilterOption>&)>;
    OptionsPage(const std::string& title, std::vector<FilterOption> options, Apply apply, QWidget* parent = nullptr);

    // The options with the values the page shows now.
    std::vector<FilterOption> Values() const;
    // The editor of option `name` (tests drive it); null for none.
    QWidget* Editor(const std::string& name) const;
    void ApplyNow();

private:
    QLineEdit* MakeFindBox();
    void ShowMatching(const QString& text);

    std::vector<FilterOption> options_;
    QFormLayout* form_ = nullptr;
    std::vector<QWidget*> editors_;
    Apply apply_;
};

// The codec settings of the output settings' "Settings" button, as that page.
class QtCodecConfigurePort : public CodecConfigurePort {
public:
    bool Configure(void* owner, const std::string& title, std::vector<FilterOption>* options) override;
};

// Shows a live filter's settings page; OK and Apply set the changed values on the filter.
class PropertyFramePort {
public:
    virtual ~PropertyFramePort() = default;
    virtual void Show(QWidget* owner, const std::string& caption, const std::shared_ptr<ISpecifyPropertyPages>& pages,
                      const std::vector<FilterOption>& options) = 0;
};

class QtPropertyFrame : public PropertyFramePort {
public:
    void Show(QWidget* owner, const std::string& caption, const std::shared_ptr<ISpecifyPropertyPages>& pages,
              const std::vector<FilterOption>& options) override;
};

// Sets on `pages` each option whose value differs from `before`.
void ApplyChangedOptions(ISpecifyPropertyPages& pages, const std::vector<FilterOption>& before,
                         const std::vector<FilterOption>& after);
