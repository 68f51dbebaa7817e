#pragma once
// SQLite makes a new database file 0644, whatever the process's umask allows
// (its journal and index files then copy that mode). A file this process made
// is given the mode any of its new files gets: 0666 less the umask, so that a
// group that may share the data (umask 0007) may also write it.
#include <QString>

namespace platform {

void giveNewFileMode(const QString& path);

}  // namespace platform
