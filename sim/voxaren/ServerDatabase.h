#pragma once
// A connection of this program's own to a server database file, with the
// server's SQL functions, for the stand-in's tools (init, the CLI, tests).
// The system's programs reach the same file through the connection string.
#include <QSqlDatabase>
#include <QString>

namespace voxaren {

class ServerDatabase {
public:
    // Raises platform::Error when the file cannot be opened (or is missing and
    // `create` is not set).
    explicit ServerDatabase(const QString& path, bool create = false);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    QSqlDatabase& db() { return m_db; }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    QString m_name;
    QSqlDatabase m_db;
};

}  // namespace voxaren
