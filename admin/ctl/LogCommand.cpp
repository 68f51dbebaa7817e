// stavioctl log [--follow]: the service's current diagnostic log, and with
// --follow what the service adds to it, into the next file it begins.
#include <QCoreApplication>
#include <QTimer>
#include <memory>

#include "admin/core/LogFileFollower.h"
#include "admin/ctl/CtlCommand.h"
#include "common/SettingsTable.h"

namespace ctl {

namespace {

constexpr int kPollMs = 250;

QString currentLogFile() { return readSetting(Setting::CurrentLogFile, SettingsReader::Administration).toString(); }

// The log's lines end with CR LF; the terminal's with LF.
void print(QByteArrayView bytes) {
    QByteArray text = bytes.toByteArray();
    text.replace("\r\n", "\n");
    outBytes(text);
}

// Prints what the file gained since the last read; false (reported) when it cannot be read.
bool printAppended(LogFileFollower& follower) {
    try {
        follower.readAppended([](qint64, QByteArrayView bytes) { print(bytes); });
        return true;
    } catch (const std::exception& e) {
        error(QString::fromUtf8(e.what()) + QStringLiteral(": ") + follower.path());
        return false;
    }
}

// Follows the log file the service names, until the program is interrupted.
class Follower {
public:
    // Goes on from where `file` was read to.
    explicit Follower(std::unique_ptr<LogFileFollower> file) : m_file(std::move(file)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(kPollMs);
    }

private:
    void poll() {
        QString named;
        try {
            named = currentLogFile();
        } catch (const std::exception&) {
            named = m_file->path();  // the store is busy: look again next time
        }
        // The service began another file (the day's first sweep, a restart):
        // the rest of the old one, then the new one from its start.
        if (!named.isEmpty() && named != m_file->path()) {
            printAppended(*m_file);
            m_file = std::make_unique<LogFileFollower>(named);
        }
        try {
            m_file->readAppended([](qint64, QByteArrayView bytes) { print(bytes); });
        } catch (const std::exception&) {
            // Not there for a moment (replaced, not made yet): look again next time.
        }
    }

    std::unique_ptr<LogFileFollower> m_file;
    QTimer m_timer;
};

}  // namespace

int runLog(const Arguments& arguments) {
    QString path;
    try {
        path = currentLogFile();
    } catch (const std::exception& e) {
        return refuse(QString::fromUtf8(e.what()));
    }
    if (path.isEmpty()) return refuse(QStringLiteral("the service has not begun a diagnostic log yet (no CurrentLogFile)"));
    auto file = std::make_unique<LogFileFollower>(path);
    const bool read = printAppended(*file);
    if (!arguments.has("--follow")) return read ? kSuccess : kRefused;
    Follower follower(std::move(file));
    return QCoreApplication::exec();
}

}  // namespace ctl
