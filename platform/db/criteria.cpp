#include "platform/db/criteria.h"

#include "platform/db/connection.h"

namespace platform::db {

namespace {

[[noreturn]] void badCriteria(const QString& text, const QString& why) {
    throw Error(errors::BadArguments,
                QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or are in "
                               "conflict with one another. (%1 in \"%2\")")
                    .arg(why, text));
}

class Scanner {
public:
    explicit Scanner(const QString& text) : m_text(text) {}
    void skipBlanks() {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace()) ++m_pos;
    }
    bool atEnd() {
        skipBlanks();
        return m_pos >= m_text.size();
    }
    QString identifier() {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('[')) {
            const qsizetype close = m_text.indexOf(QLatin1Char(']'), m_pos);
            if (close < 0) badCriteria(m_text, QStringLiteral("unclosed ["));
            const QString name = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            return name;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == QLatin1Char('_')))
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }
    CompareOp op() {
        skipBlanks();
        const QString two = m_text.mid(m_pos, 2);
        const struct {
            const char* text;
            CompareOp op;
        } ops[] = {{"<>", CompareOp::Ne}, {"<=", CompareOp::Le}, {">=", CompareOp::Ge},
                   {"=", CompareOp::Eq},  {"<", CompareOp::Lt},  {">", CompareOp::Gt}};
        for (const auto& o : ops) {
            const QLatin1String t(o.text);
            if (two.startsWith(t)) {
                m_pos += t.size();
                return o.op;
            }
        }
        badCriteria(m_text, QStringLiteral("comparison expected"));
    }
    QString literal() {
        skipBlanks();
        if (m_pos < m_text.size() && (m_text[m_pos] == QLatin1Char('\'') || m_text[m_pos] == QLatin1Char('#'))) {
            const QChar quote = m_text[m_pos++];
            QString value;
            while (true) {
                if (m_pos >= m_text.size()) badCriteria(m_text, QStringLiteral("unclosed quote"));
                const QChar c = m_text[m_pos++];
                if (c == quote) {
                    // A doubled quote stands for one quote.
                    if (m_pos < m_text.size() && m_text[m_pos] == quote) {
                        value += quote;
                        ++m_pos;
                        continue;
                    }
                    return value;
                }
                value += c;
            }
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && !m_text[m_pos].isSpace()) ++m_pos;
        const QString number = m_text.mid(start, m_pos - start);
        bool ok = false;
        number.toDouble(&ok);
        if (!ok) badCriteria(m_text, QStringLiteral("value expected"));
        return number;
    }
    bool keyword(const char* word) {
        skipBlanks();
        const QLatin1String w(word);
        if (m_text.mid(m_pos, w.size()).compare(w, Qt::CaseInsensitive) != 0) return false;
        const qsizetype after = m_pos + w.size();
        if (after < m_text.size() && !m_text[after].isSpace()) return false;
        m_pos = after;
        return true;
    }

private:
    const QString& m_text;
    qsizetype m_pos = 0;
};

template <class T>
bool compare(const T& a, const T& b, CompareOp op) {
    switch (op) {
        case CompareOp::Eq: return a == b;
        case CompareOp::Ne: return !(a == b);
        case CompareOp::Lt: return a < b;
        case CompareOp::Gt: return b < a;
        case CompareOp::Le: return !(b < a);
        case CompareOp::Ge: return !(a < b);
    }
    return false;
}

}  // namespace

Criteria parseCriteria(const QString& text, const std::function<int(const QString&)>& columnIndex) {
    Criteria criteria;
    Scanner scan(text);
    if (scan.atEnd()) return criteria;
    do {
        Condition c;
        const QString name = scan.identifier();
        if (name.isEmpty()) badCriteria(text, QStringLiteral("column name expected"));
        c.column = columnIndex(name);
        if (c.column < 0) badCriteria(text, QStringLiteral("unknown column ") + name);
        c.op = scan.op();
        c.literal = scan.literal();
        bool isNumber = false;
        const double number = c.literal.toDouble(&isNumber);
        if (isNumber) c.number = number;
        criteria.conditions.push_back(c);
    } while (scan.keyword("and"));
    if (!scan.atEnd()) badCriteria(text, QStringLiteral("\"and\" expected"));
    return criteria;
}

bool conditionHolds(const Condition& condition, const QVariant& value, bool numericColumn) {
    if (value.isNull()) return false;
    if (numericColumn) {
        bool okValue = false;
        const double v = value.toDouble(&okValue);
        return okValue && condition.number && compare(v, *condition.number, condition.op);
    }
    const int order = QString::compare(value.toString(), condition.literal, Qt::CaseInsensitive);
    return compare(order, 0, condition.op);
}

std::optional<QString> equalityKey(const QString& literal, bool numericColumn) {
    if (!numericColumn) return literal.toCaseFolded();
    bool ok = false;
    const double v = literal.toDouble(&ok);
    if (!ok) return std::nullopt;
    return QString::number(v, 'g', 17);
}

std::optional<QString> equalityKey(const QVariant& value, bool numericColumn) {
    return equalityKey(value.toString(), numericColumn);
}

}  // namespace platform::db
