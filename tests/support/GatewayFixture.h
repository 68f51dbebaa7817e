#pragma once
// Rooms 101 to 106 in a PMS table written by the gateway stand-in (on SQLite
// or on MariaDB), beside the voice-messaging server stand-in, with the
// service set up to check guests in from them.
#include <gtest/gtest.h>

#include <optional>

#include "common/PMSConnection.h"
#include "platform/db/connection.h"
#include "sim/ptce/GatewayTable.h"
#include "tests/support/DbBackends.h"
#include "tests/support/GuestFixture.h"

class GatewayFixture : public GuestFixture, public ::testing::WithParamInterface<TestBackend> {
protected:
    void SetUp() override {
        GuestFixture::SetUp();
        if (mysql()) REQUIRE_MARIADB();
        pms = PMSConnectionString(pmsServer());
        serviceState.pmsConnection = pms;
        ServiceSettings& s = serviceState.settings;
        s.SubscriberTemplateAlias = QStringLiteral("DefaultTemplate");
        s.StreamFilesPath = path(QStringLiteral("server/stream files/"));
        if (mysql()) exec(QStringLiteral("DROP TABLE IF EXISTS vmstable"));
        gateway.emplace(pms);
        gateway->init(101, 106);
    }
    void TearDown() override {
        gateway.reset();  // its copy of the connection goes before the connection
        GuestFixture::TearDown();
    }

    bool mysql() const { return GetParam() == TestBackend::MariaDb; }
    // What "Precipia Server Name" holds for this backend.
    QString pmsServer() const { return pmsServerFor(GetParam(), folder()); }
    // Runs a statement on the PMS database.
    void exec(const QString& sql, const QVariantList& values = {}) {
        execOrFail(platform::db::database(pms, true), sql, values);
    }
    void checkIn(const char* room, const char* first, const char* last, int language = 0) {
        gateway->checkIn(
            QLatin1String(room),
            {QString::fromUtf8(first), QString::fromUtf8(last), language, QString(), {}});
    }

    QString pms;  // the PMS connection string
    std::optional<ptce::GatewayTable> gateway;
};
