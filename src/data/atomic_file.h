#pragma once
#include <string>
#include <string_view>

namespace ws {

// Writes `bytes` to `path` through a temporary file in the same folder and a rename, so the
// old file stays whole until the new one is complete. The new file is on the disk before the
// rename and the rename before the return; it keeps the permissions of the file it replaces, and
// a symbolic link stays a link (the file it points to is replaced). False on any failure;
// `error` then holds the system's reason and the old file is untouched.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// Called with the temporary file's path once it is written and closed, right before the rename
// replaces the target. Null in the program; fault-injection tests use it to kill the process or
// pull the folder away at exactly that moment.
extern void (*BeforeAtomicCommit)(const std::string& tempPath);
// Called with each file or folder flushed to disk; null in the program, watched by tests.
extern void (*AfterFlushToDisk)(const std::string& path);

// Reads a whole file of at most `limit` bytes. False when it cannot be read or is larger.
bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit,
                   std::string* error = nullptr);

}  // namespace ws
