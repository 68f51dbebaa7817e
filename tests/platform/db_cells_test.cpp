#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/db/cells.h"

using platform::db::Cells;

namespace {

// Rows of `columns` values: row r, column c holds "r.c", or `shared` when given.
void fill(Cells& cells, size_t rows, size_t columns, const QString& shared = QString()) {
    cells.restart(columns);
    for (size_t r = 0; r < rows; ++r)
        cells.appendRow([&](size_t c) {
            return QVariant(shared.isNull() ? QStringLiteral("%1.%2").arg(r).arg(c) : shared);
        });
    cells.finish();
}

// A value held only by `text` once the cells let go of every copy of it.
bool releasedBy(const QString& text) {
    return text.isDetached();
}

}  // namespace

// A query read again builds its rows over the old ones: every old value ends,
// whether a new row took its place or not, and the new rows read back whole
// across the chunks, fewer or more than before.
TEST(CellsTest, RowsReadAgainEndEveryOldValueAndHoldTheNewOnes) {
    const QString old = QStringLiteral("old guest") + QString::number(7);
    Cells cells;
    fill(cells, 100, 3, old);
    EXPECT_FALSE(releasedBy(old));
    fill(cells, 70, 3);
    EXPECT_TRUE(releasedBy(old));
    EXPECT_EQ(cells.at(0, 0).toString(), QStringLiteral("0.0"));
    EXPECT_EQ(cells.at(69, 2).toString(), QStringLiteral("69.2"));

    fill(cells, 130, 3, old);
    fill(cells, 140, 3);
    EXPECT_TRUE(releasedBy(old));
    EXPECT_EQ(cells.at(139, 1).toString(), QStringLiteral("139.1"));

    fill(cells, 10, 5, old);  // another shape: the old rows go at once
    fill(cells, 2, 4);
    EXPECT_TRUE(releasedBy(old));
    EXPECT_EQ(cells.at(1, 3).toString(), QStringLiteral("1.3"));
}

// A value that cannot be made leaves its row whole, null from there on, and
// nothing of the old rows held.
TEST(CellsTest, AValueThatFailsLeavesTheRowWholeAndNothingHeld) {
    const QString old = QStringLiteral("old guest") + QString::number(7);
    {
        Cells cells;
        fill(cells, 5, 3, old);
        cells.restart(3);
        EXPECT_THROW(cells.appendRow([&](size_t c) {
            if (c == 1) throw std::runtime_error("no memory");
            return QVariant(old);
        }),
                     std::runtime_error);
        EXPECT_EQ(cells.at(0, 0).toString(), old);
        EXPECT_TRUE(cells.at(0, 1).isNull());
        EXPECT_TRUE(cells.at(0, 2).isNull());
        cells.finish();
    }
    EXPECT_TRUE(releasedBy(old));
}
