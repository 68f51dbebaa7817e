#include "admin/ctl/LastSweep.h"

#include <QFile>

#include "common/ErrorNumbers.h"
#include "common/modLogging.h"

using namespace modLogging;

std::optional<LastSweep> readLastSweep(const QString& logFile) {
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Error(errnum::FileNotFound, QStringLiteral("File not found: ") + logFile);
    std::optional<LastSweep> last;
    bool inSweep = false;
    // Entry lines are "time,id,TITLE,primary,secondary,text"; the id tells the entry.
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        const qsizetype firstComma = line.indexOf(',');
        if (firstComma < 0) continue;
        const qsizetype secondComma = line.indexOf(',', firstComma + 1);
        if (secondComma < 0) continue;
        bool numeric = false;
        const int id = line.mid(firstComma + 1, secondComma - firstComma - 1).toInt(&numeric);
        if (!numeric) continue;
        const QString time = QString::fromUtf8(line.left(firstComma));
        if (id == EVENT_SYNC_START) {
            const QString finished = last ? last->lastFinished : QString();
            last = LastSweep();
            last->lastFinished = finished;
            last->start = time;
            inSweep = true;
            continue;
        }
        if (!inSweep) continue;
        switch (id) {
            case EVENT_SYNC_FINISHED:
                last->end = time;
                last->lastFinished = time;
                inSweep = false;
                break;
            case EVENT_CHECK_IN: ++last->checkIns; break;
            case EVENT_CHECK_OUT: ++last->checkOuts; break;
            case EVENT_ROOM_MOVE: ++last->moves; break;
            case EVENT_ROOM_SWAP: ++last->swaps; break;
            case EVENT_ERROR: ++last->errors; break;
            default: break;
        }
    }
    return last;
}
