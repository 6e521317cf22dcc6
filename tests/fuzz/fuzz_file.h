#pragma once
// The fuzzers' bytes as a file, for readers that take a path: one file per process, rewritten for
// each input.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

inline const std::string& WriteFuzzFile(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/kavrel-fuzz-" + std::to_string(getpid());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f != nullptr) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}
