// The view of a log's lines: selecting lines with the mouse and the keyboard,
// copying them, and following the end as lines arrive.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "admin/LogLines.h"
#include "admin/windows/LogLineView.h"

namespace {

using Selection = std::optional<std::pair<qsizetype, qsizetype>>;

class LogLineViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        write(numbered(0, 100));
        lines.refresh();
        view.setLines(&lines);
        view.resize(400, 200);
        view.show();
        view.showEnd();
        QApplication::processEvents();
    }
    static QByteArray numbered(int from, int to) {
        QByteArray bytes;
        for (int i = from; i < to; ++i) bytes += "12/6/2026 7:05:09 AM,1019,SYNC_DEBUG,,,line " + QByteArray::number(i) + "\r\n";
        return bytes;
    }
    // The text of lines `first` to `last` as the clipboard must receive it.
    static QString expectedText(int first, int last) {
        return QString::fromLatin1(numbered(first, last + 1)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    void write(const QByteArray& bytes, QIODevice::OpenMode mode = QIODevice::WriteOnly) {
        QFile file(log);
        ASSERT_TRUE(file.open(mode));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    qsizetype firstInView() const { return view.verticalScrollBar()->value(); }
    // The middle of the `row`th line in view.
    QPoint rowPoint(int row) const {
        const int height = view.fontMetrics().lineSpacing();
        return {20, row * height + height / 2};
    }
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {}) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(view.viewport(), &event);
    }

    QTemporaryDir dir;
    QString log = dir.filePath(QStringLiteral("VoxarenStavio_Log_20261206_07_05_09.TXT"));
    LogLines lines{log};
    LogLineView view;
};

}  // namespace

TEST_F(LogLineViewTest, ShowsTheEndWithTheLastLineCurrentAndNothingSelected) {
    EXPECT_EQ(view.lineCount(), 100);
    EXPECT_EQ(view.currentLine(), 99);
    EXPECT_EQ(view.selection(), Selection());
    EXPECT_GT(firstInView(), 80);
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 100 - view.verticalScrollBar()->pageStep());
    EXPECT_EQ(view.text(), expectedText(0, 99));
}

TEST_F(LogLineViewTest, ClickAndShiftClickSelectLinesAndCtrlCCopiesThem) {
    const qsizetype first = firstInView();
    mouse(QEvent::MouseButtonPress, rowPoint(2), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, rowPoint(2), Qt::NoButton);
    EXPECT_EQ(view.selection(), Selection({first + 2, first + 2}));
    mouse(QEvent::MouseButtonPress, rowPoint(6), Qt::LeftButton, Qt::ShiftModifier);
    mouse(QEvent::MouseButtonRelease, rowPoint(6), Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(view.selection(), Selection({first + 2, first + 6}));
    EXPECT_EQ(view.currentLine(), first + 6);

    QApplication::clipboard()->clear();
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), expectedText(int(first + 2), int(first + 6)));

    // Shift and an arrow move the selection's far end; an arrow alone selects the line it reaches.
    QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(view.selection(), Selection({first + 2, first + 5}));
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(view.selection(), Selection({first + 6, first + 6}));
}

TEST_F(LogLineViewTest, DraggingSelectsTheLinesPassedAndScrollsAtTheTop) {
    const qsizetype first = firstInView();
    mouse(QEvent::MouseButtonPress, rowPoint(3), Qt::LeftButton);
    mouse(QEvent::MouseMove, rowPoint(1), Qt::LeftButton);
    EXPECT_EQ(view.selection(), Selection({first + 1, first + 3}));
    // Above the top edge: the line above the view is taken and brought into view.
    mouse(QEvent::MouseMove, QPoint(20, -3), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPoint(20, -3), Qt::NoButton);
    EXPECT_EQ(view.selection(), Selection({first - 1, first + 3}));
    EXPECT_EQ(firstInView(), first - 1);
    // Moving without the button pressed selects nothing more.
    mouse(QEvent::MouseMove, rowPoint(6), Qt::NoButton);
    EXPECT_EQ(view.selection(), Selection({first - 1, first + 3}));
}

TEST_F(LogLineViewTest, KeysMoveAndSelectAcrossTheWholeLog) {
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.currentLine(), 0);
    EXPECT_EQ(firstInView(), 0);
    QTest::keyClick(&view, Qt::Key_Up);  // no line before the first
    EXPECT_EQ(view.selection(), Selection({0, 0}));
    QTest::keyClick(&view, Qt::Key_PageDown, Qt::ShiftModifier);
    const qsizetype page = view.verticalScrollBar()->pageStep();
    EXPECT_GT(page, 3);
    EXPECT_EQ(view.selection(), Selection({0, page}));
    EXPECT_EQ(firstInView(), 1);  // the new current line brought into view

    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.selection(), Selection({0, 99}));
    EXPECT_EQ(view.selectedText(), view.text());
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.selection(), Selection({99, 99}));
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    QTest::keyClick(&view, Qt::Key_Down);  // no line after the last
    EXPECT_EQ(view.currentLine(), 99);
}

