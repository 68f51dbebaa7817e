#pragma once
// What a clean server holds, and the non-guest objects that can be added to
// it: call handlers, interview and directory handlers, distribution lists,
// locations in and out of scope, and subscribers that are not hotel guests.
//
// A clean server: the location "Hotel" (local, in scope, extension 9400) and
// "Sister Hotel" (out of scope, 9500); the class of service
// "defaultsubscriber"; the schedules "All Hours - All Days" and "Weekdays";
// the call handlers "operatorch" (Operator) and "openingch" (Opening
// Greeting), without extensions, and "Front Desk" (9000); the distribution
// list "All Staff" (9100); the interview handler "Guest Survey" (9200); the
// directory handler "Staff Directory" (9300); the template "DefaultTemplate"
// (conversation "ConvSubscriber", exit to the opening greeting, a call
// handler on "Weekdays" with a "Standard" messaging rule and an "Alternate"
// contact rule).
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

namespace voxaren {

enum class ObjectKind {
    Subscriber,
    CallHandler,
    InterviewHandler,
    DirectoryHandler,
    DistributionList,
    Location,
    RemoteLocation,  // a location outside this server's scope
    // A subscriber homed on another server of the dialing domain, replicated
    // here; this server does not check its extension against its own.
    DialingDomainSubscriber,
};

// The kind a command-line name gives ("call-handler", ...), and all names.
std::optional<ObjectKind> objectKindNamed(const QString& name);
QStringList objectKindNames();

// Adds an object holding `extension` (its primary) under the name; its alias
// is the name without blanks. Refused when the extension or alias is taken
// (a dialing-domain subscriber's extension is taken as it comes).
// Returns the new object's id.
QString addObject(QSqlDatabase& db, ObjectKind kind, const QString& extension, const QString& name);

// Fills a server that has just been given its tables.
void seedCleanServer(QSqlDatabase& db);

}  // namespace voxaren
