#include "admin/windows/GuestGrid.h"

#include "admin/core/localize/LanguageStrings.h"

namespace {

struct Column {
    const char* key;  // "" for the hidden first column
    int caption;      // string id of the header text, 0 for none
    QString GuestRow::*text;
};

constexpr int kCheckedIn = 1;
constexpr int kDateCheckedIn = 6;
constexpr int kDateCheckedOut = 7;

// Dates sort as dates; a row that shows none in the column sorts first.
QVariant sortKey(int column, const GuestRow& row, const QString& text) {
    if (column == kDateCheckedIn || column == kDateCheckedOut) return text.isEmpty() ? QDateTime() : row.dated;
    return text;
}

const std::vector<Column>& columns() {
    static const std::vector<Column> table{
        {"", 0, nullptr},
        {"CheckedIn", 1130, nullptr},
        {"Extension", 1131, &GuestRow::extension},
        {"FirstName", 1132, &GuestRow::firstName},
        {"LastName", 1133, &GuestRow::lastName},
        {"DisplayName", 1134, &GuestRow::displayName},
        {"DateCheckedIn", 1138, &GuestRow::dateCheckedIn},
        {"DateCheckedOut", 1135, &GuestRow::dateCheckedOut},
        {"SubscriberObjectID", 0, &GuestRow::subscriberObjectId},
    };
    return table;
}

}  // namespace

GuestGridModel::GuestGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int GuestGridModel::columnOf(const QString& key) {
    if (key.isEmpty()) return -1;
    for (size_t c = 0; c < columns().size(); ++c)
        if (key == QLatin1String(columns()[c].key)) return int(c);
    return -1;
}

QStringList GuestGridModel::shownKeys() {
    return {QStringLiteral("CheckedIn"),   QStringLiteral("Extension"),     QStringLiteral("FirstName"),
            QStringLiteral("LastName"),    QStringLiteral("DisplayName"),   QStringLiteral("DateCheckedIn"),
            QStringLiteral("DateCheckedOut")};
}

int GuestGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int GuestGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns().size());
}

QVariant GuestGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    const GuestRow& row = m_rows[size_t(index.row())];
    const Column& column = columns()[size_t(index.column())];
    if (index.column() == kCheckedIn) {
        if (role == Qt::CheckStateRole) return row.checkedIn ? Qt::Checked : Qt::Unchecked;
        if (role == SortRole) return int(row.checkedIn);
        return QVariant();
    }
    if (role == Qt::DisplayRole && column.text) return row.*column.text;
    if (role == SortRole && column.text) return sortKey(index.column(), row, row.*column.text);
    return QVariant();
}

QVariant GuestGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const int caption = columns()[size_t(section)].caption;
    return caption ? modLocalize::myLoadResString(caption) : QString();
}

void GuestGridModel::setRows(std::vector<GuestRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QString GuestGridModel::cell(int row, const QString& key) const {
    const int column = columnOf(key);
    if (row < 0 || row >= rowCount() || column < 0) return QString();
    if (column == kCheckedIn) return m_rows[size_t(row)].checkedIn ? QStringLiteral("1") : QStringLiteral("0");
    return m_rows[size_t(row)].*columns()[size_t(column)].text;
}

void GuestGridModel::captionsChanged() { emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1); }
