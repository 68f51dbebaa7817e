#pragma once
// A recordset as the system uses it: the rows of a query held in memory, a
// current row, filters and finds over those rows, and changes written back
// row by row. Values read as they are stored: NULL stays distinct from "".
#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/db/criteria.h"
#include "platform/error.h"

namespace platform::db {

enum CursorLocationEnum { adUseServer = 2, adUseClient = 3 };
enum CursorTypeEnum { adOpenUnspecified = -1, adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockTypeEnum {
    adLockUnspecified = -1, adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4
};
enum ObjectStateEnum { adStateClosed = 0, adStateOpen = 1 };
enum SearchDirectionEnum { adSearchForward = 1, adSearchBackward = -1 };

class Recordset;

// One row as a filter predicate sees it.
class RowRef {
public:
    RowRef(const Recordset& rs, int row) : m_rs(rs), m_row(row) {}
    QVariant value(const QString& column) const;
    QString text(const QString& column) const;  // "" for NULL

private:
    const Recordset& m_rs;
    int m_row;
};

class Recordset {
public:
    using Predicate = std::function<bool(const RowRef&)>;

    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    // Where the rows are kept. Every recordset here holds its rows in memory
    // (the client side); the property is kept so that callers can say what
    // they ask for, and the layer never reads it.
    CursorLocationEnum CursorLocation = adUseClient;

    // Runs `sql` (with `?` placeholders bound to `parameters`) and holds its rows.
    // Raises platform::Error with the database's number and text on failure.
    // The cursor type is recorded and reported, nothing more: the rows are
    // held whole, so every cursor can move both ways and knows its count.
    // The lock type decides whether rows can be changed (read-only or not);
    // no database lock is held between calls. `options` is accepted for the
    // callers' sake and not used.
    void Open(const QString& sql, const QString& connectionString, CursorTypeEnum cursorType = adOpenForwardOnly,
              LockTypeEnum lockType = adLockReadOnly, int options = -1);
    void Open(const QString& sql, const QVariantList& parameters, const QString& connectionString,
              CursorTypeEnum cursorType = adOpenForwardOnly, LockTypeEnum lockType = adLockReadOnly, int options = -1);

    int State() const { return m_open ? adStateOpen : adStateClosed; }
    int LockType() const { return m_lockType; }
    int CursorType() const { return m_cursorType; }
    long RecordCount() const;  // rows visible through the filter
    bool IsBOF() const;
    bool IsEOF() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    // 1-based position among the visible rows; 0 at BOF or EOF.
    long AbsolutePosition() const;
    // A mark for the current row that MoveTo returns to (also across filters).
    int Bookmark() const;
    void MoveTo(int bookmark);

    int FieldCount() const;
    QString FieldName(int index) const;
    bool HasField(const QString& name) const;
    bool IsNumericField(const QString& name) const;

    // Fields of the current row. An unknown name raises 3265; no current row 3021.
    QVariant Value(const QString& name) const;
    bool IsNull(const QString& name) const;
    QString Text(const QString& name) const;  // "" for NULL
    void SetValue(const QString& name, const QVariant& value);

    // Writes the current row's changed columns back (or inserts a new row).
    void Update();
    void CancelUpdate();
    void AddNew();
    void Delete();
    void Requery();
    void Close();

    // Criteria text ("" clears), or a predicate. Leaves the first visible row current.
    void SetFilter(const QString& criteria);
    void SetFilter(Predicate predicate);
    void ClearFilter() { SetFilter(QString()); }
    QString Filter() const { return m_filterText; }

    // Searches from the current row (skipping `skip` rows first) for the first
    // row meeting `criteria`; leaves it current and returns true, or leaves
    // EOF (BOF backwards) and returns false. Equality finds use a hash index.
    bool Find(const QString& criteria, int skip = 0, int direction = adSearchForward);
    // The same for "column = value" without writing a criteria text.
    bool FindEqual(const QString& column, const QVariant& value, int skip = 0, int direction = adSearchForward);

private:
    friend class RowRef;
    friend class Command;
    struct Data;

    void load(QSqlQuery& query);
    void attach(const QString& connectionString, LockTypeEnum lockType);
    void execute(const QString& sql, const QVariantList& parameters);
    void executeOnce(const QString& sql, const QVariantList& parameters);
    int column(const QString& name) const;  // raises 3265
    int columnOrNone(const QString& name) const;
    int currentRow() const;                 // raises 3021
    void requireOpen() const;
    void requireUpdatable() const;
    void rebuildView();
    const std::vector<int>& indexFor(int column, const QString& key);
    int searchStart(int skip, bool forward);
    int viewPosition(int row);  // -1 when the row is not visible
    bool findIndexed(int column, const std::optional<QString>& key, int start, bool forward);
    void dropIndexes();

    std::unique_ptr<Data> d;
    bool m_open = false;
    int m_cursorType = adOpenForwardOnly;
    int m_lockType = adLockReadOnly;
    QString m_filterText;
};

}  // namespace platform::db
