#pragma once
// The guest view on a clean voice-messaging server with a fake clock, guests
// made as the service makes them, the administration log in the test's
// folder and the prompts scripted. A dialog that would appear past the prompt
// (and wait for a person) is closed at once and fails the test, except the
// remote-connection window when a test drives it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>
#include <functional>
#include <memory>

#include "admin/core/AdminState.h"
#include "admin/windows/GuestGrid.h"
#include "admin/windows/frmGuestView.h"
#include "admin/windows/frmRemoteConnection.h"
#include "common/PMSConnection.h"
#include "common/SettingsTable.h"
#include "common/VoiceServerConnection.h"
#include "platform/datefmt.h"
#include "platform/registry.h"
#include "sim/ptce/GatewayTable.h"
#include "sim/voxaren/Procedures.h"
#include "tests/admin/AdminFixture.h"
#include "tests/admin/DirectDialogWatch.h"
#include "tests/support/GuestFixture.h"

// The server's procedures, with sp_ModifySubscriber refusing every call.
class RefusingModify : public platform::db::ProcedureProvider {
public:
    std::optional<QStringList> parameters(const QString& procedure) const override {
        return m_server.parameters(procedure);
    }
    std::optional<platform::db::ProcedureResult> call(QSqlDatabase& db, const QString& procedure,
                                                      const QVariantMap& arguments) override {
        if (procedure.compare(QLatin1String("sp_ModifySubscriber"), Qt::CaseInsensitive) == 0)
            throw platform::Error(50000, QStringLiteral("The subscriber is locked by another administrator"));
        return m_server.call(db, procedure, arguments);
    }

private:
    voxaren::ServerProcedures m_server;
};

class GuestViewTest : public AdminFixture<GuestFixture> {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        showErrors();
        environment().setRegionalFormat(platform::datefmt::RegionalFormat{});  // US English: 1/2/2000
        adminState.notifier = notifier;
        adminState.log = std::make_unique<AdminLog>(folder(), QStringLiteral("VoxarenStavioAdmin"));
        adminState.log->Start(QStringLiteral("4.0(3.89)"));
        m_dialogWatch.start([this](QWidget* modal) { return driveRemote && qobject_cast<frmRemoteConnection*>(modal); });
    }
    void TearDown() override {
        m_dialogWatch.stopAndCheck();
        view.reset();
        pms.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AdminFixture::TearDown();
    }

    // Opens the guest view as the program does; false when it ended the program.
    bool open(const QStringList& arguments = {QStringLiteral("VoxarenStavioAdmin")}) {
        view = std::make_unique<frmGuestView>(adminState, arguments);
        const bool stays = view->Form_Load();
        if (stays) view->show();
        return stays;
    }
    // A PMS table of these vacant rooms in the test's folder, named in the settings.
    ptce::GatewayTable& pmsTable(const QStringList& rooms) {
        const QString server = path(QStringLiteral("ptceDB.sqlite"));
        pms = std::make_unique<ptce::GatewayTable>(PMSConnectionString(server));
        pms->addRooms(rooms);
        platform::machineRegistry().createKey(QLatin1String(kSettingsKey));
        platform::machineRegistry().setValue(QLatin1String(kSettingsKey), QStringLiteral("Precipia Server Name"),
                                             platform::RegValue::sz(server));
        return *pms;
    }
    ptce::RoomRow pmsRoom(const QString& extension) { return pms->rows(extension).at(0); }
    QTableView* grid() const { return view->findChild<QTableView*>(QStringLiteral("gridGuests")); }
    // The grid's rows as shown (sorted or not), and the guests in the server's order.
    QSortFilterProxyModel* shown() const { return static_cast<QSortFilterProxyModel*>(grid()->model()); }
    GuestGridModel* guests() const { return static_cast<GuestGridModel*>(shown()->sourceModel()); }
    QPushButton* button(const char* name) const { return view->findChild<QPushButton*>(QLatin1String(name)); }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    // The grid's row of a subscriber, -1 when it shows none.
    int rowOf(const QString& objectId) const {
        for (int r = 0; r < guests()->rowCount(); ++r)
            if (guests()->cell(r, QStringLiteral("SubscriberObjectID")) == objectId) return r;
        return -1;
    }
    QString cell(const QString& objectId, const char* key) const {
        const int row = rowOf(objectId);
        return row < 0 ? QStringLiteral("(no row)") : guests()->cell(row, QLatin1String(key));
    }
    // A click on the row's display name, as the administrator chooses a guest.
    void select(const QString& objectId) {
        const int row = rowOf(objectId);
        ASSERT_GE(row, 0);
        const QModelIndex index =
            shown()->mapFromSource(guests()->index(row, GuestGridModel::columnOf(QStringLiteral("DisplayName"))));
        grid()->scrollTo(index);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(index).center());
    }

    // A guest archived as check-out leaves one: alias "OUT_ROOM" + seconds +
    // "_" + room, extension the room followed by the check-out stamp.
    QString archivedGuest(const QString& room, qint64 seconds, const QString& first, const QString& last,
                          const QString& stamp = QStringLiteral("20260301110000")) {
        const QString id = createGuest(room + stamp, QStringLiteral("OUT_ROOM%1_%2").arg(seconds).arg(room), first, last);
        platform::db::Command rename = command(QStringLiteral("sp_ModifySubscriber"));
        rename.SetParameter(QStringLiteral("@SubscriberObjectID"), id);
        rename.SetParameter(QStringLiteral("@DisplayName"), first + QLatin1Char(' ') + last + QStringLiteral(" - GUEST: CHECKED OUT"));
        rename.Execute();
        return id;
    }
    // "Alias|UID|DisplayName|DTMFAccessID" of a subscriber.
    QString subscriber(const QString& id) {
        return rows(QStringLiteral("SELECT Alias, UID, DisplayName, DTMFAccessID FROM vw_Subscriber WHERE "
                                   "SubscriberObjectID=?"),
                    {id})
            .value(0, QStringLiteral("(gone)"));
    }

    // The administration log's lines after its header, time stamps taken off.
    QStringList adminLogLines() const {
        static const QRegularExpression stamp(QStringLiteral("^\\d+/\\d+/\\d{4}( \\d+:\\d\\d:\\d\\d [AP]M)?: "));
        QStringList lines = readFile(adminState.log->Path()).split(QStringLiteral("\r\n"));
        lines = lines.mid(7);  // the header, ending in an empty line
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        for (QString& line : lines) line.remove(stamp);
        return lines;
    }

    std::unique_ptr<frmGuestView> view;
    std::unique_ptr<ptce::GatewayTable> pms;
    // The remote-connection window is the test's to drive.
    bool driveRemote = false;

private:
    DirectDialogWatch m_dialogWatch;
};
