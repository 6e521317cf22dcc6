#pragma once
// A show's output settings in the program: its compressors between the names a show keeps and the
// Compressor numbers the settings store, and a show's output stored as the output settings dialog
// stores its own.
//
// User-interface thread (the held compressors are the main window's).

#include <optional>
#include <string>

#include "app/show_file.h"
#include "engine/render_to_file.h"

class ProfileStore;

// The name a show keeps for a compressor: kNoCompressorName when none is used, else the friendly
// name of the one the stored Compressor number stands for (-2: the default one).
std::string CompressorNameInUse(const CompressorServices& s, bool video, int storedNumber,
                                bool use);
// The Compressor number of a show's compressor name: -1 for none, -2 for no name (the default);
// nothing when no compressor installed here has that name.
std::optional<int> CompressorNumberOfName(const CompressorServices& s, bool video,
                                          const std::string& name);

// Stores `out` and the two Compressor numbers in the settings and binds the held compressors anew,
// as confirming the output settings dialog does; out's use flags follow what was bound.
void StoreOutputSettings(ProfileStore& store, const CompressorServices& s, int videoNumber,
                         int audioNumber, OutputSettings* out, HeldCompressors* held);
