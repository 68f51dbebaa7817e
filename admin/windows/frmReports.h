#pragma once
// The reports window: turns the service's diagnostic logs for a range of days
// into the Room Activity report (check-ins, check-outs, moves and swaps) or the
// Archived Mailbox report (archived guest mailboxes removed), written as CSV
// files into the log folder. A window of its own, not modal.
#include <QWidget>

#include "admin/core/reports/ReportDefinition.h"
#include "admin/localize/LoadedWindows.h"

struct AdminState;
class QDateEdit;
class QLabel;
class QProgressBar;
class QPushButton;

class frmReports : public QWidget, public LocalizedWindow {
    Q_OBJECT
public:
    // Builds the window and loads it (Form_Load). With a parent it still is a
    // window of its own.
    // The reports read the logs in `admin`'s "Path to Logs" as it stands at each click.
    explicit frmReports(const AdminState& admin, QWidget* parent = nullptr);
    ~frmReports() override;

    // Captions, and both pickers on today's date.
    void Form_Load();
    void AutoInit() override { frmReports_Auto_Init(); }
    void frmReports_Auto_Init();

    void cmdCheckInOutReport_Click();
    void cmdArchivedMailboxReport_Click();
    void cmdExit_Click();

    bool running() const { return m_running; }

protected:
    // The window stays while a report is being built.
    void closeEvent(QCloseEvent* event) override;

private:
    const AdminState& m_admin;
    void buildControls();
    // The one run behind both buttons; procedure names the error trap's procedure.
    void buildReport(reports::ReportKind kind, const char* procedure);
    void setRunning(bool running);
    void showProgress(int parsed, int inRange);
    // The smallest height shows the descriptions whole, as they wrap at the smallest width.
    void fitMinimumHeight();

    bool m_running = false;
    QLabel *lblDateRangeFrom, *lblDateRangeTo, *lblCheckInOut, *lblArchivedMailbox;
    QDateEdit *dtReportStart, *dtReportStop;
    QPushButton *cmdCheckInOutReport, *cmdArchivedMailboxReport, *cmdExit;
    QProgressBar* prgReport;
};
