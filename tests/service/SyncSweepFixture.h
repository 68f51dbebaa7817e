#pragma once
// The synchronisation sweep against the voice-messaging server stand-in and a
// PMS table written by the gateway stand-in, on SQLite or on MariaDB.
#include <gtest/gtest.h>

#include <QSqlError>
#include <QSqlQuery>
#include <optional>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "sim/ptce/GatewayTable.h"
#include "tests/support/DbBackends.h"
#include "tests/support/GuestFixture.h"

class SyncSweepFixture : public GuestFixture, public ::testing::WithParamInterface<TestBackend> {
protected:
    void SetUp() override {
        GuestFixture::SetUp();
        if (mysql()) REQUIRE_MARIADB();
        serviceState().pmsConnection = PMSConnectionString(mysql() ? testMariaDbServer() : path(QStringLiteral("ptceDB.sqlite")));
        ServiceSettings& s = serviceState().settings;
        s.SubscriberTemplateAlias = QStringLiteral("DefaultTemplate");
        s.StreamFilesPath = path(QStringLiteral("server/stream files/"));
        if (mysql()) exec(QStringLiteral("DROP TABLE IF EXISTS vmstable"));
        gateway.emplace(serviceState().pmsConnection);
        gateway->init(101, 106);
    }
    void TearDown() override {
        gateway.reset();
        GuestFixture::TearDown();
    }
    bool mysql() const { return GetParam() == TestBackend::MariaDb; }
    void exec(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q(platform::db::database(serviceState().pmsConnection, true));
        ASSERT_TRUE(q.prepare(sql)) << q.lastError().text().toStdString();
        for (const QVariant& v : values) q.addBindValue(v);
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }
    void checkIn(const char* room, const char* first, const char* last, int language = 0) {
        gateway->checkIn(QLatin1String(room), {QString::fromUtf8(first), QString::fromUtf8(last), language, QString(), {}});
    }
    // Every hotel guest as "extension|alias|display name|language".
    QStringList guests() {
        return rows(QStringLiteral("SELECT DTMFAccessID, Alias, DisplayName, Language FROM vw_Subscriber "
                                   "WHERE ConversationName='ConvHotel' ORDER BY DTMFAccessID"));
    }
    // Rooms whose change flag is set.
    QStringList flagged() {
        QStringList result;
        for (const ptce::RoomRow& r : gateway->rows())
            if (r.updByPtce > 0) result << r.roomno;
        return result;
    }
    QString alias(const char* room) { return QStringLiteral("ROOM%1_%2").arg(aliasSeconds(clock->now())).arg(QLatin1String(room)); }
    // Log lines of the given ids, in order.
    QStringList lines(const QStringList& ids) {
        QStringList result;
        for (const QString& l : logLines())
            if (ids.contains(l.section(QLatin1Char(','), 0, 0))) result << l;
        return result;
    }

    std::optional<ptce::GatewayTable> gateway;
};

