#include "admin/windows/LogLineView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <climits>
#include <cmath>

#include "admin/LogLines.h"

namespace {
// Room at the left of the text, as a text box leaves it.
constexpr int kMargin = 4;

int clampToInt(qint64 value) { return int(std::clamp<qint64>(value, 0, INT_MAX)); }
}  // namespace

LogLineView::LogLineView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    updateScrollBars();
}

void LogLineView::setLines(const LogLines* lines) {
    m_lines = lines;
    linesChanged(true);
}

qsizetype LogLineView::lineCount() const { return m_lines ? m_lines->count() : 0; }

void LogLineView::linesChanged(bool restarted) {
    const qsizetype before = m_shownCount;
    m_shownCount = lineCount();
    updateScrollBars();
    if (restarted) {
        m_current = m_anchor = -1;
        m_selected = false;
        viewport()->update();
    } else {
        updateLines(before - 1, m_shownCount - 1);  // the last line may have grown
    }
}

void LogLineView::showEnd() {
    // The old current line is either selected or the last one, which
    // linesChanged() painted anew.
    const auto selected = selection();
    m_current = m_anchor = lineCount() - 1;
    m_selected = false;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    if (selected) updateLines(selected->first, selected->second);
    updateLines(m_current, m_current);
}

std::optional<std::pair<qsizetype, qsizetype>> LogLineView::selection() const {
    if (!m_selected || m_current < 0 || m_anchor < 0) return std::nullopt;
    return std::pair{std::min(m_anchor, m_current), std::max(m_anchor, m_current)};
}

void LogLineView::selectAll() {
    if (lineCount() == 0) return;
    updateLines(0, lineCount() - 1);
    m_anchor = 0;
    m_current = lineCount() - 1;
    m_selected = true;
}

QString LogLineView::selectedText() const {
    const auto lines = selection();
    return lines && m_lines ? m_lines->text(lines->first, lines->second) : QString();
}

QString LogLineView::text() const { return m_lines ? m_lines->text(0, m_lines->count() - 1) : QString(); }

void LogLineView::copy() const {
    if (selection()) QGuiApplication::clipboard()->setText(selectedText());
}

int LogLineView::lineHeight() const { return std::max(1, fontMetrics().lineSpacing()); }

int LogLineView::linesInView() const { return std::max(1, viewport()->height() / lineHeight()); }

qsizetype LogLineView::firstLineInView() const { return verticalScrollBar()->value(); }

qsizetype LogLineView::lineAt(int y) const {
    return firstLineInView() + qsizetype(std::floor(double(y) / lineHeight()));
}

void LogLineView::updateScrollBars() {
    const int inView = linesInView();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, clampToInt(lineCount() - inView));
    vertical->setSingleStep(1);
    vertical->setPageStep(inView);

    // The longest line's bytes bound its characters; each is as wide as any in a fixed-pitch font.
    const int charWidth = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M')));
    const qint64 textWidth = m_lines ? m_lines->longestLine() * charWidth + 2 * kMargin : 0;
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, clampToInt(textWidth - viewport()->width()));
    horizontal->setSingleStep(charWidth);
    horizontal->setPageStep(std::max(1, viewport()->width()));
}

void LogLineView::moveCurrent(qsizetype line, bool extend) {
    const auto before = selection();
    const qsizetype current = m_current;
    if (!extend)
        m_anchor = line;
    else if (!m_selected)
        m_anchor = m_current >= 0 ? m_current : line;
    m_current = line;
    m_selected = true;
    scrollToLine(line);
    // What was selected and what is: a line that changed lies in one of them or is the old current one.
    const auto after = selection();
    qsizetype first = std::min(after->first, current >= 0 ? current : after->first);
    qsizetype last = std::max(after->second, current);
    if (before) {
        first = std::min(first, before->first);
        last = std::max(last, before->second);
    }
    updateLines(first, last);
}

void LogLineView::updateLines(qsizetype first, qsizetype last) {
    const qsizetype top = std::max(first, firstLineInView());
    const qsizetype bottom = std::min(last, firstLineInView() + linesInView());
    if (top > bottom) return;
    const int height = lineHeight();
    viewport()->update(0, int(top - firstLineInView()) * height, viewport()->width(), int(bottom - top + 1) * height);
}

void LogLineView::scrollContentsBy(int dx, int dy) {
    // What stays in view is moved, not painted again.
    viewport()->scroll(dx, dy * lineHeight());
}

void LogLineView::scrollToLine(qsizetype line) {
    const qsizetype first = firstLineInView();
    if (line < first)
        verticalScrollBar()->setValue(clampToInt(line));
    else if (line >= first + linesInView())
        verticalScrollBar()->setValue(clampToInt(line - linesInView() + 1));
}

void LogLineView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (lineCount() == 0) return;
    const int height = lineHeight();
    const qsizetype first = firstLineInView();
    const QRect area = event->rect();
    const qsizetype from = first + std::max(0, area.top()) / height;
    const qsizetype to = std::min(lineCount() - 1, first + std::max(0, area.bottom()) / height);
    const int x = kMargin - horizontalScrollBar()->value();
    const int ascent = fontMetrics().ascent();
    const auto selected = selection();
    painter.setFont(font());
    for (qsizetype line = from; line <= to; ++line) {
        const QRect row(0, int(line - first) * height, viewport()->width(), height);
        const bool isSelected = selected && line >= selected->first && line <= selected->second;
        if (isSelected) painter.fillRect(row, palette().brush(QPalette::Highlight));
        painter.setPen(palette().color(isSelected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(x, row.top() + ascent, m_lines->line(line));
        if (line == m_current && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = row;
            focus.backgroundColor = palette().color(isSelected ? QPalette::Highlight : QPalette::Base);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
}

void LogLineView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    // A view that showed the end keeps showing it.
    const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    updateScrollBars();
    if (atEnd) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogLineView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const qsizetype from = m_current >= 0 ? m_current : firstLineInView();
    qsizetype target = 0;
    switch (event->key()) {
    case Qt::Key_Up: target = from - 1; break;
    case Qt::Key_Down: target = from + 1; break;
    case Qt::Key_PageUp: target = from - linesInView(); break;
    case Qt::Key_PageDown: target = from + linesInView(); break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = lineCount() - 1; break;
    case Qt::Key_Left: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Right: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    if (lineCount() == 0) return;
    moveCurrent(std::clamp<qsizetype>(target, 0, lineCount() - 1), event->modifiers().testFlag(Qt::ShiftModifier));
}

void LogLineView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || lineCount() == 0) return QAbstractScrollArea::mousePressEvent(event);
    moveCurrent(std::clamp<qsizetype>(lineAt(event->position().toPoint().y()), 0, lineCount() - 1),
                event->modifiers().testFlag(Qt::ShiftModifier));
}

void LogLineView::mouseMoveEvent(QMouseEvent* event) {
    if (!event->buttons().testFlag(Qt::LeftButton) || lineCount() == 0) return QAbstractScrollArea::mouseMoveEvent(event);
    // Dragging past the top or bottom edge scrolls on, a line at a time.
    moveCurrent(std::clamp<qsizetype>(lineAt(event->position().toPoint().y()), 0, lineCount() - 1), true);
}

void LogLineView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateScrollBars();
        viewport()->update();
    }
}

void LogLineView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    updateLines(m_current, m_current);
}

void LogLineView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    updateLines(m_current, m_current);
}
