#include "sim/voxaren/Extensions.h"

#include <QHash>

#include "platform/guid.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/Sql.h"

namespace voxaren {

std::optional<ExtensionHolder> extensionHolder(QSqlDatabase& db, const QString& extension) {
    QSqlQuery q = sql::exec(db, QStringLiteral("SELECT ParentObjectID, ObjectType, DisplayName, IsPrimaryID "
                                               "FROM vw_DTMFAccessID_DialingDomain WHERE DTMFAccessID = ?"),
                            {extension});
    if (!q.next()) return std::nullopt;
    return ExtensionHolder{q.value(0).toString(), q.value(1).toInt(), q.value(2).toString(), q.value(3).toBool()};
}

QString objectTypeName(int objectType) {
    switch (objectType) {
        case kSubscriberObject: return QStringLiteral("Subscriber");
        case kDistributionListObject: return QStringLiteral("Distribution List");
        case kCallHandlerObject: return QStringLiteral("Call Handler");
        case kInterviewHandlerObject: return QStringLiteral("Interview Handler");
        case kNameLookupHandlerObject: return QStringLiteral("Directory Handler");
        case kLocationObject: return QStringLiteral("Location");
        default: return QStringLiteral("Object");
    }
}

void requireFreeExtension(QSqlDatabase& db, const QString& extension) {
    if (const auto holder = extensionHolder(db, extension))
        throw sql::refused(QStringLiteral("Extension %1 is already in use by the %2 \"%3\".")
                               .arg(extension, objectTypeName(holder->objectType), holder->displayName));
}

void addExtension(QSqlDatabase& db, const QString& extension, const QString& parentId, int parentType,
                  bool primary) {
    if (extension.trimmed().isEmpty()) throw sql::refused(QStringLiteral("An extension cannot be empty."));
    requireFreeExtension(db, extension);
    sql::exec(db,
              QStringLiteral("INSERT INTO DTMFAccessID (DTMFAccessObjectID, DTMFAccessID, ParentObjectID, "
                             "ParentObjectType, IsPrimaryID) VALUES (?, ?, ?, ?, ?)"),
              {platform::newGuidText(), extension, parentId, parentType, primary ? 1 : 0});
}

QString subscriberWithExtension(QSqlDatabase& db, const QString& extension) {
    return sql::scalar(db,
                       QStringLiteral("SELECT ParentObjectID FROM DTMFAccessID WHERE DTMFAccessID = ? "
                                      "AND ParentObjectType = ?"),
                       {extension, int(kSubscriberObject)})
        .toString();
}

bool objectExists(QSqlDatabase& db, int objectType, const QString& objectId) {
    // Fixed identifiers per type; the id is bound.
    static const QHash<int, QString> lookups = {
        {kSubscriberObject, QStringLiteral("SELECT 1 FROM Subscriber WHERE SubscriberObjectID = ?")},
        {kDistributionListObject, QStringLiteral("SELECT 1 FROM DistributionList WHERE SystemDListObjectID = ?")},
        {kCallHandlerObject, QStringLiteral("SELECT 1 FROM CallHandler WHERE CallHandlerObjectID = ?")},
        {kInterviewHandlerObject, QStringLiteral("SELECT 1 FROM InterviewHandler WHERE InterviewHandlerObjectID = ?")},
        {kNameLookupHandlerObject,
         QStringLiteral("SELECT 1 FROM NameLookupHandler WHERE NameLookupHandlerObjectID = ?")},
        {kLocationObject, QStringLiteral("SELECT 1 FROM Location WHERE LocationObjectID = ?")},
    };
    const auto it = lookups.constFind(objectType);
    return it != lookups.constEnd() && sql::scalar(db, *it, {objectId}).isValid();
}

}  // namespace voxaren
