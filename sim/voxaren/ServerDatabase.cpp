#include "sim/voxaren/ServerDatabase.h"

#include <QFileInfo>
#include <QSqlError>
#include <atomic>

#include "platform/db/connection.h"
#include "platform/filemode.h"
#include "sim/voxaren/SqlFunctions.h"

namespace voxaren {

ServerDatabase::ServerDatabase(const QString& path, bool create) : m_path(path) {
    if (!create && !QFileInfo(path).isFile())
        throw platform::Error(platform::db::errors::ConnectionFailed,
                              QStringLiteral("[Voxaren] No server database at ") + path);
    static std::atomic<int> counter{0};
    m_name = QStringLiteral("voxaren-server-%1").arg(++counter);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    const bool newFile = !QFileInfo::exists(path);
    if (!m_db.open()) {
        const platform::Error error = platform::db::databaseError(m_db.lastError(), path);
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw error;
    }
    if (newFile) platform::giveNewFileMode(path);
    try {
        registerServerFunctions(m_db);
    } catch (...) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw;
    }
}

ServerDatabase::~ServerDatabase() {
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

}  // namespace voxaren
