#pragma once
// The grids' sorting on a click of a column header: texts of digits (rooms,
// extensions) as numbers, so 102 comes before 1019; other texts without
// regard to case, in the language's order; other values (dates) as
// themselves. Until a header is clicked the rows keep their query's order,
// and a third click on the same header brings that order back.
#include <QSortFilterProxyModel>

class QTableView;

class NumberAwareSort : public QSortFilterProxyModel {
public:
    explicit NumberAwareSort(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

// Puts `source` behind a NumberAwareSort in `view` and lets its headers sort.
NumberAwareSort* showSortable(QTableView* view, QAbstractItemModel* source, int sortRole = Qt::DisplayRole);
