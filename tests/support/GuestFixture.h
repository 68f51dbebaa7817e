#pragma once
// The guest actions against a clean voice-messaging server: a fake clock, a
// diagnostic log in the test's folder, the server's version chosen per test,
// the notifier's calls recorded, and short ways to give a guest alternate
// extensions, voice messages and ticket outcomes.
#include <QSqlDatabase>

#include "common/DiagnosticLogFile.h"
#include "common/ServiceState.h"
#include "common/VoiceServerObjects.h"
#include "common/VoxarenVersion.h"
#include "platform/db/connection.h"
#include "platform/env.h"
#include "service/ServiceMemory.h"
#include "sim/voxaren/DirectorySync.h"
#include "sim/voxaren/MessageStore.h"
#include "tests/support/ServerFixture.h"

// The server's notifier, with each call written down as "Set id 1",
// "Resync id" or "Refresh id 1". A call changes lamps on the server: like a
// database write, it is refused while the environment allows no write.
class RecordingNotifier : public INotifier {
public:
    explicit RecordingNotifier(std::shared_ptr<INotifier> real) : m_real(std::move(real)) {}
    void SetSubscriberMWI(const QString& id, bool on) override {
        record(QStringLiteral("Set %1 %2").arg(id).arg(on ? 1 : 0));
        m_real->SetSubscriberMWI(id, on);
    }
    void ResyncSubscriberMWI(const QString& id) override {
        record(QStringLiteral("Resync %1").arg(id));
        m_real->ResyncSubscriberMWI(id);
    }
    void RefreshSubscriberMWI(const QString& id, bool refresh) override {
        record(QStringLiteral("Refresh %1 %2").arg(id).arg(refresh ? 1 : 0));
        m_real->RefreshSubscriberMWI(id, refresh);
    }
    QStringList calls;

private:
    void record(const QString& call) {
        if (!platform::env().writeAllowed())
            throw platform::Error(platform::db::errors::WriteRefused, QStringLiteral("The write was refused."));
        calls << call;
    }

private:
    std::shared_ptr<INotifier> m_real;
};

class GuestFixture : public VoxarenTest {
protected:
    GuestFixture() { fakeClockStart = QDateTime(QDate(2026, 3, 2), QTime(14, 5, 9)); }
    void SetUp() override {
        VoxarenTest::SetUp();
        setVersion(0x30059);  // 4.0.3.89
        notifier = std::make_shared<RecordingNotifier>(environment().serverObjects->GetNotifier());
        serviceState.notifier = notifier;
        serviceState.settings.DebugMode = true;
        serviceState.settings.MailboxArchiveDays = 7;
        serviceState.log.StartLogFile(path(QStringLiteral("log.txt")));
    }
    // 4.0 with this build number (0x30050 is 4.0.3.80, 0x30059 4.0.3.89).
    void setVersion(quint32 build, quint32 version = 0x40000) {
        writeServerVersion(version, build);
        ReadVoxarenVersion();
    }
    void addAlternate(const QString& guest, const QString& extension) {
        platform::db::Command add = command(QStringLiteral("sp_AddAltDTMFID"));
        add.SetParameter(QStringLiteral("@strGUID"), guest);
        add.SetParameter(QStringLiteral("@nParentObjType"), 1);
        add.SetParameter(QStringLiteral("@strAltID"), extension);
        add.Execute();
    }
    void leaveVoiceMessage(const QString& guest) {
        QSqlDatabase server = db();
        voxaren::NewMessage message;
        message.recipientObjectId = guest;
        message.senderName = QStringLiteral("Front Desk");
        message.subject = QStringLiteral("Your table is ready");
        voxaren::deliverMessage(server, message);
    }
    void planNext(const voxaren::TicketPlan& plan) {
        QSqlDatabase server = db();
        voxaren::planTickets(server, {plan});
    }
    // The guest's lamp devices as "Alias|MWIExtension|UID|ParentAlias|SwitchID|MWIOn", by alias.
    QStringList lamps(const QString& guest) {
        return rows(QStringLiteral("SELECT Alias, MWIExtension, UID, ParentAlias, SwitchID, MWIOn FROM NotificationMWI "
                                   "WHERE ParentObjectID=? ORDER BY Alias"),
                    {guest});
    }
    QStringList extensions(const QString& guest) {
        return rows(QStringLiteral("SELECT DTMFAccessID, IsPrimaryID FROM vw_DTMFAccessID WHERE ParentObjectID=? "
                                   "ORDER BY DTMFAccessID"),
                    {guest});
    }
    int tickets() { return value(QStringLiteral("SELECT COUNT(*) FROM vw_DirectorySyncTicket")).toInt(); }
    // Diagnostic lines after the header, without their time stamps.
    QStringList logLines() {
        QStringList lines = readFile(path(QStringLiteral("log.txt"))).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        lines = lines.mid(6);
        for (QString& l : lines) l = l.section(QLatin1Char(','), 1);
        return lines;
    }
    // Seconds since 1 January 2000 of a local date and time, as aliases count them.
    static qint64 aliasSeconds(const QDateTime& when) {
        return QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC).secsTo(QDateTime(when.date(), when.time(), Qt::UTC));
    }

    std::shared_ptr<RecordingNotifier> notifier;
    ServiceMemory memory;  // what the control would hold between the sweeps
};
