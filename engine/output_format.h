#pragma once

// The container a conversion writes, as stored in the settings ("nOuptputFormat").
enum OutputFormat : int {
    kFormatAvi = 0,
    kFormatWmv = 1,
    kFormatMkv = 2,
    kFormatAsf = 3,
    kFormatMp4 = 4,
    kFormatDsm = 5,
    kFormatOgm = 6,
};
