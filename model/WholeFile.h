#pragma once
// Whole-file access for the settings files: read all of a file, and replace all of it so that a
// crash or a full disk never leaves a half-written file behind.

#include <optional>
#include <string>
#include <string_view>

// The contents of a regular file; nothing when it is missing, not a regular file or unreadable.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes contents to a new file in the same folder, flushes it to the disk and renames it over
// path, keeping the old file's permissions (a new file gets 0666 less the umask). A symbolic link
// is followed, so the file it points to is replaced. On failure path is left as it was, no
// temporary file remains, and *why (when given) tells the operating system's reason.
bool ReplaceWholeFile(const std::string& path, std::string_view contents,
                      std::string* why = nullptr);
