#pragma once
// The tables and views of VoxarenDb, and its schema version.
//
// Object ids are GUIDs in registry text form (braced, upper case); every text
// column compares without regard to case, as the server does. Extensions of
// every kind of object live in one table, DTMFAccessID (unique across the
// server; one primary per object, IsPrimaryID = 1); each holder's view shows
// its primary extension as DtmfAccessId.
//
//   Location            LocationObjectID; InScope (fn_LocationInScope), IsLocal
//   COS                 COSObjectID; Alias, TextName, ..., msrepl_tran_version
//   Schedule            ScheduleObjectID; Alias, DisplayName            (vw_Schedule)
//   CallHandler         CallHandlerObjectID; IsPrimary (belongs to a subscriber or
//                       template, OwnerObjectID), ScheduleObjectName
//                       (vw_CallHandler_Primary, vw_CallHandler_NonPrimary)
//   MessagingRule       MessagingRuleObjectID; ParentObjectID (call handler), Alias
//   ContactRule         ContactRuleObjectID; ParentObjectID (call handler), Alias, Extension
//   SubscriberTemplate  SubscriberTemplateObjectID; Alias, ...      (vw_SubscriberTemplate)
//   Subscriber          SubscriberObjectID; Alias, UID, names, ConversationName, ...
//                       (vw_Subscriber, vw_Subscriber_Global, with DTMFAccessID)
//   InterviewHandler, NameLookupHandler, DistributionList (SystemDListObjectID)
//   DTMFAccessID        DTMFAccessObjectID; DTMFAccessID, ParentObjectID,
//                       ParentObjectType, IsPrimaryID
//                       (vw_DTMFAccessID; vw_DTMFAccessID_DialingDomain adds the
//                       holder's ObjectType and DisplayName, and the rows of
//                       DialingDomainObject)
//   DialingDomainObject ObjectID; ObjectType, DisplayName, DTMFAccessID: objects
//                       of the dialing domain's other servers, replicated here
//                       (their numbers may repeat this server's own)
//   NotificationMWI     lamp devices, see MessageStore.h      (vw_NotificationMWI)
//   Message, MessageProperty   the message store, see MessageStore.h
//   DirectorySyncTicket, DirectorySyncPlan   see DirectorySync.h (vw_DirectorySyncTicket)
//   SchemaVersion       Version
#include <QSqlDatabase>

namespace voxaren {

constexpr int kSchemaVersion = 3;

// Object types, as extensions and the callers number them.
enum ObjectType {
    kSubscriberObject = 1,
    kDistributionListObject = 2,
    kCallHandlerObject = 3,
    kInterviewHandlerObject = 5,
    kNameLookupHandlerObject = 6,
    kLocationObject = 9,
};

// The version recorded in the database; 0 when it has none.
int schemaVersion(QSqlDatabase& db);

enum class SchemaOutcome { Created, Upgraded, AlreadyCurrent };
// Creates the tables, views and seed data of a clean server in one
// transaction, brings an older schema up to date keeping its data, or leaves
// a current one alone. Raises platform::Error for a
// database of a newer schema than this program knows.
SchemaOutcome createSchema(QSqlDatabase& db);

}  // namespace voxaren
