#pragma once
// A clean voice-messaging server per test: its database in the test's folder,
// named in the test's registry store, reached through the system's connection
// string with the server's procedures installed.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/db/command.h"
#include "platform/db/recordset.h"
#include "tests/support/RecordingProcedures.h"
#include "tests/support/TestEnvironment.h"

class VoxarenTest : public StavioTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // This thread's connection to the server, as the system's programs open it.
    QSqlDatabase db();
    platform::db::Recordset open(const QString& sql, const QVariantList& values = {},
                                 platform::db::LockTypeEnum lockType = platform::db::adLockReadOnly);
    platform::db::Command command(const QString& procedure);
    // Rows as "a|b|c" lines, NULL as NULL.
    QStringList rows(const QString& sql, const QVariantList& values = {});
    QVariant value(const QString& sql, const QVariantList& values = {});
    // Runs a statement on the server's database, failing the test on an error.
    void serverExec(const QString& sql, const QVariantList& values = {});

    // A guest made as check-in makes one: from DefaultTemplate, then marked
    // "ConvHotel". Returns its object id.
    QString createGuest(const QString& room, const QString& alias, const QString& first = QStringLiteral("Ann"),
                        const QString& last = QStringLiteral("Lee"));

    // From here on every stored-procedure call is recorded in `procedures`.
    void recordProcedures();

    QString databasePath;
    std::shared_ptr<RecordingProcedures> procedures;
};
