#pragma once
// The values of a recordset's rows, row after row, in chunks of a few rows:
// a table of thousands of rows costs one allocation per chunk, not one per
// row, and its chunks are small enough to come back from the heap's free
// lists when it is read again (a block of megabytes would be mapped afresh
// each time).
//
// A query read again builds each new row where an old one lay, ending the
// old row's values just before: the memory is walked once, while it is at
// hand, rather than once to end the old rows, once to clear the space and
// once more to fill it.
#include <QVariant>
#include <algorithm>
#include <memory>
#include <vector>

namespace platform::db {

class Cells {
public:
    Cells() = default;
    Cells(const Cells&) = delete;
    Cells& operator=(const Cells&) = delete;
    ~Cells() { clear(); }

    // Begins the rows afresh; the old rows' values end as new rows take their
    // places, the rest at finish().
    void restart(size_t columns) {
        if (columns != m_columns) {
            clear();
            m_columns = columns;
        }
        m_rows = 0;
    }

    // Appends a row of valueOf(0) .. valueOf(columns - 1), each built in place.
    template <typename ValueOf>
    void appendRow(const ValueOf& valueOf) {
        if (m_rows / kChunkRows == m_chunks.size())
            m_chunks.push_back(m_allocator.allocate(kChunkRows * m_columns));
        QVariant* row = &at(m_rows, 0);
        if (m_rows < m_built) std::destroy_n(row, m_columns);
        size_t column = 0;
        try {
            for (; column < m_columns; ++column) new (row + column) QVariant(valueOf(column));
        } catch (...) {
            // The row stays whole (null from here on), so that what is built stays countable.
            for (; column < m_columns; ++column) new (row + column) QVariant();
            endRow();
            throw;
        }
        endRow();
    }

    // Ends the old rows no new row took the place of.
    void finish() {
        for (size_t row = m_rows; row < m_built; ++row) std::destroy_n(&at(row, 0), m_columns);
        m_built = m_rows;
        const size_t chunksInUse = (m_rows + kChunkRows - 1) / kChunkRows;
        while (m_chunks.size() > chunksInUse) {
            m_allocator.deallocate(m_chunks.back(), kChunkRows * m_columns);
            m_chunks.pop_back();
        }
    }

    QVariant& at(size_t row, size_t column) {
        return m_chunks[row / kChunkRows][(row % kChunkRows) * m_columns + column];
    }
    const QVariant& at(size_t row, size_t column) const {
        return m_chunks[row / kChunkRows][(row % kChunkRows) * m_columns + column];
    }

private:
    static constexpr size_t kChunkRows = 64;

    void endRow() {
        ++m_rows;
        m_built = std::max(m_built, m_rows);
    }
    void clear() {
        m_rows = 0;
        finish();
    }

    std::allocator<QVariant> m_allocator;
    size_t m_columns = 0;
    size_t m_rows = 0;   // the rows the recordset holds
    size_t m_built = 0;  // the rows whose values are built: these and old ones not yet replaced
    std::vector<QVariant*> m_chunks;
};

}  // namespace platform::db
