#pragma once

#include <filesystem>
#include <memory>

#include "io/byte_stream.hpp"

namespace gironario {

// Opens the file at `path` for writing its bytes as they are given, without emptying it. A regular
// file, or a name not taken yet, is written under a temporary name in its own folder and takes
// the file's place, with the file's permissions, only at commit(); through symbolic links, the file
// they lead to is the one replaced. Anything else (a device, a pipe) is written directly. Null,
// with the system's error number in `error`, when the file cannot be written at all: a directory, a
// read-only file, a folder without write permission.
std::unique_ptr<Output> create_file(const std::filesystem::path& path, int& error);

}  // namespace gironario
