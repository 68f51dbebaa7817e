#pragma once
// The synchronisation sweep against the voice-messaging server stand-in and a
// PMS table written by the gateway stand-in, on SQLite or on MariaDB.
#include "tests/support/GatewayFixture.h"

class SyncSweepFixture : public GatewayFixture {
protected:
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
};
