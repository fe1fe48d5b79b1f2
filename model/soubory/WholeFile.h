#pragma once
// Whole-file access for the settings files: read all of a file, and replace all of it so that a
// crash, a full disk or the file size limit never leaves a half-written file behind.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// What reading a file gave. Missing means that no file of that name exists (nothing to lose);
// Unreadable means that something is there that could not be read, and must not be replaced by a
// file made without it.
enum class TReadState : std::uint8_t { Read, Missing, Unreadable };

struct TFileContents {
    TReadState State = TReadState::Missing;
    std::string Bytes;
    // Unreadable: why, in Czech, for the user ("chybí oprávnění ke čtení").
    std::string Reason;
};

// Reads a regular file of at most limit bytes. Unreadable: no permission, a folder, FIFO or
// device in its place, a read error, or more bytes than limit (told before anything is read).
// Never blocks on a FIFO.
TFileContents ReadFileUpTo(const std::string& path,
                           std::size_t limit = std::numeric_limits<std::size_t>::max());

// The contents of a regular file; nothing when it is missing or unreadable.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes contents to a new file in the same folder, flushes it to the disk and renames it over
// path, keeping the old file's permissions and, where the process may set them, its owner and
// group (a new file gets 0666 less the umask). A symbolic link is followed, so the file it points
// to is replaced. A write stopped by the file size limit fails with EFBIG instead of ending the
// process (SIGXFSZ is held back meanwhile), like one stopped by a full disk. On failure path is
// left as it was, no temporary file remains, and *why (when given) tells the operating system's
// reason.
bool ReplaceWholeFile(const std::string& path, std::string_view contents,
                      std::string* why = nullptr);
