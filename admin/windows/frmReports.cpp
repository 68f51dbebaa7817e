#include "admin/windows/frmReports.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "admin/core/AdminState.h"
#include "admin/core/Prompt.h"
#include "admin/core/reports/ReportBuilder.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/BusyCursor.h"
#include "admin/windows/DesktopViewer.h"
#include "admin/windows/Pickers.h"
#include "admin/windows/WidgetHelpers.h"
#include "common/ErrorTrap.h"
#include "platform/clock.h"
#include "platform/datefmt.h"
#include "platform/eventpump.h"

using modLocalize::myLoadResString;
using reports::ReportKind;
using reports::ReportResult;

namespace {

// Sizes in twips.
constexpr int kMinWidth = 7800;
constexpr int kButtonWidth = 2200;
constexpr int kSpacing = 120;

QDateEdit* datePicker(QWidget* parent, const char* name) {
    auto* picker = named(new DatePicker(parent), name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(platform::datefmt::regionalFormat().datePattern);
    return picker;
}

}  // namespace

frmReports::frmReports(const AdminState& admin, QWidget* parent)
    : QWidget(parent, Qt::Window), LocalizedWindow(this), m_admin(admin) {
    setObjectName(QStringLiteral("frmReports"));
    buildControls();
    Form_Load();
}

frmReports::~frmReports() = default;

void frmReports::buildControls() {
    lblDateRangeFrom = named(new QLabel(this), "lblDateRangeFrom");
    lblDateRangeTo = named(new QLabel(this), "lblDateRangeTo");
    dtReportStart = datePicker(this, "dtReportStart");
    dtReportStop = datePicker(this, "dtReportStop");
    lblDateRangeFrom->setBuddy(dtReportStart);
    lblDateRangeTo->setBuddy(dtReportStop);

    cmdCheckInOutReport = named(new QPushButton(this), "cmdCheckInOutReport");
    cmdArchivedMailboxReport = named(new QPushButton(this), "cmdArchivedMailboxReport");
    lblCheckInOut = named(new QLabel(this), "lblCheckInOut");
    lblArchivedMailbox = named(new QLabel(this), "lblArchivedMailbox");
    for (QPushButton* report : {cmdCheckInOutReport, cmdArchivedMailboxReport})
        report->setMinimumWidth(twips(kButtonWidth));
    for (QLabel* description : {lblCheckInOut, lblArchivedMailbox}) {
        description->setWordWrap(true);
        description->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    lblCheckInOut->setBuddy(cmdCheckInOutReport);
    lblArchivedMailbox->setBuddy(cmdArchivedMailboxReport);
    connect(cmdCheckInOutReport, &QPushButton::clicked, this, &frmReports::cmdCheckInOutReport_Click);
    connect(cmdArchivedMailboxReport, &QPushButton::clicked, this, &frmReports::cmdArchivedMailboxReport_Click);

    prgReport = named(new QProgressBar(this), "prgReport");
    prgReport->setFormat(QStringLiteral("%v / %m"));
    QSizePolicy keepPlace = prgReport->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    prgReport->setSizePolicy(keepPlace);
    prgReport->hide();
    cmdExit = named(new QPushButton(this), "cmdExit");
    connect(cmdExit, &QPushButton::clicked, this, &frmReports::cmdExit_Click);

    auto* range = new QHBoxLayout;
    range->addWidget(lblDateRangeFrom);
    range->addWidget(dtReportStart);
    range->addSpacing(twips(kSpacing * 2));
    range->addWidget(lblDateRangeTo);
    range->addWidget(dtReportStop);
    range->addStretch();

    auto* choices = new QGridLayout;
    choices->setHorizontalSpacing(twips(kSpacing * 2));
    choices->setVerticalSpacing(twips(kSpacing));
    choices->setColumnStretch(1, 1);
    choices->addWidget(cmdCheckInOutReport, 0, 0);
    choices->addWidget(lblCheckInOut, 0, 1);
    choices->addWidget(cmdArchivedMailboxReport, 1, 0);
    choices->addWidget(lblArchivedMailbox, 1, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(prgReport, 1);
    bottom->addSpacing(twips(kSpacing * 2));
    bottom->addWidget(cmdExit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(separator(this));
    layout->addLayout(choices);
    layout->addStretch();
    layout->addWidget(separator(this));
    layout->addLayout(bottom);
    setMinimumWidth(twips(kMinWidth));
}

void frmReports::Form_Load() {
    ErrorTrap trap("Form_Load", "Form", "frmReports");
    trap.step([this] { frmReports_Auto_Init(); });
    trap.step([this] {
        const QDate today = platform::clock().now().date();
        dtReportStart->setDate(today);
        dtReportStop->setDate(today);
    });
}

void frmReports::frmReports_Auto_Init() {
    modLocalize::ApplyLanguageFont(this);
    setWindowTitle(myLoadResString(1040));
    cmdCheckInOutReport->setText(myLoadResString(1088));
    cmdArchivedMailboxReport->setText(myLoadResString(1026));
    lblCheckInOut->setText(myLoadResString(1083));
    lblArchivedMailbox->setText(myLoadResString(1084));
    lblDateRangeFrom->setText(myLoadResString(1090));
    lblDateRangeTo->setText(myLoadResString(1115));
    cmdExit->setText(myLoadResString(1058));
    fitMinimumHeight();
}

void frmReports::fitMinimumHeight() {
    // A window's own minimum ignores how far its labels wrap: it is made tall
    // enough for the descriptions wrapped at the smallest width.
    layout()->activate();
    const int width = qMax(minimumWidth(), layout()->totalMinimumSize().width());
    setMinimumHeight(layout()->totalHeightForWidth(width));
}

void frmReports::cmdCheckInOutReport_Click() { buildReport(ReportKind::RoomActivity, "cmdCheckInOutReport_Click"); }

void frmReports::cmdArchivedMailboxReport_Click() {
    buildReport(ReportKind::ArchivedMailbox, "cmdArchivedMailboxReport_Click");
}

void frmReports::cmdExit_Click() { close(); }

void frmReports::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void frmReports::buildReport(ReportKind kind, const char* procedure) {
    if (m_running) return;
    ErrorTrap trap(procedure, "Form", "frmReports");
    const reports::ReportRequest request{kind, m_admin.settings.PathToLogs, dtReportStart->date(),
                                         dtReportStop->date(), QString()};
    if (request.startDay > request.stopDay) {
        prompt().message(myLoadResString(1105), this, Prompt::Kind::Warning);
        return;
    }

    ReportResult result;
    {
        setRunning(true);
        BusyCursor busy;
        reports::ReportBuilder builder(trap);
        builder.setProgress([this](int parsed, int inRange) { showProgress(parsed, inRange); });
        // A long run keeps the window alive: its events are handled at the
        // pauses every 100 lines, at most once per pump interval.
        builder.setYield(platform::EventPump());
        result = builder.build(request);
        setRunning(false);
    }

    switch (result.status) {
    case ReportResult::Status::Refused:
        prompt().message(myLoadResString(1105), this, Prompt::Kind::Warning);
        return;
    case ReportResult::Status::NoLogFolder:
        prompt().message(myLoadResString(1128), this, Prompt::Kind::Warning);
        return;
    case ReportResult::Status::CannotWrite:
        return;  // the trap has shown why
    case ReportResult::Status::Written:
        break;
    }
    if (result.parsedFiles == 0) {
        prompt().message(myLoadResString(1073), this);
        return;
    }
    const QString question = QLatin1Char(' ') + QString::number(result.parsedFiles) + myLoadResString(1001) +
                             result.path + QLatin1Char('\n') + myLoadResString(1080);
    if (!prompt().okCancel(question, this)) return;
    trap.step([&] { openInDesktopViewer(result.path, this); });
}

void frmReports::setRunning(bool running) {
    m_running = running;
    for (QWidget* control : std::initializer_list<QWidget*>{dtReportStart, dtReportStop, cmdCheckInOutReport,
                                                             cmdArchivedMailboxReport, cmdExit})
        control->setEnabled(!running);
    prgReport->setVisible(running);
}

void frmReports::showProgress(int parsed, int inRange) {
    prgReport->setRange(0, qMax(inRange, 1));
    prgReport->setValue(parsed);
    QCoreApplication::processEvents();
}
