#pragma once
// The server's stored procedures, with every call recorded (the procedure and
// the values it was given, by their declared names) before it runs.
#include <QStringList>
#include <memory>
#include <vector>

#include "sim/voxaren/Procedures.h"

class RecordingProcedures : public platform::db::ProcedureProvider {
public:
    struct Call {
        QString procedure;
        QVariantMap arguments;  // declared name (without "@") -> value, only those set
    };

    std::optional<QStringList> parameters(const QString& procedure) const override {
        return m_server.parameters(procedure);
    }
    std::optional<platform::db::ProcedureResult> call(QSqlDatabase& db, const QString& procedure,
                                                      const QVariantMap& arguments) override {
        calls.push_back({procedure, arguments});
        return m_server.call(db, procedure, arguments);
    }
    // The calls of one procedure, in order.
    std::vector<Call> of(const QString& procedure) const {
        std::vector<Call> result;
        for (const Call& c : calls)
            if (c.procedure.compare(procedure, Qt::CaseInsensitive) == 0) result.push_back(c);
        return result;
    }
    QStringList names() const {
        QStringList result;
        for (const Call& c : calls) result << c.procedure;
        return result;
    }

    std::vector<Call> calls;

private:
    voxaren::ServerProcedures m_server;
};
