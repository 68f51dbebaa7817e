#include "sim/voxaren/Schema.h"

#include <QSqlQuery>
#include <QStringList>

#include "sim/voxaren/Seed.h"
#include "sim/voxaren/Sql.h"

namespace voxaren {

namespace {

// A new GUID in registry text form, for rows whose id the inserter leaves out
// (the callers' "INSERT cos (alias) ..." and new lamp devices).
const QString kNewGuid = QStringLiteral(
    "('{' || hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-' || hex(randomblob(2)) || '-' || "
    "hex(randomblob(2)) || '-' || hex(randomblob(6)) || '}')");

// Objects homed on the other servers of the dialing domain, as the directory
// replicates them here (schema 2). Nothing on this server vets their
// extensions, so one may repeat a number that a local object holds.
const char* const kDialingDomainObjectTable =
    "CREATE TABLE DialingDomainObject (ObjectID ID, ObjectType INTEGER NOT NULL, DisplayName T, "
    "DTMFAccessID T NOT NULL)";

// Every extension of the dialing domain with its holder's type and name: this
// server's own and the replicated ones.
const char* const kDialingDomainView =
    "CREATE VIEW vw_DTMFAccessID_DialingDomain AS SELECT d.DTMFAccessID, d.ParentObjectID, "
    "d.ParentObjectType AS ObjectType, d.IsPrimaryID, CASE d.ParentObjectType "
    "WHEN 1 THEN (SELECT DisplayName FROM Subscriber WHERE SubscriberObjectID = d.ParentObjectID) "
    "WHEN 2 THEN (SELECT DisplayName FROM DistributionList WHERE SystemDListObjectID = d.ParentObjectID) "
    "WHEN 3 THEN (SELECT TextName FROM CallHandler WHERE CallHandlerObjectID = d.ParentObjectID) "
    "WHEN 5 THEN (SELECT TextName FROM InterviewHandler WHERE InterviewHandlerObjectID = d.ParentObjectID) "
    "WHEN 6 THEN (SELECT TextName FROM NameLookupHandler WHERE NameLookupHandlerObjectID = d.ParentObjectID) "
    "WHEN 9 THEN (SELECT TextName FROM Location WHERE LocationObjectID = d.ParentObjectID) "
    "END AS DisplayName FROM DTMFAccessID d "
    "UNION ALL SELECT DTMFAccessID, ObjectID, ObjectType, 1, DisplayName FROM DialingDomainObject";

// The properties a sender set on a message and on its attachment (schema 3),
// kept as the sender gave them.
const char* const kMessagePropertyTable =
    "CREATE TABLE MessageProperty (MessageObjectID T NOT NULL, OfAttachment INTEGER NOT NULL DEFAULT 0, "
    "Tag INTEGER NOT NULL, Value T)";
const char* const kMessagePropertyIndex = "CREATE INDEX MessageProperty_Message ON MessageProperty (MessageObjectID)";

// "T" in the statements below is a text column that compares without case,
// "ID" a GUID key.
const char* const kTables[] = {
    "CREATE TABLE SchemaVersion (Version INTEGER NOT NULL)",

    "CREATE TABLE Location (LocationObjectID ID, Alias T NOT NULL UNIQUE, TextName T, "
    "InScope INTEGER NOT NULL DEFAULT 1, IsLocal INTEGER NOT NULL DEFAULT 0)",

    "CREATE TABLE COS (COSObjectID ID, Alias T NOT NULL UNIQUE, TextName T, "
    "CanRecordName INTEGER NOT NULL DEFAULT 1, ListInDirectoryStatus INTEGER NOT NULL DEFAULT 1, "
    "MoveToDeleteFolder INTEGER NOT NULL DEFAULT 0, Undeletable INTEGER NOT NULL DEFAULT 0, "
    "MaxMsgLength INTEGER NOT NULL DEFAULT 300, MaxGreetingLength INTEGER NOT NULL DEFAULT 90, "
    "msrepl_tran_version T NOT NULL DEFAULT NEWGUID)",

    "CREATE TABLE Schedule (ScheduleObjectID ID, Alias T NOT NULL UNIQUE, DisplayName T)",

    "CREATE TABLE CallHandler (CallHandlerObjectID ID, Alias T, TextName T, "
    "IsPrimary INTEGER NOT NULL DEFAULT 0, OwnerObjectID T, LocationObjectID T, ScheduleObjectName T)",

    "CREATE TABLE MessagingRule (MessagingRuleObjectID ID, ParentObjectID T NOT NULL, Alias T NOT NULL, "
    "Enabled INTEGER NOT NULL DEFAULT 1, PlayWhat INTEGER NOT NULL DEFAULT 0, StreamPath T, TimeExpires T)",

    "CREATE TABLE ContactRule (ContactRuleObjectID ID, ParentObjectID T NOT NULL, Alias T NOT NULL, "
    "Enabled INTEGER NOT NULL DEFAULT 1, Extension T)",

    "CREATE TABLE SubscriberTemplate (SubscriberTemplateObjectID ID, Alias T NOT NULL UNIQUE, "
    "DisplayName T, TextName T, COSObjectID T, ConversationName T, GreetByName INTEGER NOT NULL DEFAULT 1, "
    "ListInDirectory INTEGER NOT NULL DEFAULT 1, PWDoesntExpire INTEGER NOT NULL DEFAULT 0, "
    "PWMustChange INTEGER NOT NULL DEFAULT 1, Undeletable INTEGER NOT NULL DEFAULT 0, ExitAction INTEGER, "
    "ExitConversation T, ExitObjectID T, CallHandlerObjectID T, LocationObjectID T, "
    "Language INTEGER NOT NULL DEFAULT 1033, SwitchID INTEGER NOT NULL DEFAULT 0, "
    "SkipPWForKnownDevice INTEGER NOT NULL DEFAULT 0)",

    "CREATE TABLE Subscriber (SubscriberObjectID ID, Alias T NOT NULL UNIQUE, UID T, DisplayName T, "
    "FirstName T, LastName T, ConversationName T, SubscriberType INTEGER NOT NULL DEFAULT 1, "
    "SwitchID INTEGER NOT NULL DEFAULT 0, SMTPAddress T, Language INTEGER DEFAULT 1033, PWDTMF T, "
    "SkipPWForKnownDevice INTEGER NOT NULL DEFAULT 0, ListInDirectory INTEGER NOT NULL DEFAULT 1, "
    "Undeletable INTEGER NOT NULL DEFAULT 0, GreetByName INTEGER NOT NULL DEFAULT 1, "
    "PWDoesntExpire INTEGER NOT NULL DEFAULT 0, PWMustChange INTEGER NOT NULL DEFAULT 0, "
    "ExitAction INTEGER, ExitConversation T, ExitObjectID T, CallHandlerObjectID T, LocationObjectID T, "
    "COSObjectID T, SubscriberTemplateObjectID T, CreationTime T)",

    "CREATE TABLE InterviewHandler (InterviewHandlerObjectID ID, Alias T, TextName T, LocationObjectID T)",
    "CREATE TABLE NameLookupHandler (NameLookupHandlerObjectID ID, Alias T, TextName T, LocationObjectID T)",
    "CREATE TABLE DistributionList (SystemDListObjectID ID, Alias T, DisplayName T, LocationObjectID T)",

    "CREATE TABLE DTMFAccessID (DTMFAccessObjectID ID, DTMFAccessID T NOT NULL UNIQUE, "
    "ParentObjectID T NOT NULL, ParentObjectType INTEGER NOT NULL, IsPrimaryID INTEGER NOT NULL DEFAULT 0)",
    "CREATE UNIQUE INDEX DTMFAccessID_Primary ON DTMFAccessID (ParentObjectID) WHERE IsPrimaryID = 1",
    "CREATE INDEX DTMFAccessID_Parent ON DTMFAccessID (ParentObjectID)",

    "CREATE TABLE NotificationMWI (NotificationMWIObjectID ID, ParentAlias T, ParentObjectID T NOT NULL, "
    "ParentObjectIDType INTEGER NOT NULL DEFAULT 1, MWIMediaTypes INTEGER NOT NULL DEFAULT 2, "
    "MWIMessageTypes INTEGER NOT NULL DEFAULT 3, MWIOn INTEGER NOT NULL DEFAULT 0, Alias T, "
    "MWIExtension T, UID T, SwitchID INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX NotificationMWI_Parent ON NotificationMWI (ParentObjectID)",

    "CREATE TABLE Message (MessageObjectID ID, RecipientObjectID T NOT NULL, SenderName T, Subject T, "
    "MessageClass T, Unread INTEGER NOT NULL DEFAULT 1, ReceivedTime T NOT NULL, AttachmentName T, "
    "AttachmentContents BLOB, RecipientName T)",
    "CREATE INDEX Message_Recipient ON Message (RecipientObjectID)",
    kMessagePropertyTable,
    kMessagePropertyIndex,

    kDialingDomainObjectTable,

    "CREATE TABLE DirectorySyncTicket (Ticket T PRIMARY KEY, ObjectID T, Flags INTEGER, "
    "FiledAtMs INTEGER NOT NULL, FinishAtMs INTEGER, Outcome INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE DirectorySyncPlan (Seq INTEGER PRIMARY KEY AUTOINCREMENT, DelayMs INTEGER, "
    "Outcome INTEGER NOT NULL)",
};

// The primary extension of each holder, joined as "d".
#define PRIMARY_EXTENSION(key) \
    " LEFT JOIN DTMFAccessID d ON d.ParentObjectID = " key " AND d.IsPrimaryID = 1"

const char* const kViews[] = {
    "CREATE VIEW vw_Subscriber AS SELECT s.*, d.DTMFAccessID AS DTMFAccessID FROM Subscriber s"
    PRIMARY_EXTENSION("s.SubscriberObjectID"),
    // One server, one directory: the global view sees the same subscribers.
    "CREATE VIEW vw_Subscriber_Global AS SELECT * FROM vw_Subscriber",

    "CREATE VIEW vw_DTMFAccessID AS SELECT DTMFAccessObjectID, DTMFAccessID, ParentObjectID, "
    "ParentObjectType, IsPrimaryID FROM DTMFAccessID",
    kDialingDomainView,

    "CREATE VIEW vw_CallHandler_Primary AS SELECT * FROM CallHandler WHERE IsPrimary = 1",
    "CREATE VIEW vw_CallHandler_NonPrimary AS SELECT c.*, d.DTMFAccessID AS DtmfAccessId FROM CallHandler c"
    PRIMARY_EXTENSION("c.CallHandlerObjectID") " WHERE c.IsPrimary = 0",
    "CREATE VIEW vw_InterviewHandler AS SELECT h.*, d.DTMFAccessID AS DtmfAccessId FROM InterviewHandler h"
    PRIMARY_EXTENSION("h.InterviewHandlerObjectID"),
    "CREATE VIEW vw_NameLookupHandler AS SELECT h.*, d.DTMFAccessID AS DtmfAccessId FROM NameLookupHandler h"
    PRIMARY_EXTENSION("h.NameLookupHandlerObjectID"),
    "CREATE VIEW vw_DistributionList AS SELECT l.*, d.DTMFAccessID AS DtmfAccessId FROM DistributionList l"
    PRIMARY_EXTENSION("l.SystemDListObjectID"),
    "CREATE VIEW vw_Location AS SELECT l.*, d.DTMFAccessID AS DtmfAccessId FROM Location l"
    PRIMARY_EXTENSION("l.LocationObjectID"),

    "CREATE VIEW vw_SubscriberTemplate AS SELECT * FROM SubscriberTemplate",
    "CREATE VIEW vw_Schedule AS SELECT * FROM Schedule",
    "CREATE VIEW vw_NotificationMWI AS SELECT * FROM NotificationMWI",
    // "result" stays NULL until the ticket's finishing moment on the server's clock.
    "CREATE VIEW vw_DirectorySyncTicket AS SELECT Ticket, ObjectID, Flags, CASE WHEN FinishAtMs IS NOT NULL "
    "AND voxaren_clock_ms() >= FinishAtMs THEN Outcome END AS result FROM DirectorySyncTicket",
};

#undef PRIMARY_EXTENSION

QString expand(const char* statement) {
    QString sql = QString::fromLatin1(statement);
    sql.replace(QStringLiteral(" ID,"), QStringLiteral(" TEXT COLLATE NOCASE PRIMARY KEY DEFAULT NEWGUID,"));
    sql.replace(QStringLiteral(" T "), QStringLiteral(" TEXT COLLATE NOCASE "));
    sql.replace(QStringLiteral(" T,"), QStringLiteral(" TEXT COLLATE NOCASE,"));
    sql.replace(QStringLiteral(" T)"), QStringLiteral(" TEXT COLLATE NOCASE)"));
    sql.replace(QStringLiteral("NEWGUID"), kNewGuid);
    return sql;
}

bool hasVersionTable(QSqlDatabase& db) {
    return sql::scalar(db, QStringLiteral(
                               "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'SchemaVersion'"))
               .toInt() > 0;
}

// Brings a server of an older schema up to the current one, keeping its data.
void upgradeFrom(QSqlDatabase& db, int version) {
    if (version < 2) {
        sql::exec(db, expand(kDialingDomainObjectTable));
        sql::exec(db, QStringLiteral("DROP VIEW vw_DTMFAccessID_DialingDomain"));
        sql::exec(db, expand(kDialingDomainView));
    }
    if (version < 3) {
        sql::exec(db, expand("ALTER TABLE Message ADD COLUMN RecipientName T "));
        sql::exec(db, expand(kMessagePropertyTable));
        sql::exec(db, expand(kMessagePropertyIndex));
    }
}

}  // namespace

int schemaVersion(QSqlDatabase& db) {
    if (!hasVersionTable(db)) return 0;
    return sql::scalar(db, QStringLiteral("SELECT max(Version) FROM SchemaVersion")).toInt();
}

SchemaOutcome createSchema(QSqlDatabase& db) {
    const int found = schemaVersion(db);
    if (found > kSchemaVersion)
        throw platform::Error(sql::kRefused,
                              QStringLiteral("VoxarenDb has schema version %1; this program knows version %2 "
                                             "at most and leaves the database alone")
                                  .arg(found)
                                  .arg(kSchemaVersion));
    if (found == kSchemaVersion) return SchemaOutcome::AlreadyCurrent;

    // Written once and read by many programs at a time.
    sql::exec(db, QStringLiteral("PRAGMA journal_mode=WAL"));
    if (!db.transaction()) throw platform::Error(sql::kRefused, QStringLiteral("cannot start a transaction"));
    try {
        if (found == 0) {
            for (const char* statement : kTables) sql::exec(db, expand(statement));
            for (const char* statement : kViews) sql::exec(db, expand(statement));
            seedCleanServer(db);
        } else {
            upgradeFrom(db, found);
        }
        sql::exec(db, QStringLiteral("INSERT INTO SchemaVersion (Version) VALUES (?)"), {kSchemaVersion});
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) throw platform::Error(sql::kRefused, QStringLiteral("cannot commit the new schema"));
    return found == 0 ? SchemaOutcome::Created : SchemaOutcome::Upgraded;
}

}  // namespace voxaren
