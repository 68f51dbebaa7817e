#pragma once
// Shows the lines of a log one under the other in the widget's font (the
// viewer's is fixed-pitch), laying out and painting only the lines in view,
// so neither opening nor following a log costs more as the log grows. The
// administrator selects lines with the mouse or the keyboard (Shift extends
// the selection, Ctrl+A takes every line) and copies them with Ctrl+C.
// Nothing can be typed into it.
#include <QAbstractScrollArea>
#include <optional>
#include <utility>

class LogLines;

class LogLineView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LogLineView(QWidget* parent = nullptr);

    // The lines shown (nothing when null); the view does not own them.
    void setLines(const LogLines* lines);
    // The lines were refreshed; after a restart the lines selected are void.
    void linesChanged(bool restarted);
    // Puts the current line on the last line, without a selection, and
    // scrolls it into view: the newest lines are shown.
    void showEnd();

    qsizetype lineCount() const;
    // The line the keyboard moves from (-1 when there is none).
    qsizetype currentLine() const { return m_current; }
    // The first and last line selected.
    std::optional<std::pair<qsizetype, qsizetype>> selection() const;
    void selectAll();
    // The lines selected, with "\n" line ends, as the clipboard receives them.
    QString selectedText() const;
    // Every line, with "\n" line ends.
    QString text() const;
    // Puts the lines selected on the clipboard.
    void copy() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int lineHeight() const;
    // Whole lines that fit in the viewport, at least one.
    int linesInView() const;
    qsizetype firstLineInView() const;
    qsizetype lineAt(int y) const;
    void updateScrollBars();
    // Makes `line` current; with `extend` the selection reaches from its anchor to it.
    void moveCurrent(qsizetype line, bool extend);
    void scrollToLine(qsizetype line);
    // Paints the lines from `first` to `last` that are in view anew.
    void updateLines(qsizetype first, qsizetype last);

    const LogLines* m_lines = nullptr;
    // Lines when the view last heard of a change.
    qsizetype m_shownCount = 0;
    qsizetype m_current = -1;
    qsizetype m_anchor = -1;
    bool m_selected = false;
};
