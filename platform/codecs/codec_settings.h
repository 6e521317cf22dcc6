#pragma once
// The settings each codec keeps for itself, as a codec keeps its own configuration: what its
// settings page last confirmed, by encoder name. A compressor bound to a graph, and the codec
// opened for its settings page, start from them. The program keeps them in its settings file;
// where none is set (kavrel-render, most tests) codecs keep nothing and start from their defaults.
//
// User-interface thread only.

#include <map>
#include <string>

class ProfileStore;

using CodecOptions = std::map<std::string, std::string>;

// Where codec settings are kept from now on; null keeps none. The store must outlive its use.
void SetCodecSettingsStore(ProfileStore* store);
// The settings kept for `encoder` (its whole state as last confirmed), or `start` when none are.
CodecOptions KeptCodecSettings(const std::string& encoder, CodecOptions start);
void KeepCodecSettings(const std::string& encoder, const CodecOptions& options);
