#pragma once
// Who already uses an extension on the voice-messaging server: every object
// (subscriber, handler, distribution list, location) holding it. A guest
// action looks before it gives a guest a number and names the holders when
// the number is taken.
#include <QString>

namespace platform::db {
class Recordset;
}

class ExtensionHolders {
public:
    // The holders in scope, or of a location, of any of `count` extensions:
    // the extensions are bound twice, once for each of the query's two lists.
    static QString inScopeQuery(qsizetype count);
    // The holders of one extension, bound, in the dialing domain.
    static const QString& dialingDomainQuery();
    // "Extension= ... is owned by ... with a Display Name= ....  " for each
    // row of either query, from the current one to the end.
    static QString describe(platform::db::Recordset& rows);
};
