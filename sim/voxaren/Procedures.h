#pragma once
// The server's stored procedures, for stored-procedure commands on its
// connection strings. Each has a fixed parameter list (a name it does not
// declare is an error), runs as one unit (all or nothing) and hands back the
// rows its callers read, updatable where they change them:
//
//   sp_CreateSubscriber  @Alias @DtmfAccessId @templateAlias @SubscriberType
//                        @Undeletable @DisplayName @Uid @FirstName @LastName
//                        @PWDTMF @ListInDirectory @DirectorySync
//                        -> the new subscriber's vw_Subscriber row
//   sp_ModifySubscriber  @SubscriberObjectID @DTMFAccessID @DisplayName
//                        @ConversationName @PWDTMF @DirectorySync
//                        @DirectorySyncFlags @DirectorySyncTicket
//                        -> the subscriber's vw_Subscriber row (none for an
//                        unknown subscriber, which is left alone); with
//                        @DirectorySync = 1 files @DirectorySyncTicket
//   sp_DeleteSubscriber  @SubscriberObjectID @DirectorySync @DirectorySyncFlags
//                        @ForceRemove @ForceRemoveEAdmin @DirectorySyncTicket
//   sp_AddAltDTMFID      @strGUID @nParentObjType @strAltID
//   sp_RemoveAltDTMFIDsByOID   @strGUID       (every alternate extension)
//   sp_DeleteDTMFAccessID      @ParentOID     (the primary extension)
//   sp_DeleteDirectorySyncTicket  @Ticket
//   csp_SubscriberTemplateCreate  @Alias @TemplateOid
//                        -> the new template's SubscriberTemplate row
//
// Only the parameters a caller sets are applied; a refused request raises
// platform::Error 50000 with the reason.
#include "platform/db/command.h"

namespace voxaren {

class ServerProcedures : public platform::db::ProcedureProvider {
public:
    std::optional<QStringList> parameters(const QString& procedure) const override;
    std::optional<platform::db::ProcedureResult> call(QSqlDatabase& db, const QString& procedure,
                                                      const QVariantMap& arguments) override;
};

}  // namespace voxaren
