#include <gtest/gtest.h>

#include "controls/data_exchange.h"

TEST(DataExchange, NumbersAreReadFromTheStartOfTheText) {
    EXPECT_EQ(ReadLeadingNumber("5s"), 5.0);
    EXPECT_EQ(ReadLeadingNumber("  2.5"), 2.5);
    EXPECT_EQ(ReadLeadingNumber("-0.5x"), -0.5);
    EXPECT_FALSE(ReadLeadingNumber(""));
    EXPECT_FALSE(ReadLeadingNumber("x5"));
    EXPECT_FALSE(ReadLeadingNumber("nan"));
    EXPECT_FALSE(ReadLeadingNumber("inf"));

    EXPECT_EQ(ReadLeadingInteger(" -20px"), -20);
    EXPECT_EQ(ReadLeadingInteger("+645"), 645);
    EXPECT_EQ(ReadLeadingInteger("abc"), 0);
    EXPECT_EQ(ReadLeadingInteger("99999999999"), 2147483647);
}

TEST(DataExchange, DoublesShowWithUpToFifteenDigits) {
    EXPECT_EQ(FormatExchangedDouble(5), "5");
    EXPECT_EQ(FormatExchangedDouble(2.5), "2.5");
    EXPECT_EQ(FormatExchangedDouble(0.1), "0.1");
    EXPECT_EQ(FormatExchangedDouble(1.0 / 3), "0.333333333333333");
}

TEST(DataExchange, RangeChecksNameTheirBounds) {
    // Integer ranges judge the integer part.
    EXPECT_FALSE(CheckIntegerRange(0.5, 0, 65535));
    EXPECT_FALSE(CheckIntegerRange(-0.5, 0, 65535));
    EXPECT_FALSE(CheckIntegerRange(65535.9, 0, 65535));
    EXPECT_EQ(CheckIntegerRange(65536, 0, 65535), "Enter an integer between 0 and 65535.");
    EXPECT_EQ(CheckIntegerRange(1e300, 0, 65535), "Enter an integer between 0 and 65535.");
    // Number ranges judge in single precision.
    EXPECT_FALSE(CheckNumberRange(0.001, 0.001, 65535));
    EXPECT_EQ(CheckNumberRange(0.0005, 0.001, 65535), "Enter a number between 0.001 and 65535.");
    EXPECT_TRUE(CheckNumberRange(0, 0.001, 65535));
    EXPECT_FALSE(CheckNumberRange(600, 0, 600));
    EXPECT_EQ(CheckNumberRange(600.5, 0, 600), "Enter a number between 0 and 600.");
    EXPECT_TRUE(CheckNumberRange(1e300, 0, 600));
    EXPECT_EQ(NotANumberMessage(), "Enter a number.");
}
