#include "common/VoiceServerObjects.h"

#include <QFile>

#include "common/ErrorNumbers.h"
#include "common/SystemEnv.h"

std::shared_ptr<IServerObjects> serverObjects() { return systemEnv().serverObjects; }

void ReadAttachmentFromFile(MapiAttachment& attachment, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Error(errnum::FileNotFound, QStringLiteral("File not found: ") + path);
    attachment.Contents = file.readAll();
}
