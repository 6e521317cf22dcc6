// The status line after a failed conversion says what became of the output file.

#include "app/status_line.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

TEST(StatusLine, AFailedConversionSaysTheOldFileIsUnchangedOrThatNoneWasWritten) {
    TempDir dir;
    const std::string old = dir.Write("show.avi", "an older video");
    EXPECT_EQ(FailedStatus(old), "The conversion failed; " + old + " is unchanged.");
    const std::string fresh = dir.File("new.avi");
    EXPECT_EQ(FailedStatus(fresh), "The conversion failed; " + fresh + " was not written.");
}
