#include "common/SubscriberTemplates.h"

#include "platform/db/recordset.h"

using namespace platform::db;

namespace {

const QString& aliasColumn() {
    static const QString name = QStringLiteral("Alias");
    return name;
}

void openAll(Recordset& templates, const QString& connection) {
    templates.Open(QStringLiteral("Select Alias from vw_SubscriberTemplate"), connection,
                   adOpenKeyset, adLockReadOnly);
}

}  // namespace

QStringList SubscriberTemplates::aliases(const QString& connection) {
    QStringList aliases;
    Recordset templates;
    openAll(templates, connection);
    for (; !templates.IsEOF(); templates.MoveNext()) aliases << templates.Text(aliasColumn());
    return aliases;
}

bool SubscriberTemplates::isListed(const QString& alias, const QString& connection) {
    Recordset templates;
    openAll(templates, connection);
    return templates.FindEqual(aliasColumn(), alias);
}

long SubscriberTemplates::countWithAlias(const QString& alias, const QString& connection) {
    Recordset templates;
    templates.CursorLocation = adUseClient;
    templates.Open(QStringLiteral("Select Alias from vw_SubscriberTemplate WHERE Alias=?"), {alias},
                   connection, adOpenKeyset, adLockReadOnly);
    return templates.RecordCount();
}
