#pragma once
// The file and folder dialogs of the program. They know a file by its name
// and its directory entry only: Qt's own icon and type look-up opens a file
// whose name does not tell its type (the databases among them) to read its
// first bytes, and on Linux closing that descriptor drops every POSIX lock
// the process holds on the file, the locks of its open SQLite connections
// included. The platform's native dialog is not used for the same reason.
#include <QString>
#include <optional>

class QWidget;

// An existing folder, starting at `start`; nullopt when cancelled.
std::optional<QString> chooseFolderByName(const QString& title, const QString& start, QWidget* parent);
// An existing file offered through `filter`; nullopt when cancelled.
std::optional<QString> chooseFileByName(const QString& title, const QString& start, const QString& filter,
                                        QWidget* parent);
