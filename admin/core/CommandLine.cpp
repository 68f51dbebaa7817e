#include "admin/core/CommandLine.h"

bool guestViewRequested(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1))
        if (argument.contains(QLatin1String("guestview"), Qt::CaseInsensitive)) return true;
    return false;
}
