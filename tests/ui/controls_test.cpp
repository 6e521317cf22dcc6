// The main window's icon button and the About box's hyperlink label.

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QToolTip>

#include "controls/contrast.h"
#include "controls/hyperlink.h"
#include "controls/icon_button.h"
#include "tests/support/recording_message_boxes.h"

namespace {

void Enter(QWidget* w) {
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(w, &event);
}

void Leave(QWidget* w) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}

TEST(IconButton, HoverLightsItUntilTheMouseLeavesOrItIsDisabled) {
    QWidget parent;
    QPushButton other(&parent);
    auto* button = new CButtonST(&parent);
    button->setText("Add Photo");
    parent.show();
    EXPECT_EQ(button->SetAlign(1), 0);
    EXPECT_EQ(button->SetAlign(4), 4);
    Enter(button);
    EXPECT_TRUE(button->hovered());
    EXPECT_EQ(button->soundsPlayed(), 1);
    Enter(button);  // already lit: no second sound
    EXPECT_EQ(button->soundsPlayed(), 1);
    Leave(button);
    EXPECT_FALSE(button->hovered());

    Enter(button);
    button->setFocus();
    button->setEnabled(false);
    EXPECT_FALSE(button->hovered());
    EXPECT_FALSE(button->hasFocus());
    Enter(button);  // a disabled button does not light
    EXPECT_FALSE(button->hovered());
}

TEST(IconButton, ADoubleClickIsTwoClicks) {
    CButtonST button;
    button.setText("Convert");
    button.show();
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const QPointF at(10, 10);
    // What a double click delivers: press, release, double click, release.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, button.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    }
    EXPECT_EQ(clicks.count(), 2);
}

TEST(IconButton, DeactivatingTheWindowEndsTheHover) {
    QWidget window;
    auto* button = new CButtonST(&window);
    button->setText("Options");
    window.show();
    Enter(button);
    ASSERT_TRUE(button->hovered());
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&window, &deactivate);  // as the window system tells a window
    EXPECT_FALSE(button->hovered());
}

// Hovered: one light line top and left, one dark line bottom and right; pressed the other way
// round; the pixel inside the edge is the button's background.
TEST(IconButton, BordersAreOnePixelRaisedOrSunken) {
    CButtonST button;
    button.resize(60, 40);
    const QPalette& pal = button.palette();
    const QRgb light = pal.color(QPalette::Light).rgb(), dark = pal.color(QPalette::Dark).rgb();
    Enter(&button);
    QImage raised = button.grab().toImage();
    EXPECT_EQ(raised.pixel(30, 0), light);
    EXPECT_EQ(raised.pixel(0, 20), light);
    EXPECT_EQ(raised.pixel(30, 39), dark);
    EXPECT_EQ(raised.pixel(59, 20), dark);
    EXPECT_NE(raised.pixel(30, 1), light);
    EXPECT_NE(raised.pixel(30, 38), dark);
    button.setDown(true);
    QImage sunken = button.grab().toImage();
    EXPECT_EQ(sunken.pixel(30, 0), dark);
    EXPECT_EQ(sunken.pixel(30, 39), light);
}

// A right click is the button's own; a long tip wraps at 400 pixels, a short one stays as it is.
TEST(IconButton, RightClicksStayAndTipsWrapAt400Pixels) {
    QWidget window;
    auto* button = new CButtonST(&window);
    button->setGeometry(10, 10, 60, 40);
    window.show();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    release.ignore();
    QApplication::sendEvent(button, &release);
    EXPECT_TRUE(release.isAccepted());

    button->SetTooltipText("Add photos to list");
    EXPECT_EQ(button->toolTip(), "Add photos to list");
    button->SetTooltipText(QString("A tip that goes on ").repeated(12));
    QToolTip::showText(button->mapToGlobal(QPoint(5, 5)), button->toolTip(), button);
    QWidget* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "qtooltip_label" && w->isVisible()) tip = w;
    }
    ASSERT_NE(tip, nullptr);
    EXPECT_LE(tip->width(), 400 + 2 * tip->style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth) + 8);
    EXPECT_GT(tip->height(), 2 * tip->fontMetrics().height());  // wrapped onto several lines
    QToolTip::hideText();
}

