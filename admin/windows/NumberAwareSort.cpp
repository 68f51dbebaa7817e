#include "admin/windows/NumberAwareSort.h"

#include <QHeaderView>
#include <QTableView>
#include <optional>

namespace {

std::optional<qulonglong> digitsValue(const QVariant& value) {
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    const QString text = value.toString();
    bool number = false;
    const qulonglong n = text.toULongLong(&number);
    if (!number || text.isEmpty() || !text.front().isDigit()) return std::nullopt;
    return n;
}

}  // namespace

NumberAwareSort::NumberAwareSort(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setSortLocaleAware(true);
}

bool NumberAwareSort::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant l = left.data(sortRole());
    const QVariant r = right.data(sortRole());
    const std::optional<qulonglong> ln = digitsValue(l);
    const std::optional<qulonglong> rn = digitsValue(r);
    if (ln && rn) return *ln < *rn;
    if (ln || rn) return bool(ln);  // numbers before other texts (empty cells)
    return QSortFilterProxyModel::lessThan(left, right);
}

NumberAwareSort* showSortable(QTableView* view, QAbstractItemModel* source, int sortRole) {
    auto* sorted = new NumberAwareSort(view);
    sorted->setSourceModel(source);
    sorted->setSortRole(sortRole);
    view->setModel(sorted);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->horizontalHeader()->setSortIndicatorClearable(true);
    view->setSortingEnabled(true);
    return sorted;
}
