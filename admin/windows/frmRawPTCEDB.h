#pragma once
// The raw PMS table viewer: every row and column of vmstable as the PMS
// gateway and the service have written it, in the order of the rooms'
// primary extensions. Read-only. A window of its own, not modal.
#include <QString>
#include <QWidget>

#include "admin/localize/LoadedWindows.h"

class QPushButton;
class QSqlQueryModel;
class QTableView;

class frmRawPTCEDB : public QWidget, public LocalizedWindow {
    Q_OBJECT
public:
    // serverName: the settings window's PMS server box as it reads now (an
    // SQLite file's path or a MariaDB host[:port]; blanks around it are
    // ignored). Opens the table at once (Form_Load); a failure shows 1136 and
    // leaves the window open with an empty grid.
    explicit frmRawPTCEDB(const QString& serverName, QWidget* parent = nullptr);
    ~frmRawPTCEDB() override;

    void Form_Load();
    void AutoInit() override { frmRawPTCEDB_Auto_Init(); }
    void frmRawPTCEDB_Auto_Init();

    // Runs the query again; a failure is ignored and the grid keeps its rows.
    void cmdRefresh_Click();
    void cmdExit_Click();

    // The server the window was opened for, as it was given.
    QString serverName() const { return m_serverName; }

private:
    void openConnection();
    // Runs the query on the window's connection and shows its rows; raises
    // platform::Error (and leaves the grid as it was) when it fails.
    void query();
    void closeConnection();

    QString m_serverName;
    QString m_connectionName;  // the window's own connection, "" when none is open
    QTableView* myGrid;
    QSqlQueryModel* m_rows;
    QPushButton* cmdRefresh;
    QPushButton* cmdExit;
};
