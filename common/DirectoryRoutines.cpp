#include "common/DirectoryRoutines.h"

#include <limits>

#include "common/ErrorTrap.h"
#include "common/GuestAlias.h"
#include "common/GuestDirectory.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "platform/db/command.h"
#include "platform/guid.h"

using namespace platform::db;

namespace modPMSFunctions {

namespace {

constexpr int kSyncLooks = 20;
constexpr int kSyncLookIntervalMs = 2000;

// The shared body of both forms of the hotel-guest test.
bool hotelGuest(const QString& connection, const QString& extension, bool withAlias, QString& reason,
                QString& displayName, QString& objectId, QString* alias) {
    ErrorTrap trap("IsHotelGuest", "Form", "frmMain");
    bool result = false;
    trap.step([&] {
        Recordset rs;
        rs.Open(
            QStringLiteral("SELECT vw_Subscriber.SubscriberObjectID, vw_Subscriber.DisplayName, "
                           "vw_Subscriber.ConversationName") +
                (withAlias ? QStringLiteral(", vw_Subscriber.Alias ") : QStringLiteral(" ")) +
                QStringLiteral("FROM vw_Subscriber INNER JOIN vw_DTMFAccessID ON "
                               "vw_DTMFAccessID.ParentObjectID=vw_Subscriber.SubscriberObjectID "
                               "WHERE vw_DTMFAccessID.DTMFAccessID=?"),
            {extension}, connection, adOpenKeyset, adLockReadOnly);
        if (rs.RecordCount() == 0) {
            reason = QStringLiteral("Extension cannot be found among subscribers in the database.");
        } else if (rs.RecordCount() > 1) {
            reason = QStringLiteral("More than one match found for extension among subscribers in the database.");
        } else if (rs.IsNull(QStringLiteral("ConversationName")) ||
                   !GuestDirectory::isHotelConversation(rs.Text(QStringLiteral("ConversationName")))) {
            reason = QStringLiteral("Extension corresponds to a subscriber that is not a hotel guest");
        } else {
            reason = rs.Text(QStringLiteral("SubscriberObjectID"));
            displayName = rs.Text(QStringLiteral("DisplayName"));
            objectId = rs.Text(QStringLiteral("SubscriberObjectID"));
            if (alias) *alias = rs.Text(QStringLiteral("Alias"));
            result = true;
        }
        rs.Close();
    });
    return result;
}

}  // namespace

QString strGenerateAlias(const QString& roomNumber) {
    ErrorTrap trap("strGenerateAlias", "Module", "modPMSFunctions");
    QString alias;
    trap.step([&] {
        const QDateTime now = platform::clock().now();
        const qint64 seconds = GuestAlias::secondsSince2000(now);
        if (seconds > std::numeric_limits<qint32>::max() || seconds < std::numeric_limits<qint32>::min())
            throw platform::Error(errnum::Overflow, QStringLiteral("Overflow"));
        alias = GuestAlias::forRoom(roomNumber, now).text();
    });
    return alias;
}

QString strGenerateGUID() { return platform::newGuidText(); }

bool bWaitForDirectorySync(const QString& ticket, const QString& connection) {
    QString foundTicket;
    QVariant result;
    // Failures of the server are passed over: the wait then simply has no answer.
    for (int look = 1; look <= kSyncLooks && !result.isValid(); ++look) {
        platform::clock().sleepMs(kSyncLookIntervalMs);
        try {
            Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM vw_DirectorySyncTicket WHERE Ticket=?"), {ticket},
                    connection, adOpenKeyset, adLockReadOnly);
            if (rs.RecordCount() >= 1 && !rs.IsNull(QStringLiteral("result"))) {
                result = rs.Value(QStringLiteral("result"));
                foundTicket = rs.Text(QStringLiteral("Ticket"));
            }
        } catch (const std::exception&) {
        }
    }
    if (!result.isValid()) {
        ReportError(QStringLiteral("Syncronization process failed to complete in a timely fashion.  Check the Syncovar "
                             "logs in the \\Corevane\\Logs directory"));
        return false;
    }
    const bool success = result.toInt() == 0;
    try {
        Command cmd(connection, QStringLiteral("sp_DeleteDirectorySyncTicket"));
        cmd.SetParameter(QStringLiteral("@Ticket"), foundTicket);
        cmd.Execute();
    } catch (const std::exception&) {
    }
    return success;
}

void forceContactRuleUpdate(const QString& connection, const QString& callHandlerObjectId,
                            const QString& extension) {
    try {
        Recordset rs;
        rs.Open(QStringLiteral(
                    "Select * from ContactRule WHERE ParentObjectID=? AND Alias='Alternate'"),
                {callHandlerObjectId}, connection, adOpenKeyset, adLockOptimistic);
        if (rs.RecordCount() != 1) {
            ReportError(QStringLiteral("(error) in forceContactRuleUpdate - alternate contact rule for new subscriber not "
                                 "found.  CallHandlerObjectId=") +
                  callHandlerObjectId);
            return;
        }
        rs.SetValue(QStringLiteral("Extension"), extension);
        rs.Update();
    } catch (const std::exception&) {
        // Passed over without a log line; the rule stays as it was.
    }
}

bool IsHotelGuest(const QString& connection, const QString& extension, QString& reason,
                  QString& displayName, QString& objectId, QString& alias) {
    return hotelGuest(connection, extension, true, reason, displayName, objectId, &alias);
}

bool IsHotelGuest(const QString& connection, const QString& extension, QString& reason, QString& displayName,
                  QString& objectId) {
    return hotelGuest(connection, extension, false, reason, displayName, objectId, nullptr);
}

std::optional<SubscriberNumbers> subscriberNumbers(const QString& connection,
                                                   const QString& objectId) {
    Recordset rs;
    rs.Open(
        QStringLiteral("SELECT Alias, DTMFAccessID FROM vw_Subscriber WHERE SubscriberObjectID=?"),
        {objectId}, connection, adOpenKeyset, adLockReadOnly);
    if (rs.IsEOF()) return std::nullopt;
    return SubscriberNumbers{rs.Text(QStringLiteral("Alias")), rs.Text(QStringLiteral("DTMFAccessID"))};
}

QString strGetObjectTypeName(short objectType) {
    switch (objectType) {
        case 1: return QStringLiteral("Subscriber");
        case 2: return QStringLiteral("Distribution List");
        case 3: return QStringLiteral("Call Handler");
        case 5: return QStringLiteral("Inteview Handler");
        case 6: return QStringLiteral("Directory Handler");
        case 9: return QStringLiteral("Location Object");
        default: return QStringLiteral("Unknown");
    }
}

qint32 lngGetLanguageLCID(qint32 pmsLanguage) {
    switch (pmsLanguage) {
        case 1: return 1041;   // Japanese
        case 2: return 1034;   // Spanish (Spain, traditional sort)
        case 4: return 1028;   // Chinese (Taiwan)
        case 6: return 2057;   // English (United Kingdom)
        case 7: return 3084;   // French (Canada)
        case 8: return 1045;   // Polish
        case 10: return 1031;  // German (Germany)
        case 11: return 1036;  // French (France)
        default: return 1033;  // English (United States)
    }
}

}  // namespace modPMSFunctions
