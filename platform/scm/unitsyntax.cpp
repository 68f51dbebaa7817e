#include "platform/scm/unitsyntax.h"

namespace platform::scm {

namespace {

bool isControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }

QString quoted(const QString& text, bool escapeDollar) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '\\': out += QLatin1String("\\\\"); break;
            case '"': out += QLatin1String("\\\""); break;
            case '\n': out += QLatin1String("\\n"); break;
            case '\r': out += QLatin1String("\\r"); break;
            case '\t': out += QLatin1String("\\t"); break;
            case '%': out += QLatin1String("%%"); break;
            case '$': out += escapeDollar ? QLatin1String("$$") : QLatin1String("$"); break;
            default:
                if (isControl(c))
                    out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
                else
                    out += c;
        }
    }
    return out + QLatin1Char('"');
}

}  // namespace

QString unitPlainText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('%'))
            out += QLatin1String("%%");
        else
            out += isControl(c) ? QLatin1Char(' ') : c;
    }
    // A line that ends in a backslash goes on in the next line.
    if (out.endsWith(QLatin1Char('\\'))) out += QLatin1Char(' ');
    return out;
}

QString unitExecWord(const QString& word) { return quoted(word, true); }

QString unitEnvironmentAssignment(const QString& name, const QString& value) {
    return quoted(name + QLatin1Char('=') + value, false);
}

QString unitOptionalPath(const QString& path) {
    if (!path.startsWith(QLatin1Char('/'))) return QString();
    QString out = QStringLiteral("\"-");
    for (const QChar c : path) {
        if (isControl(c)) return QString();
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) out += QLatin1Char('\\');
        out += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    return out + QLatin1Char('"');
}

}  // namespace platform::scm
