#include "common/VoiceServerObjects.h"

#include <QFile>
#include <mutex>

#include "common/StavioError.h"

namespace {
std::mutex locatorMutex;
std::shared_ptr<IServerObjects> locator;
}  // namespace

void setServerObjects(std::shared_ptr<IServerObjects> objects) {
    std::lock_guard lock(locatorMutex);
    locator = std::move(objects);
}

std::shared_ptr<IServerObjects> serverObjects() {
    std::lock_guard lock(locatorMutex);
    return locator;
}

void ReadAttachmentFromFile(MapiAttachment& attachment, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw StavioError(errnum::FileNotFound, QStringLiteral("File not found: ") + path);
    attachment.Contents = file.readAll();
}
