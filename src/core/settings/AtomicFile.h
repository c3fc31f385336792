// Replaces a file's contents so that a crash, a full disk or a second writer can never
// leave it half written: a reader sees either the whole old file or the whole new one.
//
// The bytes go to a temporary file of a unique name beside the target (created with
// O_EXCL and O_CLOEXEC, private to the owner while it is written), which then takes the
// old file's permission bits (or, for a new file, 0666 less the process's umask, as a
// plain open would give), is flushed to the disk, and is renamed over the target; the
// folder is flushed last so that the rename itself survives a crash. A symbolic link
// as the target is kept: the file it points to is replaced.
//
// On a failure before the rename the temporary is removed and the old file is left as it
// was. The file's owner is not carried over (only root could).
//
// Thread-safe: every call has its own temporary, so writers on different threads or in
// different processes never clash; the last rename wins.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vantelsor {

class AtomicFile {
  public:
    // Writes `bytes` as the whole new contents of `path`. Returns 0 on success, otherwise
    // the errno of the step that failed (EISDIR when `path` is not a regular file, EINVAL
    // for an empty path). A failure to flush the folder after the rename is reported too:
    // the new contents are then in place but may not survive a crash.
    static int Write(const std::string& path, std::string_view bytes);
    // The same with the contents given in pieces (a header and a body), written in order.
    static int Write(const std::string& path, std::initializer_list<std::string_view> pieces);
};

}  // namespace vantelsor
