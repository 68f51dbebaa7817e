#include "platform/db/command.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include "platform/db/connection.h"
#include "platform/env.h"
#include "platform/db/rowwriter.h"

namespace platform::db {

namespace {

QString withoutAt(const QString& name) {
    return name.startsWith(QLatin1Char('@')) ? name.mid(1) : name;
}

Error unknownParameter(const QString& procedure, const QString& name) {
    return Error(errors::BadArguments,
                 QStringLiteral("Procedure or function %1 has no parameter named @%2.").arg(procedure, name));
}

// Binds the declared parameters in order, unset ones as NULL, after checking
// that every named value belongs to the procedure.
QVariantMap argumentsFor(const QString& procedure, const QStringList& declared, const QVariantMap& named) {
    QVariantMap byDeclared;
    for (auto it = named.constBegin(); it != named.constEnd(); ++it) {
        const auto match = std::find_if(declared.begin(), declared.end(), [&](const QString& d) {
            return d.compare(it.key(), Qt::CaseInsensitive) == 0;
        });
        if (match == declared.end()) throw unknownParameter(procedure, it.key());
        byDeclared.insert(*match, it.value());
    }
    return byDeclared;
}

QStringList mysqlParameters(QSqlDatabase& db, const QString& procedure) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "SELECT PARAMETER_NAME FROM information_schema.PARAMETERS WHERE SPECIFIC_SCHEMA = DATABASE() "
        "AND SPECIFIC_NAME = ? AND ROUTINE_TYPE = 'PROCEDURE' AND PARAMETER_NAME IS NOT NULL "
        "ORDER BY ORDINAL_POSITION"));
    query.addBindValue(procedure);
    if (!query.exec()) throw databaseError(query.lastError());
    QStringList names;
    while (query.next()) names << query.value(0).toString();
    return names;
}

bool mysqlProcedureExists(QSqlDatabase& db, const QString& procedure) {
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM information_schema.ROUTINES WHERE ROUTINE_SCHEMA = DATABASE() "
                                 "AND ROUTINE_NAME = ? AND ROUTINE_TYPE = 'PROCEDURE'"));
    query.addBindValue(procedure);
    if (!query.exec()) throw databaseError(query.lastError());
    return query.next();
}

}  // namespace

void Command::SetParameter(const QString& name, const QVariant& value) {
    m_parameters.insert(withoutAt(name), value);
}

Recordset Command::Execute(LockTypeEnum lockType) {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    QString procedure = CommandText.trimmed();
    if (procedure.startsWith(QLatin1String("dbo."), Qt::CaseInsensitive)) procedure = procedure.mid(4);
    if (!identifier.match(procedure).hasMatch())
        throw Error(errors::BadArguments, QStringLiteral("Not a procedure name: ") + CommandText);
    refuseUnlessAllowed();  // a procedure may change anything

    // The procedure's metadata is read first, so a link found gone shows
    // before the call itself is sent.
    return withReconnect(ActiveConnection, [&](Attempt& attempt) { return executeOnce(procedure, lockType, attempt); });
}

Recordset Command::executeOnce(const QString& procedure, LockTypeEnum lockType, Attempt& attempt) {
    QSqlDatabase db = database(ActiveConnection);
    Recordset result;
    result.attach(ActiveConnection, lockType);

    if (isMySql(db)) {
        if (!mysqlProcedureExists(db, procedure))
            throw Error(1305, QStringLiteral("PROCEDURE %1.%2 does not exist").arg(db.databaseName(), procedure));
        const QStringList declared = mysqlParameters(db, procedure);
        const QVariantMap args = argumentsFor(procedure, declared, m_parameters);
        // Values travel in session variables: a prepared CALL cannot hand back
        // its result rows through this driver, a plain one can.
        QStringList variables, assignments;
        for (int i = 0; i < declared.size(); ++i) {
            variables << QStringLiteral("@stavio_p%1").arg(i);
            assignments << variables.last() + QStringLiteral(" = ?");
        }
        QSqlQuery query(db);
        if (!declared.isEmpty()) {
            if (!query.prepare(QStringLiteral("SET ") + assignments.join(QStringLiteral(", "))))
                throw databaseError(query.lastError());
            for (const QString& name : declared) query.addBindValue(bindable(args.value(name, QVariant())));
            if (!query.exec()) throw databaseError(query.lastError());
        }
        attempt.changing();
        // The name is checked above to be a plain identifier.
        if (!query.exec(QStringLiteral("CALL %1(%2)").arg(procedure, variables.join(QLatin1Char(',')))))
            throw databaseError(query.lastError());
        result.attach(ActiveConnection, adLockReadOnly);  // rows of a CALL name no table
        if (query.isSelect()) result.load(query);
        return result;
    }

    ProcedureProvider* p = platform::env().procedures();
    const std::optional<QStringList> declared = p ? p->parameters(procedure) : std::nullopt;
    if (!declared)
        throw Error(2812, QStringLiteral("Could not find stored procedure '%1'.").arg(procedure));
    const QVariantMap arguments = argumentsFor(procedure, *declared, m_parameters);
    attempt.changing();
    const std::optional<ProcedureResult> rows = p->call(db, procedure, arguments);
    if (rows) result.Open(rows->sql, rows->parameters, ActiveConnection, adOpenKeyset, lockType);
    return result;
}

}  // namespace platform::db
