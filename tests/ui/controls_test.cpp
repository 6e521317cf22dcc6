// The main window's icon button and the About box's hyperlink label.

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

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

TEST(Hyperlink, UnderlineModes) {
    CHyperLink link;
    link.setText("Support Email: Click here");
    link.move(300, 300);  // away from where the offscreen cursor stands
    link.show();
    EXPECT_FALSE(link.font().underline());  // -1: only while hovered
    Enter(&link);
    EXPECT_TRUE(link.over());
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(255, 0, 0));
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
