#include "platform/db/recordset.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include "platform/db/cells.h"
#include "platform/db/connection.h"
#include "platform/db/rowwriter.h"

namespace platform::db {

namespace {

enum class RowStatus { Unchanged, Modified, New, Deleted };

struct Column {
    QString name;
    bool numeric = false;
};

// What a change to a row keeps until it is written: the row as it was, and
// which columns changed.
struct RowChange {
    QVector<QVariant> original;
    std::vector<bool> changed;
};

// What a row holds besides its values (in Cells). Most rows are only read:
// what a change needs is kept apart, from the first change until the update.
struct Row {
    std::unique_ptr<RowChange> change;
    RowStatus status = RowStatus::Unchanged;
};

bool isNumericType(int typeId) {
    switch (typeId) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
        case QMetaType::Double: case QMetaType::Float: case QMetaType::Bool:
        case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

Error noCurrentRecord() {
    return Error(errors::NoCurrentRecord,
                 QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. Requested "
                                "operation requires a current record."));
}

}  // namespace

struct Recordset::Data {
    QString sql;
    QVariantList parameters;
    QString connectionString;
    std::vector<Column> columns;
    QHash<QString, int> byName;  // folded name -> column
    QHash<QString, int> byExactName;  // the name as the query spelled it -> column: the usual look-up, no folding
    std::vector<Row> rows;
    Cells cells;
    std::vector<int> view;       // visible rows in order
    int pos = 0;                 // index into view; view.size() is EOF, -1 BOF
    bool afterDelete = false;    // the current row was deleted; the next row waits
    Criteria criteria;
    Predicate predicate;
    QHash<int, QHash<QString, std::vector<int>>> indexes;
    std::vector<int> viewPos;    // row -> position in view, -1 when hidden
    bool viewPosStale = true;
    QString table;
    QStringList keyColumns;

