#include "sim/voxaren/Procedures.h"

#include <QUuid>

#include "sim/voxaren/DirectorySync.h"
#include "sim/voxaren/Extensions.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/Sql.h"
#include "sim/voxaren/Subscribers.h"

namespace voxaren {

namespace {

using platform::db::ProcedureResult;
using Result = std::optional<ProcedureResult>;

// The named values of one call.
class Args {
public:
    explicit Args(const QVariantMap& values) : m_values(values) {}
    bool has(const char* name) const { return m_values.contains(QLatin1String(name)); }
    // Unset: an invalid QVariant. GUIDs arrive as text or as QUuid.
    QVariant value(const char* name) const {
        const QVariant v = m_values.value(QLatin1String(name));
        if (v.typeId() == QMetaType::QUuid) return v.toUuid().toString(QUuid::WithBraces).toUpper();
        return v;
    }
    QString text(const char* name) const { return value(name).toString(); }
    int number(const char* name, int unset = 0) const {
        const QVariant v = value(name);
        return v.isValid() && !v.isNull() ? v.toInt() : unset;
    }

private:
    const QVariantMap& m_values;
};

ProcedureResult subscriberRow(const QString& objectId) {
    return {QStringLiteral("SELECT * FROM vw_Subscriber WHERE SubscriberObjectID = ?"), {objectId}};
}

Result createSubscriber(QSqlDatabase& db, const Args& a) {
    NewSubscriber s;
    s.alias = a.text("Alias");
    s.extension = a.text("DtmfAccessId");
    s.templateAlias = a.text("templateAlias");
    s.subscriberType = a.value("SubscriberType");
    s.undeletable = a.value("Undeletable");
    s.displayName = a.value("DisplayName");
    s.uid = a.value("Uid");
    s.firstName = a.value("FirstName");
    s.lastName = a.value("LastName");
    s.pwdtmf = a.value("PWDTMF");
    s.listInDirectory = a.value("ListInDirectory");
    // @DirectorySync is accepted; callers synchronise through sp_ModifySubscriber.
    return subscriberRow(voxaren::createSubscriber(db, s));
}

Result modifySubscriber(QSqlDatabase& db, const Args& a) {
    const QString id = a.text("SubscriberObjectID");
    if (!subscriberExists(db, id)) return subscriberRow(id);
    // Fixed column names for the parameters of the same name.
    for (const char* column : {"DisplayName", "ConversationName", "PWDTMF"})
        if (a.has(column))
            sql::exec(db, QStringLiteral("UPDATE Subscriber SET %1 = ? WHERE SubscriberObjectID = ?")
                              .arg(QLatin1String(column)),
                      {a.value(column), id});
    if (a.has("DTMFAccessID")) setPrimaryExtension(db, id, a.text("DTMFAccessID"));
    if (a.number("DirectorySync") == 1 && a.has("DirectorySyncTicket"))
        fileTicket(db, a.text("DirectorySyncTicket"), id, a.value("DirectorySyncFlags"));
    return subscriberRow(id);
}

Result deleteSubscriber(QSqlDatabase& db, const Args& a) {
    const QString id = a.text("SubscriberObjectID");
    voxaren::deleteSubscriber(db, id, a.number("ForceRemove") == 1);
    if (a.number("DirectorySync") == 1 && a.has("DirectorySyncTicket"))
        fileTicket(db, a.text("DirectorySyncTicket"), id, a.value("DirectorySyncFlags"));
    return std::nullopt;
}

Result addAlternateExtension(QSqlDatabase& db, const Args& a) {
    const QString parent = a.text("strGUID");
    const int type = a.number("nParentObjType", kSubscriberObject);
    if (!objectExists(db, type, parent))
        throw sql::refused(QStringLiteral("No %1 %2 to give an alternate extension.").arg(objectTypeName(type), parent));
    addExtension(db, a.text("strAltID"), parent, type, false);
    return std::nullopt;
}

Result removeAlternateExtensions(QSqlDatabase& db, const Args& a) {
    sql::exec(db, QStringLiteral("DELETE FROM DTMFAccessID WHERE ParentObjectID = ? AND IsPrimaryID = 0"),
              {a.text("strGUID")});
    return std::nullopt;
}

Result removePrimaryExtension(QSqlDatabase& db, const Args& a) {
    sql::exec(db, QStringLiteral("DELETE FROM DTMFAccessID WHERE ParentObjectID = ? AND IsPrimaryID = 1"),
              {a.text("ParentOID")});
    return std::nullopt;
}

Result deleteDirectorySyncTicket(QSqlDatabase& db, const Args& a) {
    deleteTicket(db, a.text("Ticket"));
    return std::nullopt;
}

Result createSubscriberTemplate(QSqlDatabase& db, const Args& a) {
    const QString id = createTemplate(db, a.text("Alias"), a.text("TemplateOid"));
    return ProcedureResult{QStringLiteral("SELECT * FROM SubscriberTemplate WHERE SubscriberTemplateObjectID = ?"),
                           {id}};
}

struct Procedure {
    const char* name;
    QStringList parameters;
    Result (*run)(QSqlDatabase&, const Args&);
};

const std::vector<Procedure>& procedures() {
    static const std::vector<Procedure> all = {
        {"sp_CreateSubscriber",
         {"Alias", "DtmfAccessId", "templateAlias", "SubscriberType", "Undeletable", "DisplayName", "Uid", "FirstName",
          "LastName", "PWDTMF", "ListInDirectory", "DirectorySync"},
         createSubscriber},
        {"sp_ModifySubscriber",
         {"SubscriberObjectID", "DTMFAccessID", "DisplayName", "ConversationName", "PWDTMF", "DirectorySync",
          "DirectorySyncFlags", "DirectorySyncTicket"},
         modifySubscriber},
        {"sp_DeleteSubscriber",
         {"SubscriberObjectID", "DirectorySync", "DirectorySyncFlags", "ForceRemove", "ForceRemoveEAdmin",
          "DirectorySyncTicket"},
         deleteSubscriber},
        {"sp_AddAltDTMFID", {"strGUID", "nParentObjType", "strAltID"}, addAlternateExtension},
        {"sp_RemoveAltDTMFIDsByOID", {"strGUID"}, removeAlternateExtensions},
        {"sp_DeleteDTMFAccessID", {"ParentOID"}, removePrimaryExtension},
        {"sp_DeleteDirectorySyncTicket", {"Ticket"}, deleteDirectorySyncTicket},
        {"csp_SubscriberTemplateCreate", {"Alias", "TemplateOid"}, createSubscriberTemplate},
    };
    return all;
}

const Procedure* find(const QString& name) {
    for (const Procedure& p : procedures())
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0) return &p;
    return nullptr;
}

}  // namespace

std::optional<QStringList> ServerProcedures::parameters(const QString& procedure) const {
    const Procedure* p = find(procedure);
    return p ? std::optional<QStringList>(p->parameters) : std::nullopt;
}

std::optional<ProcedureResult> ServerProcedures::call(QSqlDatabase& db, const QString& procedure,
                                                      const QVariantMap& arguments) {
    const Procedure* p = find(procedure);
    if (!p) throw platform::Error(2812, QStringLiteral("Could not find stored procedure '%1'.").arg(procedure));
    const Args args(arguments);
    Result result;
    sql::asOneUnit(db, [&] { result = p->run(db, args); });
    return result;
}

}  // namespace voxaren
