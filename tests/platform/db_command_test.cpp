#include <gtest/gtest.h>

#include <QSqlQuery>

#include "platform/db/command.h"
#include "platform/db/connection.h"
#include "tests/support/DbBackends.h"

using namespace platform::db;

namespace {

// A procedure set for an SQLite database: one that files a row and hands back
// the rows of that table, so the caller can change them.
class GuestBook : public ProcedureProvider {
public:
    std::optional<QStringList> parameters(const QString& procedure) const override {
        if (procedure.compare(QLatin1String("sp_Sign"), Qt::CaseInsensitive) == 0)
            return QStringList{QStringLiteral("Name"), QStringLiteral("Room"), QStringLiteral("Note")};
        return std::nullopt;
    }
    std::optional<ProcedureResult> call(QSqlDatabase& db, const QString&, const QVariantMap& args) override {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO book (name, room, note) VALUES (?, ?, ?)"));
        q.addBindValue(args.value(QStringLiteral("Name"), QVariant(QMetaType::fromType<QString>())));
        q.addBindValue(args.value(QStringLiteral("Room"), QVariant(QMetaType::fromType<QString>())));
        q.addBindValue(args.value(QStringLiteral("Note"), QVariant(QMetaType::fromType<QString>())));
        q.exec();
        return ProcedureResult{QStringLiteral("SELECT * FROM book WHERE room = ?"), {args.value(QStringLiteral("Room"))}};
    }
};

class CommandTest : public DbBackendTest {
protected:
    void prepareDatabase() override {
        recreateTable(QStringLiteral("book"),
                      QStringLiteral("id %1, name VARCHAR(40), room VARCHAR(10), note VARCHAR(40)")
                          .arg(autoKey()));
        if (mysql()) {
            exec(QStringLiteral("DROP PROCEDURE IF EXISTS sp_Sign"));
            exec(QStringLiteral("CREATE PROCEDURE sp_Sign(IN Name VARCHAR(40), IN Room VARCHAR(10), IN Note VARCHAR(40)) "
                                "BEGIN INSERT INTO book (name, room, note) VALUES (Name, Room, Note); "
                                "SELECT * FROM book WHERE room = Room; END"));
        } else {
            environment().setVoiceServer({}, std::shared_ptr<GuestBook>(&provider, [](GuestBook*) {}));
        }
    }
    Command command(const QString& name) { return Command(connection(), name); }
    GuestBook provider;
};

TEST_P(CommandTest, NamedParametersAreBoundAndUnnamedOnesLeftUnset) {
    Command cmd = command(QStringLiteral("sp_Sign"));
    cmd.SetParameter(QStringLiteral("@Room"), QStringLiteral("214"));
    cmd.SetParameter(QStringLiteral("@name"), QStringLiteral("O'Neil"));
    Recordset rs = cmd.Execute();
    ASSERT_EQ(rs.State(), adStateOpen);
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Text(QStringLiteral("name")), QStringLiteral("O'Neil"));
    EXPECT_TRUE(rs.IsNull(QStringLiteral("note")));
    EXPECT_EQ(rows(QStringLiteral("SELECT name, room, note FROM book")), QStringList{QStringLiteral("O'Neil|214|NULL")});
}

TEST_P(CommandTest, MisspeltParameterOrUnknownProcedureIsAnError) {
    Command typo = command(QStringLiteral("sp_Sign"));
    typo.SetParameter(QStringLiteral("@Rooom"), QStringLiteral("214"));
    try {
        typo.Execute();
        FAIL() << "ran with a parameter the procedure does not have";
    } catch (const platform::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("@Rooom"))) << e.description().toStdString();
    }
    EXPECT_TRUE(rows(QStringLiteral("SELECT name FROM book")).isEmpty());
    EXPECT_THROW(command(QStringLiteral("sp_Missing")).Execute(), platform::Error);
    EXPECT_THROW(command(QStringLiteral("sp_Sign; DROP TABLE book")).Execute(), platform::Error);
}

// Rows of a MariaDB CALL name no table; a provider's rows come from its tables.
class ProviderCommandTest : public CommandTest {};

TEST_P(ProviderCommandTest, RowsCanBeChangedWhenAskedForAnUpdatableSet) {
    Command cmd = command(QStringLiteral("sp_Sign"));
    cmd.SetParameter(QStringLiteral("@Room"), QStringLiteral("301"));
    Recordset rs = cmd.Execute(adLockOptimistic);
    rs.SetValue(QStringLiteral("note"), QStringLiteral("late arrival"));
    rs.Update();
    EXPECT_EQ(rows(QStringLiteral("SELECT room, note FROM book")), QStringList{QStringLiteral("301|late arrival")});
}

INSTANTIATE_ON_BOTH_BACKENDS(CommandTest);
INSTANTIATE_TEST_SUITE_P(Backends, ProviderCommandTest, ::testing::Values(TestBackend::Sqlite), backendName);

}  // namespace
