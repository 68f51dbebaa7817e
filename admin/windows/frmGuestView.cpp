#include "admin/windows/frmGuestView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "admin/core/AdminState.h"
#include "admin/core/CommandLine.h"
#include "admin/core/Prompt.h"
#include "admin/core/guests/GuestPassword.h"
#include "admin/core/guests/LampResync.h"
#include "admin/core/guests/Uncheckout.h"
#include "admin/core/guests/VoiceServerChoice.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/BusyCursor.h"
#include "admin/windows/GuestGrid.h"
#include "admin/windows/NumberAwareSort.h"
#include "admin/windows/WidgetHelpers.h"
#include "admin/windows/frmRemoteConnection.h"
#include "common/ErrorTrap.h"
#include "common/PMSConnection.h"

using modLocalize::myLoadResString;

namespace {

// Sizes in twips.
constexpr int kMinWidth = 7905;
constexpr int kMinHeight = 2520;
constexpr int kStartWidth = 12600;  // the columns of a usual guest list
constexpr int kStartHeight = 6000;

}  // namespace

frmGuestView::frmGuestView(AdminState& admin, QStringList arguments, QWidget* parent)
    : QWidget(parent, Qt::Window),
      LocalizedWindow(this),
      m_admin(admin),
      m_arguments(std::move(arguments)) {
    setObjectName(QStringLiteral("frmGuestView"));
    buildControls();
}

frmGuestView::~frmGuestView() { setBusy(false); }

void frmGuestView::buildControls() {
    m_guests = new GuestGridModel(this);
    gridGuests = named(new QTableView(this), "gridGuests");
    m_sorted = showSortable(gridGuests, m_guests, GuestGridModel::SortRole);
    gridGuests->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridGuests->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridGuests->setSelectionMode(QAbstractItemView::SingleSelection);
    gridGuests->setAlternatingRowColors(true);
    gridGuests->setWordWrap(false);
    gridGuests->verticalHeader()->setVisible(false);
    gridGuests->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gridGuests->verticalHeader()->setDefaultSectionSize(gridGuests->fontMetrics().height() + twips(90));
    gridGuests->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    gridGuests->horizontalHeader()->setHighlightSections(false);
    // A wide window gives the room to the last column.
    gridGuests->horizontalHeader()->setStretchLastSection(true);
    // The first column and the subscriber's object id are not shown.
    for (int column = 0; column < m_guests->columnCount(); ++column) gridGuests->setColumnHidden(column, true);
    for (const QString& key : GuestGridModel::shownKeys())
        gridGuests->setColumnHidden(GuestGridModel::columnOf(key), false);
    // A click on a row (the current one too) and moving with the keys both choose it.
    connect(gridGuests->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { gridGuests_SelChange(guestRow(current)); });
    connect(gridGuests, &QTableView::clicked, this, [this](const QModelIndex& index) { gridGuests_SelChange(guestRow(index)); });

    cmdResetPassword = named(new QPushButton(this), "cmdResetPassword");
    cmdUncheckout = named(new QPushButton(this), "cmdUncheckout");
    cmdRefresh = named(new QPushButton(this), "cmdRefresh");
    cmdResyncLamps = named(new QPushButton(this), "cmdResyncLamps");
    prgLamps = named(new QProgressBar(this), "prgLamps");
    prgLamps->setVisible(false);
    cmdExit = named(new QPushButton(this), "cmdExit");
    cmdUncheckout->setEnabled(false);
    connect(cmdResetPassword, &QPushButton::clicked, this, &frmGuestView::cmdResetPassword_Click);
    connect(cmdUncheckout, &QPushButton::clicked, this, &frmGuestView::cmdUncheckout_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmGuestView::cmdRefresh_Click);
    connect(cmdResyncLamps, &QPushButton::clicked, this, &frmGuestView::cmdResyncLamps_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmGuestView::cmdExit_Click);

    // The grid fills the window above a strip along the bottom that holds the
    // four buttons in a row, Exit at the right.
    auto* strip = new QHBoxLayout;
    strip->addWidget(cmdResetPassword);
    strip->addWidget(cmdUncheckout);
    strip->addWidget(cmdRefresh);
    strip->addWidget(cmdResyncLamps);
    strip->addWidget(prgLamps, 1);
    strip->addStretch();
    strip->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gridGuests, 1);
    layout->addLayout(strip);
    setMinimumSize(twips(kMinWidth), twips(kMinHeight));
    resize(twips(kStartWidth), twips(kStartHeight));
}

bool frmGuestView::Form_Load() {
    frmGuestView_Auto_Init();
    switch (settleVoiceServerConnection(
        m_admin, [this] { return chooseRemoteServer(); }, tellHere())) {
        case VoiceServerChoice::Ready:
            break;
        case VoiceServerChoice::NoServerSelected:
        case VoiceServerChoice::ServerNotValid:
        case VoiceServerChoice::ProgramEnds:
            m_ended = true;
            return false;
    }
    // Lamps are set through the server's notifier, which only its own machine reaches.
    cmdResyncLamps->setEnabled(!m_admin.remote);
    LoadGridInfo();
    return true;
}

