#pragma once
// Stored-procedure calls with parameters addressed by their "@" names; a
// parameter that is not named is left unset (NULL, or the procedure's own
// default). On MariaDB a real CALL whose parameter list comes from the server's
// own metadata; on an SQLite-backed server through the environment's procedure provider.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

#include "platform/db/connection.h"
#include "platform/db/recordset.h"

namespace platform::db {

enum CommandTypeEnum { adCmdText = 1, adCmdStoredProc = 4 };

// The rows a provider's procedure hands back: a query over its tables, so the
// rows can be updated where the caller asks for an updatable recordset.
struct ProcedureResult {
    QString sql;
    QVariantList parameters;
};

// Procedures of a database that has none of its own (SQLite).
class ProcedureProvider {
public:
    virtual ~ProcedureProvider() = default;
    // The declared parameter names (without "@"), or nullopt for an unknown procedure.
    virtual std::optional<QStringList> parameters(const QString& procedure) const = 0;
    // Runs it; `arguments` holds the named values under their declared names.
    virtual std::optional<ProcedureResult> call(QSqlDatabase& db, const QString& procedure,
                                                const QVariantMap& arguments) = 0;
};

class Command {
public:
    Command() = default;
    // A stored-procedure command on a connection.
    Command(const QString& connection, const QString& procedure)
        : ActiveConnection(connection), CommandText(procedure) {}

    QString ActiveConnection;  // a connection string
    QString CommandText;       // the procedure's name
    int CommandType = adCmdStoredProc;

    // Sets "@Name" (the "@" is optional; letter case is ignored).
    void SetParameter(const QString& name, const QVariant& value);
    // Runs the procedure; the returned recordset holds its rows (closed when it
    // returned none). Raises platform::Error: a parameter name the procedure
    // does not declare, an unknown procedure, or the database's own error.
    Recordset Execute(LockTypeEnum lockType = adLockReadOnly);

private:
    Recordset executeOnce(const QString& procedure, LockTypeEnum lockType, Attempt& attempt);

    QVariantMap m_parameters;  // folded name (without "@") -> value
    QStringList m_spelling;    // names as the caller wrote them, for errors
};

}  // namespace platform::db
