#include "common/LogFolderFiles.h"

#include <QRegularExpression>

bool isWrittenByThisSystem(const QString& fileName) {
    static const QRegularExpression names(
        QStringLiteral("^(VoxarenStavio_Log_\\d{8}_\\d\\d_\\d\\d_\\d\\d\\.TXT"
                       "|VoxarenStavioAdmin_Log_\\d{6}_\\d\\d_\\d\\d_\\d\\d\\.TXT"
                       "|(Room_Activity|Archived_Room)__\\d{4}(_\\d\\d){5}\\.csv)$"),
        QRegularExpression::CaseInsensitiveOption);
    return names.match(fileName).hasMatch();
}
