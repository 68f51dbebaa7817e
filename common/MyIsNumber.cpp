#include "common/MyIsNumber.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <limits>

#include "common/StavioError.h"

namespace {

std::function<void(const QString&)> errorSink;

// A numeric text as a basic language's IsNumeric accepts it: blanks around,
// an optional sign, digits with an optional fraction and exponent.
bool isNumeric(const QString& text, double& value) {
    static const QRegularExpression numeric(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?\\s*$"));
    if (!numeric.match(text).hasMatch()) return false;
    QString normal = text.trimmed();
    normal.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    value = normal.toDouble(&ok);
    return ok;
}

bool check(const QString& text, qint32 minimum, qint32 maximum) {
    if (text.isEmpty()) return true;
    double value = 0;
    if (!isNumeric(text, value)) return false;
    if (text.contains(QLatin1Char('.'))) return false;
    if (value < 0) return false;
    // The value is held in a 32-bit integer.
    if (value > std::numeric_limits<qint32>::max())
        throw StavioError(errnum::Overflow, QStringLiteral("Overflow"));
    if (value != std::floor(value)) return false;
    if (minimum == 0 && maximum == 0) return true;
    return value >= minimum && value <= maximum;
}

}  // namespace

bool MyIsNumber(const QString& text, qint32 minimum, qint32 maximum) {
    try {
        return check(text, minimum, maximum);
    } catch (const StavioError& e) {
        const QString message = QStringLiteral("Error in MyIsNumber function:") + e.description();
        if (errorSink)
            errorSink(message);
        else
            fprintf(stderr, "%s\n", qPrintable(message));
        return false;
    }
}

void SetMyIsNumberErrorSink(std::function<void(const QString&)> sink) { errorSink = std::move(sink); }