    QVariant& cell(int row, int column) { return cells.at(size_t(row), size_t(column)); }
    const QVariant& cell(int row, int column) const { return cells.at(size_t(row), size_t(column)); }
    QVector<QVariant> valuesOf(int row) const {
        QVector<QVariant> values;
        values.reserve(qsizetype(columns.size()));
        for (int c = 0; c < int(columns.size()); ++c) values.append(cell(row, c));
        return values;
    }
    std::unique_ptr<RowChange> changeOf(int row) const {
        return std::make_unique<RowChange>(
            RowChange{valuesOf(row), std::vector<bool>(columns.size(), false)});
    }
    void setValues(int row, const QVector<QVariant>& values) {
        for (int c = 0; c < int(values.size()); ++c) cell(row, c) = values[c];
    }
};

QVariant RowRef::value(const QString& column) const { return m_rs.d->cell(m_row, m_rs.column(column)); }

QString RowRef::text(const QString& column) const {
    const QVariant v = value(column);
    return v.isNull() ? QString() : v.toString();
}

Recordset::Recordset() : d(std::make_unique<Data>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

void Recordset::Open(const QString& sql, const QString& connectionString, CursorTypeEnum cursorType, LockTypeEnum lockType,
                     int options) {
    Open(sql, QVariantList(), connectionString, cursorType, lockType, options);
}

void Recordset::Open(const QString& sql, const QVariantList& parameters, const QString& connectionString,
                     CursorTypeEnum cursorType, LockTypeEnum lockType, int /*options*/) {
    Close();
    d = std::make_unique<Data>();
    d->sql = sql;
    d->parameters = parameters;
    d->connectionString = connectionString;
    m_cursorType = cursorType;
    m_lockType = lockType == adLockUnspecified ? adLockReadOnly : lockType;
    execute(sql, parameters);
}

void Recordset::execute(const QString& sql, const QVariantList& parameters) {
    // A query may run again when the link is found gone; anything else may
    // already have changed data.
    static const QRegularExpression query(QStringLiteral("^\\s*select\\s"), QRegularExpression::CaseInsensitiveOption);
    const bool readsOnly = query.match(sql).hasMatch();
    withReconnect(d->connectionString, [&](Attempt& attempt) {
        if (!readsOnly) attempt.changing();
        executeOnce(sql, parameters);
    });
}

void Recordset::executeOnce(const QString& sql, const QVariantList& parameters) {
    QSqlDatabase db = database(d->connectionString);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    bool ok = query.prepare(translateSql(d->connectionString, sql));
    if (ok) {
        for (const QVariant& v : parameters) query.addBindValue(bindable(v));
        ok = query.exec();
    }
    if (!ok) throw databaseError(query.lastError());
    load(query);
    if (m_lockType != adLockReadOnly) {
        d->table = updatableTable(sql);
        const ConnectionSpec& spec = connectionSpec(d->connectionString);
        if (!d->table.isEmpty() && spec.baseTableOf) {
            const QString base = spec.baseTableOf(d->table);
            if (!base.isEmpty()) d->table = base;
        }
        if (!d->table.isEmpty()) {
            const QStringList key = primaryKey(db, d->table);
            bool allPresent = !key.isEmpty();
            for (const QString& k : key) allPresent = allPresent && HasField(k);
            if (allPresent) d->keyColumns = key;
        }
    }
}

void Recordset::attach(const QString& connectionString, LockTypeEnum lockType) {
    d->connectionString = connectionString;
    m_lockType = lockType;
}

void Recordset::load(QSqlQuery& query) {
    const QSqlRecord record = query.record();
    d->columns.clear();
    d->byName.clear();
    d->byExactName.clear();
    for (int i = 0; i < record.count(); ++i) {
        d->columns.push_back({record.fieldName(i), isNumericType(record.field(i).metaType().id())});
        d->byName.insert(record.fieldName(i).toCaseFolded(), i);
    }
    // The same column as the folded look-up finds, whatever the spelling.
    for (int i = 0; i < record.count(); ++i)
        d->byExactName.insert(record.fieldName(i), d->byName.value(record.fieldName(i).toCaseFolded()));
    const int n = record.count();
    d->rows.clear();
    d->cells.restart(size_t(n));
    if (query.isSelect()) {
        while (query.next()) {
            d->cells.appendRow([&](size_t column) { return query.value(int(column)); });
            d->rows.emplace_back();
        }
    }
    d->cells.finish();
    m_open = true;
    dropIndexes();
    rebuildView();
}

void Recordset::requireOpen() const {
    if (!m_open)
        throw Error(errors::ObjectClosed, QStringLiteral("Operation is not allowed when the object is closed."));
}

void Recordset::requireUpdatable() const {
    requireOpen();
    if (m_lockType == adLockReadOnly || d->table.isEmpty())
        throw Error(errors::NotUpdatable,
                    QStringLiteral("Current Recordset does not support updating. This may be a limitation of the "
                                   "provider, or of the selected locktype."));
}

void Recordset::rebuildView() {
    d->view.clear();
    d->view.reserve(d->rows.size());
    for (int r = 0; r < int(d->rows.size()); ++r) {
        if (d->rows[r].status == RowStatus::Deleted) continue;
        bool visible = true;
        if (d->predicate) {
            visible = d->predicate(RowRef(*this, r));
        } else {
            for (const Condition& c : d->criteria.conditions) {
                if (!conditionHolds(c, d->cell(r, c.column), d->columns[c.column].numeric)) {
                    visible = false;
                    break;
                }
            }
        }
        if (visible) d->view.push_back(r);
    }
    d->pos = 0;
    d->afterDelete = false;
    d->viewPosStale = true;
}

long Recordset::RecordCount() const {
    requireOpen();
    return long(d->view.size());
}

bool Recordset::IsBOF() const {
    requireOpen();
    return d->pos < 0 || d->view.empty();
}

bool Recordset::IsEOF() const {
    requireOpen();
    return d->pos >= int(d->view.size()) || d->view.empty();
}

void Recordset::MoveFirst() {
    requireOpen();
    d->pos = 0;
    d->afterDelete = false;
}

void Recordset::MoveLast() {
    requireOpen();
    d->pos = d->view.empty() ? 0 : int(d->view.size()) - 1;
    d->afterDelete = false;
}

void Recordset::MoveNext() {
    requireOpen();
    if (d->afterDelete) {
        d->afterDelete = false;  // the row after the deleted one is already in place
        return;
    }
    if (IsEOF()) throw noCurrentRecord();
    ++d->pos;
}

void Recordset::MovePrevious() {
    requireOpen();
    if (d->afterDelete) d->afterDelete = false;
    if (IsBOF()) throw noCurrentRecord();
    --d->pos;
}

long Recordset::AbsolutePosition() const {
    requireOpen();
    return IsBOF() || IsEOF() ? 0 : d->pos + 1;
}

int Recordset::Bookmark() const { return currentRow(); }

void Recordset::MoveTo(int bookmark) {
    requireOpen();
    // Through the row-to-position map, so visiting rows by bookmark stays linear.
    const int position = viewPosition(bookmark);
    if (position < 0) throw Error(errors::BadArguments, QStringLiteral("The bookmark is not among the visible rows."));
    d->pos = position;
    d->afterDelete = false;
}

int Recordset::viewPosition(int row) {
    if (d->viewPosStale) {
        d->viewPos.assign(d->rows.size(), -1);
        for (int i = 0; i < int(d->view.size()); ++i) d->viewPos[d->view[i]] = i;
        d->viewPosStale = false;
    }
    return row >= 0 && row < int(d->viewPos.size()) ? d->viewPos[row] : -1;
}

int Recordset::FieldCount() const { return int(d->columns.size()); }
QString Recordset::FieldName(int index) const { return d->columns.at(index).name; }
bool Recordset::HasField(const QString& name) const { return columnOrNone(name) >= 0; }
bool Recordset::IsNumericField(const QString& name) const { return d->columns[column(name)].numeric; }

int Recordset::columnOrNone(const QString& name) const {
    const auto exact = d->byExactName.constFind(name);
    if (exact != d->byExactName.constEnd()) return *exact;
    const auto it = d->byName.constFind(name.toCaseFolded());
    return it == d->byName.constEnd() ? -1 : *it;
}

int Recordset::column(const QString& name) const {
    const int found = columnOrNone(name);
    if (found < 0)
        throw Error(errors::ItemNotFound,
                    QStringLiteral("Item cannot be found in the collection corresponding to the requested name or "
                                   "ordinal. (%1)").arg(name));
    return found;
}

int Recordset::currentRow() const {
    requireOpen();
    if (d->afterDelete || IsBOF() || IsEOF()) throw noCurrentRecord();
    return d->view[d->pos];
}

QVariant Recordset::Value(const QString& name) const {
    const int c = column(name);
    return d->cell(currentRow(), c);
}

bool Recordset::IsNull(const QString& name) const { return Value(name).isNull(); }

QString Recordset::Text(const QString& name) const {
    const QVariant v = Value(name);
    return v.isNull() ? QString() : v.toString();
}

void Recordset::SetValue(const QString& name, const QVariant& value) {
    requireUpdatable();
    const int c = column(name);
    const int r = currentRow();
    Row& row = d->rows[r];
    if (!row.change) row.change = d->changeOf(r);
    d->cell(r, c) = value;
    row.change->changed[size_t(c)] = true;
    if (row.status == RowStatus::Unchanged) row.status = RowStatus::Modified;
    d->indexes.remove(c);
}

void Recordset::Update() {
    requireUpdatable();
    const int r = currentRow();
    Row& row = d->rows[r];
    if (row.status != RowStatus::Modified && row.status != RowStatus::New) return;
    RowImage image;
    image.table = d->table;
    for (const Column& c : d->columns) image.columns << c.name;
    image.keyColumns = d->keyColumns;
    image.original = row.change->original;
    image.values = d->valuesOf(r);
    image.changed = row.change->changed;
    withReconnect(d->connectionString, [&](Attempt& attempt) {
        QSqlDatabase db = database(d->connectionString);
        if (row.status != RowStatus::New) {
            writeUpdate(db, image, attempt);
            return;
        }
        const QVariant id = writeInsert(db, image, attempt);
        if (!isMySql(db) && id.isValid()) {
            // Read back what the database filled in (generated keys, defaults).
            QSqlQuery fresh(db);
            fresh.prepare(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?")
                              .arg(db.driver()->escapeIdentifier(d->table, QSqlDriver::TableName)));
            fresh.addBindValue(id);
            if (fresh.exec() && fresh.next()) {
                for (int c = 0; c < int(d->columns.size()); ++c) {
                    const int i = fresh.record().indexOf(d->columns[c].name);
                    if (i >= 0) d->cell(r, c) = fresh.value(i);
                }
            }
        } else {
            const int key = d->keyColumns.size() == 1 ? column(d->keyColumns[0]) : -1;
            if (key >= 0 && d->columns[key].numeric && id.isValid() && d->cell(r, key).isNull()) d->cell(r, key) = id;
        }
    });
    row.status = RowStatus::Unchanged;
    row.change.reset();
}

void Recordset::CancelUpdate() {
    const int r = currentRow();
    Row& row = d->rows[r];
    if (row.status == RowStatus::Modified) {
        d->setValues(r, row.change->original);
        row.change.reset();
        row.status = RowStatus::Unchanged;
        dropIndexes();
    } else if (row.status == RowStatus::New) {
        row.status = RowStatus::Deleted;
        d->view.erase(d->view.begin() + d->pos);
        d->afterDelete = true;
        d->viewPosStale = true;
        dropIndexes();
    }
}

void Recordset::AddNew() {
    requireUpdatable();
    Row row;
    d->cells.appendRow([](size_t) { return QVariant(QMetaType::fromType<QString>()); });
    row.change = d->changeOf(int(d->rows.size()));
    row.status = RowStatus::New;
    d->rows.push_back(std::move(row));
    d->view.push_back(int(d->rows.size()) - 1);
    d->pos = int(d->view.size()) - 1;
    d->afterDelete = false;
    d->viewPosStale = true;
    dropIndexes();
}

void Recordset::Delete() {
    requireUpdatable();
    const int r = currentRow();
    Row& row = d->rows[r];
    if (row.status != RowStatus::New) {
        RowImage image;
        image.table = d->table;
        for (const Column& c : d->columns) image.columns << c.name;
        image.keyColumns = d->keyColumns;
        image.original = row.change ? row.change->original : d->valuesOf(r);
        withReconnect(d->connectionString, [&](Attempt& attempt) {
            QSqlDatabase db = database(d->connectionString);
            writeDelete(db, image, attempt);
        });
    }
    row.status = RowStatus::Deleted;
    d->view.erase(d->view.begin() + d->pos);
    d->afterDelete = true;
    d->viewPosStale = true;
    dropIndexes();
}

void Recordset::Requery() {
    requireOpen();
    const Criteria criteria = d->criteria;
    const Predicate predicate = d->predicate;
    d->rows.clear();
    execute(d->sql, d->parameters);
    d->criteria = criteria;
    d->predicate = predicate;
    rebuildView();
}

void Recordset::Close() {
    if (!m_open) return;
    m_open = false;
    d = std::make_unique<Data>();
    m_filterText.clear();
}

void Recordset::SetFilter(const QString& criteria) {
    requireOpen();
    d->criteria = parseCriteria(criteria, [this](const QString& name) { return columnOrNone(name); });
    d->predicate = nullptr;
    m_filterText = criteria;
    rebuildView();
}

void Recordset::SetFilter(Predicate predicate) {
    requireOpen();
    d->criteria = Criteria();
    d->predicate = std::move(predicate);
    m_filterText.clear();
    rebuildView();
}

void Recordset::dropIndexes() { d->indexes.clear(); }

const std::vector<int>& Recordset::indexFor(int c, const QString& key) {
    auto it = d->indexes.find(c);
    if (it == d->indexes.end()) {
        QHash<QString, std::vector<int>> index;
        index.reserve(qsizetype(d->rows.size()));
        const bool numeric = d->columns[c].numeric;
        for (int r = 0; r < int(d->rows.size()); ++r) {
            const QVariant& v = d->cell(r, c);
            if (v.isNull() || d->rows[r].status == RowStatus::Deleted) continue;
            if (const std::optional<QString> key = equalityKey(v, numeric)) index[*key].push_back(r);
        }
        it = d->indexes.insert(c, std::move(index));
    }
    static const std::vector<int> none;
    const auto hit = it->constFind(key);
    return hit == it->constEnd() ? none : *hit;
}

int Recordset::searchStart(int skip, bool forward) {
    int start = d->pos + (forward ? skip : -skip);
    if (d->afterDelete && !forward) --start;
    d->afterDelete = false;
    return start;
}

bool Recordset::findIndexed(int c, const std::optional<QString>& key, int start, bool forward) {
    const int size = int(d->view.size());
    if (!key) {  // matches no row
        d->pos = forward ? size : -1;
        return false;
    }
    const std::vector<int>& candidates = indexFor(c, *key);
    int best = -1;
    for (int r : candidates) {
        const int p = viewPosition(r);
        if (p < 0) continue;
        if (forward && p >= start && (best < 0 || p < best)) best = p;
        if (!forward && p <= start && (best < 0 || p > best)) best = p;
    }
    d->pos = best >= 0 ? best : (forward ? size : -1);
    return best >= 0;
}

bool Recordset::FindEqual(const QString& columnName, const QVariant& value, int skip, int direction) {
    requireOpen();
    const int c = column(columnName);
    const bool forward = direction != adSearchBackward;
    const int start = searchStart(skip, forward);
    if (value.isNull()) {
        d->pos = forward ? int(d->view.size()) : -1;
        return false;
    }
    return findIndexed(c, equalityKey(value, d->columns[c].numeric), start, forward);
}

bool Recordset::Find(const QString& criteriaText, int skip, int direction) {
    requireOpen();
    const Criteria criteria = parseCriteria(criteriaText, [this](const QString& name) { return columnOrNone(name); });
    const bool forward = direction != adSearchBackward;
    const int size = int(d->view.size());
    const int start = searchStart(skip, forward);
    if (criteria.isSingleEquality()) {
        const Condition& c = criteria.conditions[0];
        return findIndexed(c.column, equalityKey(c.literal, d->columns[c.column].numeric), start, forward);
    }

    for (int p = start; forward ? p < size : p >= 0; p += forward ? 1 : -1) {
        if (p < 0 || p >= size) continue;
        const int r = d->view[p];
        bool all = true;
        for (const Condition& c : criteria.conditions)
            all = all && conditionHolds(c, d->cell(r, c.column), d->columns[c.column].numeric);
        if (all) {
            d->pos = p;
            return true;
        }
    }
    d->pos = forward ? size : -1;
    return false;
}

}  // namespace platform::db
