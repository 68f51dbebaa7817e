#include "sim/voxaren/Seed.h"

#include "platform/guid.h"
#include "sim/voxaren/Extensions.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/Sql.h"
#include "sim/voxaren/Subscribers.h"

namespace voxaren {

namespace {

struct KindInfo {
    ObjectKind kind;
    const char* cliName;
    int type;
    // INSERT of the object's own row: id, alias, name (and location where it has one).
    const char* insert;
};

const KindInfo kKinds[] = {
    {ObjectKind::Subscriber, "subscriber", kSubscriberObject, nullptr},
    {ObjectKind::CallHandler, "call-handler", kCallHandlerObject,
     "INSERT INTO CallHandler (CallHandlerObjectID, Alias, TextName, IsPrimary, LocationObjectID) "
     "VALUES (?, ?, ?, 0, ?)"},
    {ObjectKind::InterviewHandler, "interview-handler", kInterviewHandlerObject,
     "INSERT INTO InterviewHandler (InterviewHandlerObjectID, Alias, TextName, LocationObjectID) VALUES (?, ?, ?, ?)"},
    {ObjectKind::DirectoryHandler, "directory-handler", kNameLookupHandlerObject,
     "INSERT INTO NameLookupHandler (NameLookupHandlerObjectID, Alias, TextName, LocationObjectID) "
     "VALUES (?, ?, ?, ?)"},
    {ObjectKind::DistributionList, "distribution-list", kDistributionListObject,
     "INSERT INTO DistributionList (SystemDListObjectID, Alias, DisplayName, LocationObjectID) VALUES (?, ?, ?, ?)"},
    {ObjectKind::Location, "location", kLocationObject,
     "INSERT INTO Location (LocationObjectID, Alias, TextName, InScope, IsLocal) VALUES (?, ?, ?, 1, 0)"},
    {ObjectKind::RemoteLocation, "remote-location", kLocationObject,
     "INSERT INTO Location (LocationObjectID, Alias, TextName, InScope, IsLocal) VALUES (?, ?, ?, 0, 0)"},
    {ObjectKind::DialingDomainSubscriber, "dialing-domain-subscriber", kSubscriberObject, nullptr},
};

const KindInfo& info(ObjectKind kind) {
    for (const KindInfo& k : kKinds)
        if (k.kind == kind) return k;
    return kKinds[0];
}

QString aliasOf(const QString& name) {
    QString alias;
    for (const QChar c : name)
        if (!c.isSpace()) alias += c;
    return alias;
}

QString insertId(QSqlDatabase& db, const QString& sql, const QVariantList& values) {
    const QString id = platform::newGuidText();
    sql::exec(db, sql, QVariantList{id} + values);
    return id;
}

}  // namespace

std::optional<ObjectKind> objectKindNamed(const QString& name) {
    for (const KindInfo& k : kKinds)
        if (name.compare(QLatin1String(k.cliName), Qt::CaseInsensitive) == 0) return k.kind;
    return std::nullopt;
}

QStringList objectKindNames() {
    QStringList names;
    for (const KindInfo& k : kKinds) names << QLatin1String(k.cliName);
    return names;
}

QString addObject(QSqlDatabase& db, ObjectKind kind, const QString& extension, const QString& name) {
    const QString alias = aliasOf(name);
    if (alias.isEmpty()) throw sql::refused(QStringLiteral("An object needs a name."));
    if (kind == ObjectKind::Subscriber) {
        NewSubscriber s;
        s.alias = alias;
        s.extension = extension;
        s.templateAlias = QStringLiteral("DefaultTemplate");
        s.displayName = name;
        return createSubscriber(db, s);
    }
    if (kind == ObjectKind::DialingDomainSubscriber) {
        if (extension.trimmed().isEmpty()) throw sql::refused(QStringLiteral("An extension cannot be empty."));
        return insertId(db,
                        QStringLiteral("INSERT INTO DialingDomainObject (ObjectID, ObjectType, DisplayName, "
                                       "DTMFAccessID) VALUES (?, ?, ?, ?)"),
                        {int(kSubscriberObject), name, extension});
    }
    const KindInfo& k = info(kind);
    requireFreeExtension(db, extension);
    QVariantList values{alias, name};
    if (kind != ObjectKind::Location && kind != ObjectKind::RemoteLocation) values << localLocationId(db);
    const QString id = insertId(db, QLatin1String(k.insert), values);
    addExtension(db, extension, id, k.type, true);
    return id;
}

void seedCleanServer(QSqlDatabase& db) {
    insertId(db, QStringLiteral("INSERT INTO Location (LocationObjectID, Alias, TextName, InScope, IsLocal) "
                                "VALUES (?, 'Hotel', 'Hotel', 1, 1)"),
             {});
    addExtension(db, QStringLiteral("9400"), localLocationId(db), kLocationObject, true);
    addObject(db, ObjectKind::RemoteLocation, QStringLiteral("9500"), QStringLiteral("Sister Hotel"));

    const QString cos = insertId(
        db, QStringLiteral("INSERT INTO COS (COSObjectID, Alias, TextName, Undeletable) VALUES (?, ?, ?, 1)"),
        {QStringLiteral("defaultsubscriber"), QStringLiteral("Default Subscriber")});
    const QString schedule = QStringLiteral("INSERT INTO Schedule (ScheduleObjectID, Alias, DisplayName) VALUES (?, ?, ?)");
    insertId(db, schedule, {QStringLiteral("allhours"), QStringLiteral("All Hours - All Days")});
    insertId(db, schedule, {QStringLiteral("weekdays"), QStringLiteral("Weekdays")});

    const QString handler = QStringLiteral(
        "INSERT INTO CallHandler (CallHandlerObjectID, Alias, TextName, IsPrimary, OwnerObjectID, LocationObjectID, "
        "ScheduleObjectName) VALUES (?, ?, ?, ?, ?, ?, ?)");
    const QString location = localLocationId(db);
    insertId(db, handler, {QStringLiteral("operatorch"), QStringLiteral("Operator"), 0, sql::nullText(), location,
                           QStringLiteral("All Hours - All Days")});
    const QString opening = insertId(db, handler,
                                     {QStringLiteral("openingch"), QStringLiteral("Opening Greeting"), 0,
                                      sql::nullText(), location, QStringLiteral("All Hours - All Days")});
    addObject(db, ObjectKind::CallHandler, QStringLiteral("9000"), QStringLiteral("Front Desk"));
    addObject(db, ObjectKind::DistributionList, QStringLiteral("9100"), QStringLiteral("All Staff"));
    addObject(db, ObjectKind::InterviewHandler, QStringLiteral("9200"), QStringLiteral("Guest Survey"));
    addObject(db, ObjectKind::DirectoryHandler, QStringLiteral("9300"), QStringLiteral("Staff Directory"));

    const QString templateId = platform::newGuidText();
    const QString templateHandler =
        insertId(db, handler, {QStringLiteral("ch_DefaultTemplate"), QStringLiteral("Default Template"), 1, templateId,
                               location, QStringLiteral("Weekdays")});
    sql::exec(db, QStringLiteral("INSERT INTO MessagingRule (ParentObjectID, Alias) VALUES (?, 'Standard')"),
              {templateHandler});
    sql::exec(db, QStringLiteral("INSERT INTO ContactRule (ParentObjectID, Alias) VALUES (?, 'Alternate')"),
              {templateHandler});
    sql::exec(db,
              QStringLiteral("INSERT INTO SubscriberTemplate (SubscriberTemplateObjectID, Alias, DisplayName, TextName, "
                             "COSObjectID, ConversationName, ExitAction, ExitConversation, ExitObjectID, "
                             "CallHandlerObjectID, LocationObjectID) VALUES (?, 'DefaultTemplate', 'Default Template', "
                             "'Default Template', ?, 'ConvSubscriber', 2, 'PHGreeting', ?, ?, ?)"),
              {templateId, cos, opening, templateHandler, location});
}

}  // namespace voxaren
