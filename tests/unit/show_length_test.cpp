#include "app/show_length.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ShowLength, MinutesAndSecondsThenHours) {
    EXPECT_EQ(FormatShowLength(205), "3:25");
    EXPECT_EQ(FormatShowLength(0), "0:00");
    EXPECT_EQ(FormatShowLength(7.4), "0:07");
    EXPECT_EQ(FormatShowLength(59.6), "1:00");  // to the nearest second
    EXPECT_EQ(FormatShowLength(3599.4), "59:59");
    EXPECT_EQ(FormatShowLength(3600), "1:00:00");
    EXPECT_EQ(FormatShowLength(1000 * 65535.0), "18204:10:00");  // the longest list there can be
}

TEST(ShowLength, NothingOddIsShownForOddLengths) {
    EXPECT_EQ(FormatShowLength(-3), "0:00");
    EXPECT_EQ(FormatShowLength(std::numeric_limits<double>::quiet_NaN()), "0:00");
    EXPECT_EQ(FormatShowLength(std::numeric_limits<double>::infinity()), "0:00");
}

TEST(ShowLength, TheLabelComesFromTheCaller) {
    EXPECT_EQ(ShowLengthText("Show length:", 205), "Show length: 3:25");
    EXPECT_EQ(ShowLengthText("Diashow-Länge:", 65), "Diashow-Länge: 1:05");
}
