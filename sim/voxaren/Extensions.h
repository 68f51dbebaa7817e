#pragma once
// Extensions (DTMF access ids) of every kind of object: one table, unique
// across the server, one primary extension per object and any number of
// alternates.
#include <QSqlDatabase>
#include <QString>
#include <optional>

namespace voxaren {

struct ExtensionHolder {
    QString objectId;
    int objectType = 0;  // ObjectType of Schema.h
    QString displayName;
    bool primary = false;
};

std::optional<ExtensionHolder> extensionHolder(QSqlDatabase& db, const QString& extension);

// "Subscriber", "Call Handler", ... for messages.
QString objectTypeName(int objectType);

// Raises a refusal naming the object that already holds the extension.
void requireFreeExtension(QSqlDatabase& db, const QString& extension);

// Gives the object the extension (refused when empty or in use).
void addExtension(QSqlDatabase& db, const QString& extension, const QString& parentId, int parentType,
                  bool primary);

// The subscriber holding the extension as primary or alternate, or "".
QString subscriberWithExtension(QSqlDatabase& db, const QString& extension);

// Whether an object of the type (ObjectType of Schema.h) has the id.
bool objectExists(QSqlDatabase& db, int objectType, const QString& objectId);

}  // namespace voxaren
