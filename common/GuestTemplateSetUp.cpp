#include "common/GuestTemplateSetUp.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include "common/AdminSettings.h"
#include "common/ErrorTrap.h"
#include "common/GuestDirectory.h"
#include "platform/db/command.h"
#include "platform/db/connection.h"
#include "platform/db/recordset.h"

using namespace platform::db;

namespace {

const QString kGuestTemplate = QLatin1String(kHotelGuestTemplateAlias);
const QString kGuestCos = QStringLiteral("HotelGuestCOS");

// Columns a class of service keeps as its own: its id and the replication stamp.
bool ownCosColumn(const QString& name) {
    return name.compare(QLatin1String("COSObjectID"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("msrepl_tran_version"), Qt::CaseInsensitive) == 0;
}

// One run of the creation: the recordsets it keeps open between steps and the
// ids it has found so far. Every step that can fail runs under the trap.
class GuestTemplateBuilder {
public:
    using Outcome = GuestTemplateSetUp::Outcome;
    using Notice = GuestTemplateSetUp::Notice;

    GuestTemplateBuilder(ErrorTrap& trap, const QString& server,
                         const std::function<void(Notice)>& notify)
        : m_trap(trap), m_server(server), m_notify(notify) {}

    Outcome run() {
        if (guestTemplateExists()) return Outcome::Present;
        if (!findOrCreateGuestCos()) return m_outcome;
        if (!findDefaultTemplate()) return Outcome::NoDefaultTemplate;
        findOperator();
        if (!createGuestTemplate()) return Outcome::TemplateNotCreated;
        findSchedule();
        if (m_scheduleName.size() < 2) return Outcome::Built;
        return applySchedule() ? Outcome::Built : Outcome::NoPrimaryHandler;
    }

    const QString& failure() const { return m_failure; }

private:
    Recordset open(const QString& sql, const QVariantList& values,
                   platform::db::LockTypeEnum lockType) {
        Recordset rs;
        rs.CursorLocation = adUseClient;
        rs.Open(sql, values, m_server, adOpenKeyset, lockType);
        return rs;
    }

    // A statement without rows, in the server's own dialect.
    void execute(const QString& sql) {
        QSqlQuery query(database(m_server));
        if (!query.exec(translateSql(m_server, sql))) throw databaseError(query.lastError());
    }

    void set(Recordset& rs, const QString& column, const QVariant& value) {
        m_trap.step([&] { rs.SetValue(column, value); });
    }

    bool guestTemplateExists() {
        bool found = false;
        m_trap.step([&] {
            m_templates =
                open(QStringLiteral("SELECT * FROM SubscriberTemplate"), {}, adLockOptimistic);
            m_templates.MoveFirst();
            found = m_templates.FindEqual(QStringLiteral("Alias"), kGuestTemplate);
        });
        return found;
    }

    bool findOrCreateGuestCos() {
        Recordset classes;
        bool found = false;
        m_trap.step([&] {
            classes = open(QStringLiteral("SELECT * FROM COS"), {}, adLockReadOnly);
            found = classes.FindEqual(QStringLiteral("Alias"), kGuestCos);
            if (found) m_cosId = classes.Text(QStringLiteral("COSObjectID"));
        });
        if (found) return true;

        bool defaultFound = false;
        // A failed open has been reported already.
        if (classes.State() == adStateOpen)
            m_trap.step([&] {
                classes.MoveFirst();
                defaultFound =
                    classes.FindEqual(QStringLiteral("Alias"), QStringLiteral("defaultsubscriber"));
            });
        if (!defaultFound) {
            m_outcome = Outcome::NoDefaultCos;
            return false;
        }
        return createGuestCos(classes);
    }

    // The new class of service takes every setting of `defaults` (its current
    // row), then the hotel guest's own.
    bool createGuestCos(const Recordset& defaults) {
        m_trap.step(
            [&] { execute(QStringLiteral("INSERT cos (alias) VALUES ('HotelGuestCOS')")); });

        Recordset created;
        long count = 0;
        m_trap.step([&] {
            created = open(QStringLiteral("SELECT * FROM COS WHERE Alias=?"), {kGuestCos},
                           adLockOptimistic);
            count = created.RecordCount();
        });
        if (count != 1) {
            m_outcome = Outcome::CosNotCreated;
            return false;
        }

        int columns = 0;
        m_trap.step([&] { columns = created.FieldCount(); });
        // Both rows come from the same table: the same position is the same column.
        for (int i = 0; i < columns; ++i)
            m_trap.step([&] {
                const QString name = created.FieldName(i);
                if (!ownCosColumn(name))
                    created.SetValue(name, defaults.Value(defaults.FieldName(i)));
            });

        set(created, QStringLiteral("TextName"), QStringLiteral("Hotel Guest COS"));
        set(created, QStringLiteral("Alias"), kGuestCos);
        set(created, QStringLiteral("CanRecordName"), false);
        set(created, QStringLiteral("ListInDirectoryStatus"), false);
        set(created, QStringLiteral("MoveToDeleteFolder"), true);
        set(created, QStringLiteral("Undeletable"), false);
        m_trap.step([&] { created.Update(); });
        m_trap.step([&] {
            m_cosId = created.Text(QStringLiteral("COSObjectID"));
            created.Close();
        });
        return true;
    }

    bool findDefaultTemplate() {
        bool found = false;
        if (m_templates.State() == adStateOpen)
            m_trap.step([&] {
                m_templates.MoveFirst();
                found = m_templates.FindEqual(QStringLiteral("Alias"),
                                              QStringLiteral("DefaultTemplate"));
                if (found)
                    m_defaultTemplateId =
                        m_templates.Text(QStringLiteral("SubscriberTemplateObjectID"));
            });
        return found;
    }

    // A column of the one row a query finds; "" and the notice when it finds
    // none or several.
    QString exactlyOne(const QString& sql, const QString& value, const QString& column,
                       Notice notice) {
        QString found;
        long count = 0;
        m_trap.step([&] {
            Recordset rs = open(sql, {value}, adLockReadOnly);
            count = rs.RecordCount();
            if (count == 1) found = rs.Text(column);
            rs.Close();
        });
        if (count != 1) m_notify(notice);
        return found;
    }

    void findOperator() {
        m_operatorId =
            exactlyOne(QStringLiteral("SELECT * FROM vw_CallHandler_NonPrimary WHERE Alias=?"),
                       QStringLiteral("operatorch"), QStringLiteral("CallHandlerObjectID"),
                       Notice::NoOperator);
    }

    bool createGuestTemplate() {
        Recordset created;
        bool hasRow = false;
        m_trap.step([&] {
            try {
                Command cmd(m_server, QStringLiteral("csp_SubscriberTemplateCreate"));
                cmd.SetParameter(QStringLiteral("@Alias"), kGuestTemplate);
                cmd.SetParameter(QStringLiteral("@TemplateOid"),
                                 QUuid::fromString(m_defaultTemplateId));
                created = cmd.Execute(adLockOptimistic);
                hasRow = created.State() == adStateOpen && created.RecordCount() > 0;
            } catch (const platform::Error& e) {
                m_failure = e.description();
                throw;
            }
        });
        if (!hasRow) return false;

        set(created, QStringLiteral("DisplayName"), QStringLiteral("Hotel Guest Template"));
        set(created, QStringLiteral("TextName"), QStringLiteral("Hotel Guest Template"));
        set(created, QStringLiteral("COSObjectID"), m_cosId);
        set(created, QStringLiteral("ConversationName"), GuestDirectory::conversation());
        set(created, QStringLiteral("GreetByName"), false);
        set(created, QStringLiteral("ListInDirectory"), false);
        set(created, QStringLiteral("PWDoesntEXpire"), true);
        set(created, QStringLiteral("PWMustChange"), false);
        set(created, QStringLiteral("Undeletable"), false);
        if (m_operatorId.size() > 1) {
            set(created, QStringLiteral("ExitAction"), QVariant::fromValue<qint16>(2));
            set(created, QStringLiteral("ExitConversation"), QStringLiteral("PHTransfer"));
            set(created, QStringLiteral("ExitObjectID"), m_operatorId);
        }
        m_trap.step(
            [&] { m_templateHandlerId = created.Text(QStringLiteral("CallHandlerObjectID")); });
        m_trap.step([&] {
            created.Update();
            created.Close();
        });
        return true;
    }

    void findSchedule() {
        m_scheduleName = exactlyOne(QStringLiteral("SELECT * FROM vw_Schedule WHERE DisplayName=?"),
                                    QStringLiteral("All Hours - All Days"),
                                    QStringLiteral("DisplayName"), Notice::NoSchedule);
    }

    // The schedule goes on the template's own (primary) call handler.
    bool applySchedule() {
        Recordset handler;
        long count = 0;
        m_trap.step([&] {
            handler = open(
                QStringLiteral("SELECT * FROM vw_CallHandler_Primary WHERE CallHandlerObjectID=?"),
                {m_templateHandlerId}, adLockOptimistic);
            count = handler.RecordCount();
        });
        if (count != 1) return false;
        set(handler, QStringLiteral("ScheduleObjectName"), m_scheduleName);
        m_trap.step([&] {
            handler.Update();
            handler.Close();
        });
        return true;
    }

    ErrorTrap& m_trap;
    const QString& m_server;
    const std::function<void(Notice)>& m_notify;
    Outcome m_outcome = Outcome::Built;
    QString m_failure;
    Recordset m_templates;
    QString m_cosId;
    QString m_defaultTemplateId;
    QString m_operatorId;
    QString m_templateHandlerId;
    QString m_scheduleName;
};

}  // namespace

GuestTemplateSetUp::Outcome GuestTemplateSetUp::run() {
    GuestTemplateBuilder builder(m_trap, m_server, m_notify);
    const Outcome outcome = builder.run();
    m_failure = builder.failure();
    return outcome;
}