TEST_F(LogLineViewTest, NewLinesKeepTheSelectionUntilTheEndIsShownAndAReadAnewDropsIt) {
    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    write(numbered(100, 130), QIODevice::Append);
    lines.refresh();
    view.linesChanged(false);
    EXPECT_EQ(view.lineCount(), 130);
    EXPECT_EQ(view.selection(), Selection({0, 1}));
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 130 - view.verticalScrollBar()->pageStep());
    view.showEnd();  // what a refresh does: the caret on the newest line
    EXPECT_EQ(view.selection(), Selection());
    EXPECT_EQ(view.currentLine(), 129);
    EXPECT_EQ(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());

    QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);  // from the caret
    EXPECT_EQ(view.selection(), Selection({128, 129}));
    write(numbered(0, 5));
    EXPECT_TRUE(lines.refresh().restarted);
    view.linesChanged(true);
    EXPECT_EQ(view.selection(), Selection());
    EXPECT_EQ(view.currentLine(), -1);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);  // nothing to copy, nothing breaks
    EXPECT_EQ(view.text(), expectedText(0, 4));
    mouse(QEvent::MouseButtonPress, rowPoint(3), Qt::LeftButton, Qt::ShiftModifier);  // no line to extend from
    EXPECT_EQ(view.selection(), Selection({3, 3}));
}

TEST_F(LogLineViewTest, ALongLineScrollsSideways) {
    view.resize(800, 200);
    QApplication::processEvents();
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);  // every line fits
    const QByteArray longLine = "12/6/2026 7:05:09 AM,4,ERROR,,," + QByteArray(300, 'e') + "\r\n";
    write(longLine, QIODevice::Append);
    lines.refresh();
    view.linesChanged(false);
    const int charWidth = view.fontMetrics().horizontalAdvance(QLatin1Char('M'));
    EXPECT_GE(view.horizontalScrollBar()->maximum(), int(longLine.size() - 2) * charWidth - view.viewport()->width());
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.horizontalScrollBar()->value(), charWidth);
    QTest::keyClick(&view, Qt::Key_Left);
    EXPECT_EQ(view.horizontalScrollBar()->value(), 0);
}

TEST_F(LogLineViewTest, WhatIsPaintedLineByLineMatchesAFreshPaint) {
    // The view moves what stays in view and paints only the lines that
    // changed; the screen must look as if all had been painted anew.
    QApplication::setActiveWindow(&view);
    view.clearFocus();
    view.setFocus(Qt::ShortcutFocusReason);  // by keyboard: styles frame the current line then
    ASSERT_TRUE(view.hasFocus());
    ASSERT_TRUE(view.testAttribute(Qt::WA_KeyboardFocusChange));
    const auto expectScreenAsFreshPaint = [this](const char* step) {
        QApplication::processEvents();
        const QImage screen = view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        const QImage fresh = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(screen.size(), fresh.size()) << step;
        EXPECT_TRUE(screen == fresh) << step;
    };
    expectScreenAsFreshPaint("the end shown");
    mouse(QEvent::MouseButtonPress, rowPoint(2), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, rowPoint(2), Qt::NoButton);
    expectScreenAsFreshPaint("a line clicked");
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    expectScreenAsFreshPaint("the selection extended");
    QTest::keyClick(&view, Qt::Key_Down);
    expectScreenAsFreshPaint("the selection moved on");
    QTest::keyClick(&view, Qt::Key_PageUp);
    expectScreenAsFreshPaint("a page up");
    write(numbered(100, 103), QIODevice::Append);
    lines.refresh();
    view.linesChanged(false);
    view.showEnd();
    expectScreenAsFreshPaint("new lines followed");
    write("12/6/2026 7:05:10 AM,1012,SYNC_FINISHED,,,", QIODevice::Append);
    lines.refresh();
    view.linesChanged(false);
    view.showEnd();
    expectScreenAsFreshPaint("a line begun");
    write("done\r\n", QIODevice::Append);
    lines.refresh();
    view.linesChanged(false);
    expectScreenAsFreshPaint("the last line grown");
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() - 7);
    expectScreenAsFreshPaint("scrolled up");
    write("12/6/2026 7:05:11 AM,1012,SYNC_START,,," + QByteArray(120, 'w') + "\r\n", QIODevice::Append);
    lines.refresh();
    view.linesChanged(false);
    view.showEnd();
    QTest::keyClick(&view, Qt::Key_Right);
    expectScreenAsFreshPaint("scrolled sideways");
    mouse(QEvent::MouseButtonPress, rowPoint(4), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, rowPoint(4), Qt::NoButton);
    expectScreenAsFreshPaint("a line near the end clicked");
    write(numbered(200, 202), QIODevice::Append);
    lines.refresh();
    view.linesChanged(false);
    view.showEnd();
    expectScreenAsFreshPaint("a selection in view dropped as new lines are followed");
    view.clearFocus();
    expectScreenAsFreshPaint("the focus gone");
}
