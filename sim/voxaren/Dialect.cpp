#include "sim/voxaren/Dialect.h"

#include <QHash>
#include <QRegularExpression>

namespace voxaren {

namespace {

QString rewriteOutsideQuotes(const QString& code) {
    static const QRegularExpression owner(QStringLiteral("\\bdbo\\."), QRegularExpression::CaseInsensitiveOption);
    return QString(code).remove(owner);
}

}  // namespace

QString translateSql(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 8);
    qsizetype start = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar quote = sql[i];
        if (quote != QLatin1Char('\'') && quote != QLatin1Char('"')) continue;
        out += rewriteOutsideQuotes(sql.mid(start, i - start));
        // A doubled quote inside quoted text is one quote character.
        qsizetype end = i + 1;
        while (end < sql.size()) {
            if (sql[end] == quote) {
                if (end + 1 < sql.size() && sql[end + 1] == quote) {
                    end += 2;
                    continue;
                }
                break;
            }
            ++end;
        }
        out += sql.mid(i, end - i + 1);
        i = end;
        start = end + 1;
    }
    if (start < sql.size()) out += rewriteOutsideQuotes(sql.mid(start));

    static const QRegularExpression insertWithoutInto(QStringLiteral("^(\\s*INSERT)\\s+(?!INTO\\b)"),
                                                      QRegularExpression::CaseInsensitiveOption);
    return out.replace(insertWithoutInto, QStringLiteral("\\1 INTO "));
}

QString baseTableOf(const QString& view) {
    static const QHash<QString, QString> bases = {
        {QStringLiteral("vw_subscriber"), QStringLiteral("Subscriber")},
        {QStringLiteral("vw_subscriber_global"), QStringLiteral("Subscriber")},
        {QStringLiteral("vw_callhandler_primary"), QStringLiteral("CallHandler")},
        {QStringLiteral("vw_callhandler_nonprimary"), QStringLiteral("CallHandler")},
        {QStringLiteral("vw_interviewhandler"), QStringLiteral("InterviewHandler")},
        {QStringLiteral("vw_namelookuphandler"), QStringLiteral("NameLookupHandler")},
        {QStringLiteral("vw_distributionlist"), QStringLiteral("DistributionList")},
        {QStringLiteral("vw_location"), QStringLiteral("Location")},
        {QStringLiteral("vw_subscribertemplate"), QStringLiteral("SubscriberTemplate")},
        {QStringLiteral("vw_schedule"), QStringLiteral("Schedule")},
        {QStringLiteral("vw_notificationmwi"), QStringLiteral("NotificationMWI")},
    };
    QString name = view.trimmed().toLower();
    if (name.startsWith(QLatin1String("dbo."))) name = name.mid(4);
    return bases.value(name);
}

}  // namespace voxaren