void frmGuestView::frmGuestView_Auto_Init() {
    ErrorTrap trap("frmGuestView_Auto_Init", "Form", "frmGuestView");
    trap.step([this] {
        modLocalize::ApplyLanguageFont(this);
        setWindowTitle(myLoadResString(1039));
        cmdResetPassword->setText(myLoadResString(1086));
        cmdUncheckout->setText(myLoadResString(1117));
        cmdRefresh->setText(myLoadResString(1082));
        cmdResyncLamps->setText(myLoadResString(1174));
        prgLamps->setFormat(myLoadResString(1175) + QStringLiteral("%v / %m"));
        cmdExit->setText(myLoadResString(1049));
        m_guests->captionsChanged();
        // Headers of another language keep their columns wide enough.
        if (m_guests->rowCount() > 0) sizeColumns();
    });
}

bool frmGuestView::chooseRemoteServer() {
    frmRemoteConnection remote(m_admin, this);
    if (!remote.Form_Load()) return false;
    remote.exec();
    return true;
}

void frmGuestView::LoadGridInfo() {
    GuestList list;
    {
        BusyCursor busy;
        list = ReadGuestList(m_admin.voiceServerConnection);
        if (list.status == GuestList::Status::Loaded) {
            gridGuests->setUpdatesEnabled(false);
            m_guests->setRows(std::move(list.rows));
            sizeColumns();
            gridGuests->setUpdatesEnabled(true);
            // No row is selected after a reload: nothing to restore yet.
            cmdUncheckout->setEnabled(false);
        }
    }
    if (list.status == GuestList::Status::NoGuests)
        prompt().message(myLoadResString(1071), this, Prompt::Kind::Information);
}

void frmGuestView::sizeColumns() {
    for (const QString& key : GuestGridModel::shownKeys())
        gridGuests->resizeColumnToContents(GuestGridModel::columnOf(key));
    widenToShowEveryColumn();
}

void frmGuestView::widenToShowEveryColumn() {
    // Headers of another language or long names: the window grows, as far as
    // the screen allows, so that no column is cut at its opening size.
    QHeaderView* header = gridGuests->horizontalHeader();
    int columns = 0;
    for (int section = 0; section < header->count(); ++section)
        if (!header->isSectionHidden(section))
            columns += section == header->logicalIndex(header->count() - 1) ? header->sectionSizeHint(section)
                                                                            : header->sectionSize(section);
    const int missing = columns - gridGuests->viewport()->width();
    if (missing <= 0 || isMaximized()) return;
    const QRect room = screen() ? screen()->availableGeometry() : QRect();
    const int width = room.isValid() ? std::min(this->width() + missing, room.width()) : this->width() + missing;
    resize(width, height());
}

int frmGuestView::guestRow(const QModelIndex& index) const {
    const QModelIndex source = m_sorted->mapToSource(index);
    return source.isValid() ? source.row() : -1;
}

int frmGuestView::currentRow() const {
    // The selected row only: after a reload none is, whatever has the focus.
    const QModelIndexList selected = gridGuests->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : guestRow(selected.first());
}

void frmGuestView::gridGuests_SelChange(int row) {
    if (row < 0 || row >= m_guests->rowCount()) return;
    if (m_guests->guest(row).checkedIn)
        cmdUncheckout->setEnabled(false);
    else if (!m_admin.remote)
        cmdUncheckout->setEnabled(true);
}

void frmGuestView::cmdResetPassword_Click() {
    const int row = currentRow();
    if (row < 0) {
        prompt().message(myLoadResString(1064), this, Prompt::Kind::Warning);
        return;
    }
    const QString password =
        prompt().inputText(myLoadResString(1050), QString(), this, myLoadResString(1069)).value_or(QString());
    if (!passwordAcceptable(m_admin, password, tellHere())) return;
    if (!prompt().okCancel(
            myLoadResString(1027) + m_guests->guest(row).displayName + myLoadResString(1022), this,
            myLoadResString(1042)))
        return;
    applyGuestPassword(m_admin, m_guests->guest(row).subscriberObjectId, password, tellHere());
}

void frmGuestView::cmdUncheckout_Click() {
    const int row = currentRow();
    if (row >= 0) {
        const UncheckoutHooks hooks{[this](const QString& text, const QString& title) {
                                        return prompt().okCancel(text, this, title);
                                    },
                                    tellHere(), [this](bool busy) { setBusy(busy); },
                                    [this] { LoadGridInfo(); }};
        UncheckoutGuest(m_admin, m_guests->guest(row).subscriberObjectId, hooks);
    }
    cmdUncheckout->setEnabled(false);
}

Tell frmGuestView::tellHere() {
    return [this](const QString& text, Prompt::Kind kind) { prompt().message(text, this, kind); };
}

void frmGuestView::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmGuestView::cmdRefresh_Click() { LoadGridInfo(); }

void frmGuestView::cmdResyncLamps_Click() {
    const QString pmsServer = storedPmsServer();
    LampResyncOutcome outcome;
    {
        BusyCursor busy;
        cmdResyncLamps->setEnabled(false);
        prgLamps->setValue(0);
        prgLamps->setVisible(true);
        outcome = resynchroniseAllLamps(m_admin, PMSConnectionString(pmsServer),
                                        [this](int done, int total) {
                                            prgLamps->setMaximum(total);
                                            prgLamps->setValue(done);
                                            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                                        });
        prgLamps->setVisible(false);
        cmdResyncLamps->setEnabled(true);
    }
    prompt().message(lampResyncReport(outcome, pmsServer), this, outcome.complete() ? Prompt::Kind::Information : Prompt::Kind::Warning);
}

void frmGuestView::cmdExit_Click() { close(); }

bool frmGuestView::endsProgram() const {
    return guestViewRequested(m_arguments) || m_admin.remote;
}

void frmGuestView::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted() && endsProgram()) {
        m_ended = true;
        QApplication::quit();
    }
}
