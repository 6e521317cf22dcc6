#pragma once
// The photo list's pictures: each row shows its photo's thumbnail, 48 pixels high, before the
// name; a photo that cannot be read shows a broken picture and its row says why in a tooltip.
// Pictures are asked of the thumbnail service as rows are made, the rows in view first (again
// when the list scrolls or is resized), and fill in as they come. Hidden, the list is exactly
// as it is without them.
//
// User-interface thread only. The list must outlive this object.

#include <QIcon>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/media/thumbnails/thumbnail_service.h"

class QTreeWidget;

inline constexpr int kThumbnailHeight = 48;  // logical pixels
inline constexpr int kThumbnailWidth = 64;   // the room a 4:3 photo takes at that height

class PhotoThumbnails : public QObject {
    Q_OBJECT

public:
    // A child of the list, so that it can be found there. `cacheRoot`: the desktop's thumbnail cache (tests give a folder of their own).
    explicit PhotoThumbnails(QTreeWidget* list, std::string cacheRoot = DefaultThumbnailRoot());
    ~PhotoThumbnails() override;

    void SetShown(bool shown);
    bool shown() const { return shown_; }
    // The list's rows were made again, one for each of these photos in order.
    void ShowRows(const std::vector<std::string>& paths);
    // Row `row` shows the photo `path` now.
    void ShowRow(int row, const std::string& path);

    ThumbnailService* service() { return service_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply(int row);
    void Clear(int row);
    void OnReady(const std::string& path);
    void RequestVisibleRows();
    QIcon IconOf(const ThumbnailPicture& picture) const;
    void StartService();

    QTreeWidget* list_;
    std::string cacheRoot_;
    bool shown_ = false;
    QSize plainIconSize_;
    bool plainUniformRows_ = false;
    std::vector<std::string> rows_;                          // the photo of each row
    std::unordered_multimap<std::string, int> rowsOfPhoto_;
    std::unique_ptr<ThumbnailService> service_;
    QTimer visibleTimer_;
    QSize box_;  // the pictures' room, in device pixels
    QIcon waiting_, broken_;
};
