#pragma once
// The subscriber templates of the voice-messaging server, known by their
// aliases: the one the settings choose makes every new guest. Each call
// raises platform::Error when the server cannot be asked.
#include <QString>
#include <QStringList>

class SubscriberTemplates {
public:
    // Every template's alias, in the server's order.
    static QStringList aliases(const QString& connection);
    // Whether the alias is among them, compared as a recordset's search compares.
    static bool isListed(const QString& alias, const QString& connection);
    // How many templates the server finds under the alias (1 for a sound choice).
    static long countWithAlias(const QString& alias, const QString& connection);
};
