#pragma once
// A connection of its own to a registry store's file, as another program
// would hold it: for arranging damage, locks and odd states underneath the store.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>
#include <QString>

class RawConnection {
public:
    explicit RawConnection(const QString& path) { sqlite3_open(QFile::encodeName(path).constData(), &m_db); }
    ~RawConnection() { sqlite3_close(m_db); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    void exec(const char* sql) { ASSERT_EQ(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql; }
    // The first column of the first row, or "".
    QString text(const char* sql) {
        sqlite3_stmt* st = nullptr;
        QString result;
        if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        return result;
    }

private:
    sqlite3* m_db = nullptr;
};