TEST(IconButton, DisabledDrawsTheCaptionEmbossed) {
    CButtonST button;
    button.setText("Convert");
    button.resize(120, 60);
    QImage enabled = button.grab().toImage();
    button.setEnabled(false);
    QImage disabled = button.grab().toImage();
    EXPECT_NE(enabled, disabled);
    // The embossed caption has light pixels beside dark ones; the enabled one only the text colour.
    auto lightPixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += qGray(image.pixel(x, y)) > 250;
        return n;
    };
    EXPECT_GE(lightPixels(disabled), lightPixels(enabled));
}

TEST(Hyperlink, OpensItsAddressAndTurnsVisited) {
    RecordingMessageBoxes boxes;
    std::vector<QString> opened;
    CHyperLink link;
    link.setText("Kavrel home page");
    link.SetServices(&boxes, [&](const QString& a) {
        opened.push_back(a);
        return 33;
    });
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 238));
    link.Open();  // no address: its own caption
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "Kavrel home page");
    EXPECT_TRUE(link.visited());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(85, 26, 139));
    link.resize(400, 20);
    link.SetURL("file:///usr/share/kavrel/help/Introduction.htm");
    EXPECT_LT(link.width(), 400);  // fitted to its caption
    EXPECT_GE(link.width(), link.fontMetrics().horizontalAdvance(link.text()));
    EXPECT_EQ(link.toolTip(), "file:///usr/share/kavrel/help/Introduction.htm");
    link.Open();
    EXPECT_EQ(opened.back(), "file:///usr/share/kavrel/help/Introduction.htm");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(Hyperlink, ADoubleClickOpensOnce) {
    RecordingMessageBoxes boxes;
    int opened = 0;
    CHyperLink link;
    link.setText("Kavrel home page");
    link.SetServices(&boxes, [&](const QString&) { return ++opened, 33; });
    link.show();
    const QPointF at(5, 5);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, link.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&link, &event);
    }
    EXPECT_EQ(opened, 1);
}

TEST(Hyperlink, UnderlineModes) {
    CHyperLink link;
    link.setText("Support Email: Click here");
    link.move(300, 300);  // away from where the offscreen cursor stands
    link.show();
    EXPECT_FALSE(link.font().underline());  // -1: only while hovered
    Enter(&link);
    EXPECT_TRUE(link.over());
    EXPECT_TRUE(link.font().underline());
    // Red, dark enough to read on the window's colour.
    const QColor hover = link.palette().color(QPalette::WindowText);
    EXPECT_GT(hover.red(), 4 * std::max(hover.green(), hover.blue()));
    EXPECT_GE(ContrastRatio(hover, QApplication::palette().color(QPalette::Window)), 4.5);
    QTest::qWait(250);  // the mouse is not really there: the timer sees it gone
    EXPECT_FALSE(link.over());
    EXPECT_FALSE(link.font().underline());
    link.SetUnderline(1);
    EXPECT_TRUE(link.font().underline());
    link.SetUnderline(0);
    EXPECT_FALSE(link.font().underline());
}

TEST(Hyperlink, AFailureBeepsAndSaysWhy) {
    RecordingMessageBoxes boxes;
    CHyperLink link;
    link.SetURL("mailto:nobody");
    link.SetServices(&boxes, [](const QString&) { return 31; });
    link.Open();
    EXPECT_FALSE(link.visited());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(CHyperLink::ReasonText(77), "Unknown Error (77) occurred.");
    EXPECT_EQ(CHyperLink::ReasonText(2), "The specified file was not found.");
}

}  // namespace
