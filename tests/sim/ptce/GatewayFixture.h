#pragma once
// Each gateway case runs twice: on an SQLite file of its own and on the test
// MariaDB server, whose vmstable is dropped first.
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>
#include <map>
#include <memory>
#include <ostream>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "sim/ptce/GatewayTable.h"
#include "sim/ptce/TableReport.h"
#include "tests/support/MariaDb.h"
#include "tests/support/TestEnvironment.h"

namespace ptce {
inline void PrintTo(const RoomRow& row, std::ostream* os) {
    *os << formatCsv({row}).section(QStringLiteral("\r\n"), 1, 1).toStdString();
}
}  // namespace ptce

enum class Backend { Sqlite, MariaDb };

inline void PrintTo(Backend backend, std::ostream* os) {
    *os << (backend == Backend::Sqlite ? "SQLite" : "MariaDB");
}

inline std::string backendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "SQLite" : "MariaDB";
}

class GatewayTest : public StavioTest, public ::testing::WithParamInterface<Backend> {
protected:
    void SetUp() override {
        StavioTest::SetUp();
        if (GetParam() == Backend::MariaDb) REQUIRE_MARIADB();
        freshTable();
    }
    void TearDown() override {
        closeTable();
        StavioTest::TearDown();
    }

    // An empty database: a new SQLite file, or MariaDB without vmstable.
    void freshTable() {
        closeTable();
        if (GetParam() == Backend::Sqlite) {
            server = path(QStringLiteral("ptce%1.db").arg(++m_files));
        } else {
            server = testMariaDbServer();
            QSqlQuery drop(platform::db::database(connection()));
            ASSERT_TRUE(drop.exec(QStringLiteral("DROP TABLE IF EXISTS vmstable")))
                << drop.lastError().text().toStdString();
        }
        table = std::make_unique<ptce::GatewayTable>(connection());
    }

    QString connection() const { return PMSConnectionString(server); }

    // What the service does after handling a change: clears the flag, and
    // here also lights the lamp, so tests see which columns the gateway leaves.
    void serviceHandled(const QString& room) {
        QSqlQuery q(platform::db::database(connection()));
        ASSERT_TRUE(
            q.prepare(QStringLiteral("UPDATE vmstable SET upd_by_ptce = 0, upd_by_vms = upd_by_vms "
                                     "+ 1, UnreadMsgCount = 1 WHERE roomno = ?")));
        q.addBindValue(room);
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    std::map<QString, ptce::RoomRow> snapshot() const {
        std::map<QString, ptce::RoomRow> rows;
        for (const ptce::RoomRow& row : table->rows()) rows[row.roomno] = row;
        return rows;
    }

    ptce::RoomRow row(const QString& room) const {
        const auto rows = table->rows(room);
        EXPECT_EQ(rows.size(), 1u) << "rows of room " << room.toStdString();
        return rows.empty() ? ptce::RoomRow{} : rows.front();
    }

    // A row as init leaves it.
    static ptce::RoomRow vacant(const QString& room) {
        ptce::RoomRow row;
        row.roomno = room;
        row.extensions = {room, QStringLiteral(""), QStringLiteral(""), QStringLiteral(""),
                          QStringLiteral("")};
        return row;
    }

    QString server;
    std::unique_ptr<ptce::GatewayTable> table;

private:
    void closeTable() {
        table.reset();
        if (!server.isEmpty()) platform::db::dropConnection(connection());
    }
    int m_files = 0;
};

#define PTCE_ON_BOTH_BACKENDS(Suite)          \
    INSTANTIATE_TEST_SUITE_P(Backends, Suite, \
                             ::testing::Values(Backend::Sqlite, Backend::MariaDb), backendName)
