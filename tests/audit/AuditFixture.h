#pragma once
// A small hotel kept in step by the real synchronisation sweep, against the
// voice-messaging server stand-in and a PMS table written by the gateway
// stand-in (on SQLite or on MariaDB): the clean state each audit case then
// damages in one way.
//
//   101 Ann Lee (German)   102 Bo Ek (English, UK)   104 Dee Fox (French, Canada)
//   103 checked in and out: an archived guest of today
//   105, 106 vacant
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <ostream>

#include "audit/ReconciliationAudit.h"
#include "service/Sweeps.h"
#include "sim/voxaren/ServerAccess.h"
#include "tests/support/GatewayFixture.h"

namespace audit {
inline void PrintTo(const Drift& d, std::ostream* os) {
    *os << "{" << d.room.toStdString() << ", " << driftName(d.kind).toStdString() << ", \"" << d.detail.toStdString()
        << "\", " << (d.roomHasRow ? "row" : "no row") << "}";
}
inline void PrintTo(const FlagOutcome& o, std::ostream* os) {
    *os << "{" << o.room.toStdString() << ", " << int(o.result) << ", " << o.error.toStdString() << "}";
}
}  // namespace audit

class AuditTest : public GatewayFixture {
protected:
    void SetUp() override {
        // Archive ages count local days: the zone is the test's own.
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
        GatewayFixture::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        checkIn("101", "Ann", "Lee", 10);
        checkIn("102", "Bo", "Ek", 6);
        checkIn("103", "Cy", "Ma", 0);
        checkIn("104", "Dee", "Fox", 7);
        modPMSFunctions::SweepForUpdates(serviceState, memory);
        gateway->checkOut(QStringLiteral("103"));
        clock->advanceMs(60000);
        modPMSFunctions::SweepForUpdates(serviceState, memory);
        events.entries.clear();
    }

    audit::AuditResult runAudit(std::optional<int> archiveDays = 7) {
        return audit::findDrifts(pms, voxaren::kLocalConnection, archiveDays);
    }

    // A change the service missed: the gateway's flag taken down again.
    void unflagAll() { exec(QStringLiteral("UPDATE vmstable SET upd_by_ptce=0")); }

    QString aliasOf(const QString& extension) {
        return value(QStringLiteral("SELECT Alias FROM vw_Subscriber WHERE DTMFAccessID=?"), {extension}).toString();
    }
    QString idOf(const QString& extension) {
        return value(QStringLiteral("SELECT SubscriberObjectID FROM vw_Subscriber WHERE DTMFAccessID=?"), {extension})
            .toString();
    }
    // Rooms whose change flag is up, as "room" or "room>partner" when the row names one.
    QStringList flagged() {
        QStringList result;
        for (const ptce::RoomRow& r : gateway->rows())
            if (r.updByPtce > 0)
                result << r.roomno + (r.otherroomno == QLatin1String("0") ? QString() : QLatin1Char('>') + r.otherroomno);
        return result;
    }
};
