#include "common/GreetingRule.h"

#include "platform/db/recordset.h"

using namespace platform::db;

namespace {

const QString& streamPathColumn() {
    static const QString name = QStringLiteral("StreamPath");
    return name;
}

}  // namespace

bool GreetingRule::playFile(const QString& connection, const QString& callHandler,
                            const QString& file) {
    Recordset rule;
    rule.CursorLocation = adUseClient;
    rule.Open(
        QStringLiteral("SELECT * FROM MessagingRule WHERE ParentObjectID=? AND Alias='Standard'"),
        {callHandler}, connection, adOpenKeyset, adLockOptimistic);
    if (rule.RecordCount() != 1) return false;
    rule.SetValue(streamPathColumn(), file);
    rule.SetValue(QStringLiteral("TimeExpires"), QVariant(QMetaType::fromType<QString>()));
    rule.SetValue(QStringLiteral("PlayWhat"), 1);
    rule.Update();
    return true;
}

QString GreetingRule::fileOf(const QString& connection, const QString& subscriberObjectId) {
    Recordset rule;
    rule.Open(
        QStringLiteral(
            "SELECT r.StreamPath FROM MessagingRule r JOIN vw_Subscriber s ON r.ParentObjectID = "
            "s.CallHandlerObjectID WHERE s.SubscriberObjectID=? AND r.Alias='Standard'"),
        {subscriberObjectId}, connection, adOpenKeyset, adLockReadOnly);
    return rule.IsEOF() ? QString() : rule.Text(streamPathColumn());
}
