// Whole-file reads and crash-safe writes of the .ran files.
//
// A write never leaves a torn file: the new content goes to a temporary file in the same
// folder, is flushed to the disk and then renamed over the old file, so a reader (or the next
// start after a crash or a full disk) finds either the old content or the new, never a mix.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ranfile {

enum class FileAccess {
    Shared,     // keeps the old file's permissions; a new file is rw-r--r--
    OwnerOnly,  // rw------- always: the file holds passwords
};

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> readFile(const std::string &path);
// At most maxBytes from the start of a file (less when the file is shorter), or nothing when
// it cannot be opened or read.
std::optional<std::string> readFilePrefix(const std::string &path, size_t maxBytes);

bool fileExists(const std::string &path);

// Replaces the file at path with bytes. The temporary file is scratchPath when given (it must
// lie in the same folder), else a fresh name beside path. On failure the old file is
// untouched and the temporary file is gone.
bool writeFileAtomically(const std::string &path, std::string_view bytes, FileAccess access,
                         const std::string &scratchPath = {});

// Test seam: the step at which the next writes fail, as a full disk or a crash would make them.
enum class WriteStep { Create, Write, Sync, Rename };
void setWriteFailureForTesting(std::optional<WriteStep> step);

}  // namespace ranfile
