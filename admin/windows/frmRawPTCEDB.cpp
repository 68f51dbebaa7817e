#include "admin/windows/frmRawPTCEDB.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>

#include "admin/core/Prompt.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/BusyCursor.h"
#include "admin/windows/NumberAwareSort.h"
#include "admin/windows/WidgetHelpers.h"
#include "common/ErrorTrap.h"
#include "common/PMSConnection.h"
#include "common/PmsRoomTable.h"
#include "platform/db/connection.h"

using modLocalize::myLoadResString;


namespace {
// A first size that shows the table's columns comfortably, in twips.
constexpr int kStartWidth = 13500;
constexpr int kStartHeight = 7200;
// Columns 1 to 8 after the fixed row-number column are sized to their contents.
constexpr int kSizedColumns = 8;

}  // namespace

frmRawPTCEDB::frmRawPTCEDB(const QString& serverName, QWidget* parent)
    : QWidget(parent, Qt::Window), LocalizedWindow(this), m_serverName(serverName) {
    setObjectName(QStringLiteral("frmRawPTCEDB"));
    m_rows = new QSqlQueryModel(this);
    myGrid = named(new QTableView(this), "myGrid");
    showSortable(myGrid, m_rows);
    myGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    myGrid->setAlternatingRowColors(true);
    // The row numbers are the grid's fixed first column; rows one line high.
    myGrid->verticalHeader()->setVisible(true);
    myGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    myGrid->verticalHeader()->setDefaultSectionSize(myGrid->fontMetrics().height() + twips(90));
    cmdRefresh = named(new QPushButton(this), "cmdRefresh");
    cmdExit = named(new QPushButton(this), "cmdExit");
    connect(cmdRefresh, &QPushButton::clicked, this, &frmRawPTCEDB::cmdRefresh_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmRawPTCEDB::cmdExit_Click);

    // The grid above a strip along the bottom that holds the buttons at the right.
    auto* strip = new QHBoxLayout;
    strip->addStretch();
    strip->addWidget(cmdRefresh);
    strip->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(myGrid, 1);
    layout->addLayout(strip);
    resize(twips(kStartWidth), twips(kStartHeight));
    Form_Load();
}

frmRawPTCEDB::~frmRawPTCEDB() { closeConnection(); }

void frmRawPTCEDB::Form_Load() {
    frmRawPTCEDB_Auto_Init();
    bool opened = false;
    try {
        BusyCursor busy;  // an unreachable server takes its connect time-out
        openConnection();
        query();
        opened = true;
    } catch (const std::exception&) {
        closeConnection();
    }
    // Whatever failed (no server named, server unreachable, no table), the
    // administrator is told to check the server box; the grid stays empty.
    if (!opened) prompt().message(myLoadResString(1136), this, Prompt::Kind::Error);
}

void frmRawPTCEDB::frmRawPTCEDB_Auto_Init() {
    ErrorTrap trap("frmRawPTCEDB_Auto_Init", "Form", "frmRawPTCEDB");
    trap.step([this] {
        modLocalize::ApplyLanguageFont(this);
        setWindowTitle(myLoadResString(1081));
        cmdRefresh->setText(myLoadResString(1082));
        cmdExit->setText(myLoadResString(1049));
    });
}

void frmRawPTCEDB::openConnection() {
    // An empty box would name the database server's default host; it names none.
    if (m_serverName.trimmed().isEmpty())
        throw platform::Error(platform::db::errors::ConnectionFailed, QStringLiteral("No PMS server named"));
    const QSqlDatabase shared = platform::db::database(PMSConnectionString(m_serverName));
    // A connection of the window's own, which lives and goes with the window:
    // its rows stay valid whatever else happens to the program's connections.
    static std::atomic<int> windows{0};
    const QString name = QStringLiteral("frmRawPTCEDB-%1").arg(++windows);
    QSqlDatabase own = QSqlDatabase::cloneDatabase(shared, name);
    m_connectionName = name;
    if (platform::db::isMySql(own))
        own.setConnectOptions(own.connectOptions() + QStringLiteral(";MYSQL_OPT_RECONNECT=1"));
    if (!own.open()) throw platform::db::databaseError(own.lastError());
}

void frmRawPTCEDB::query() {
    QSqlQuery rows(QSqlDatabase::database(m_connectionName, false));
    if (!rows.exec(PmsRoomTable::viewQuery())) throw platform::db::databaseError(rows.lastError());
    m_rows->setQuery(std::move(rows));
    // The model fetches a block at a time as the grid scrolls; the window shows the whole table.
    while (m_rows->canFetchMore()) m_rows->fetchMore();
    for (int column = 0; column < kSizedColumns && column < m_rows->columnCount(); ++column)
        myGrid->resizeColumnToContents(column);
    // The others keep their width, but never cut their name.
    QHeaderView* header = myGrid->horizontalHeader();
    for (int column = kSizedColumns; column < m_rows->columnCount(); ++column)
        myGrid->setColumnWidth(column, std::max(myGrid->columnWidth(column), header->sectionSizeHint(column)));
    myGrid->viewport()->update();
}

void frmRawPTCEDB::closeConnection() {
    if (m_connectionName.isEmpty()) return;
    m_rows->clear();  // the rows' query goes before its connection
    { QSqlDatabase::database(m_connectionName, false).close(); }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

void frmRawPTCEDB::cmdRefresh_Click() {
    if (m_connectionName.isEmpty()) return;  // the opening failed: nothing to query
    BusyCursor busy;
    try {
        query();
    } catch (const std::exception&) {
        // Ignored: the grid shows the rows of the last query that worked.
    }
}

void frmRawPTCEDB::cmdExit_Click() { close(); }
