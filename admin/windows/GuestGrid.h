#pragma once
// The guest view's grid: a table model over the guest rows, with keyed
// columns. Code finds a column by its key, never by a fixed index:
//
//   0  (none)               hidden
//   1  CheckedIn            a check box: ticked for a checked-in guest
//   2  Extension            3 FirstName   4 LastName   5 DisplayName
//   6  DateCheckedIn        7 DateCheckedOut
//   8  SubscriberObjectID   hidden; the actions read it from the selected row
#include <QAbstractTableModel>
#include <vector>

#include "admin/core/guests/GuestList.h"

class GuestGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GuestGridModel(QObject* parent = nullptr);

    // What a click on a header sorts by: the dates as dates, the check box
    // as its state, the other cells as their text.
    static constexpr int SortRole = Qt::UserRole;

    // The column of a key, -1 for a key the grid does not have.
    static int columnOf(const QString& key);
    // The keys of the columns the grid shows, in their order.
    static QStringList shownKeys();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The grid cut back to its header, then these rows.
    void setRows(std::vector<GuestRow> rows);
    const GuestRow& guest(int row) const { return m_rows[size_t(row)]; }
    // A cell's text by row and column key ("" outside the grid).
    QString cell(int row, const QString& key) const;
    // The header texts anew, in the current language.
    void captionsChanged();

private:
    std::vector<GuestRow> m_rows;
};
