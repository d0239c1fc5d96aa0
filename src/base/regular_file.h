// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace nova {

// Opens `path` read-only when it names a regular file (through symbolic links). A FIFO would
// block the reader forever and a device or folder has no content to read, so those fail with
// errno EINVAL, as a missing file fails with ENOENT. Returns the descriptor or -1.
int OpenRegularFile(const std::filesystem::path& path);

// The whole content of a regular file of at most `max_bytes`; nullopt when it cannot be opened,
// is not a regular file, is larger or cannot be read. `error` (when given) says which.
std::optional<std::string> ReadRegularFile(const std::filesystem::path& path, size_t max_bytes,
                                           std::string* error = nullptr);

} // namespace nova
