#pragma once
// The guest view: every hotel-guest subscriber of the voice-messaging server,
// checked-in guests and archived mailboxes alike, with the password reset,
// the un-checkout of an archived guest, Refresh and Exit. A window of its
// own, not modal; started for the guest view only (the word Guestview, or a
// machine without a server) it is the program's one window, and leaving it
// ends the program.
#include <QStringList>
#include <QWidget>

#include "admin/core/Prompt.h"
#include "admin/localize/LoadedWindows.h"

class GuestGridModel;
struct AdminState;
class NumberAwareSort;
class QProgressBar;
class QPushButton;
class QModelIndex;
class QTableView;

class frmGuestView : public QWidget, public LocalizedWindow {
    Q_OBJECT
public:
    // arguments: the program's command line.
    frmGuestView(AdminState& admin, QStringList arguments, QWidget* parent = nullptr);
    ~frmGuestView() override;

    // Captions, the server to work on, and the guest list. False when the
    // program is to end (no usable server chosen with the remote flag).
    bool Form_Load();
    void AutoInit() override { frmGuestView_Auto_Init(); }
    void frmGuestView_Auto_Init();

    // Fills the grid from the server; with no guests it says so and keeps the grid.
    void LoadGridInfo();
    void cmdResetPassword_Click();
    void cmdUncheckout_Click();
    void cmdRefresh_Click();
    // Every checked-in guest's lamps set anew, with progress and the counts at the end.
    void cmdResyncLamps_Click();
    void cmdExit_Click();

    // Whether leaving this window ends the program, and whether it has.
    bool endsProgram() const;
    bool ended() const { return m_ended; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // A row chosen in the grid: the Un-Checkout button follows its guest.
    void gridGuests_SelChange(int row);
    // The guest row of the selected row, -1 when none is selected.
    int currentRow() const;
    // The guest row a row of the (sorted) grid shows.
    int guestRow(const QModelIndex& index) const;
    void widenToShowEveryColumn();
    void sizeColumns();
    void setBusy(bool busy);
    // What the guest actions tell, shown over this window.
    Tell tellHere();
    // Shows the remote-connection window modally; false when it ended the program.
    bool chooseRemoteServer();

    AdminState& m_admin;
    QStringList m_arguments;
    bool m_ended = false;
    bool m_busy = false;
    GuestGridModel* m_guests;
    NumberAwareSort* m_sorted;
    QTableView* gridGuests;
    QPushButton *cmdResetPassword, *cmdUncheckout, *cmdRefresh, *cmdResyncLamps, *cmdExit;
    QProgressBar* prgLamps;
};
