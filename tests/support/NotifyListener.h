#pragma once
// A socket where systemd would listen (NOTIFY_SOCKET), collecting the status
// messages a service sends.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QStringList>

class NotifyListener {
public:
    explicit NotifyListener(const QString& path) : m_path(path) {
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~NotifyListener() { ::close(m_fd); }
    QStringList messages() {
        char buffer[512];
        ssize_t n;
        while ((n = ::recv(m_fd, buffer, sizeof buffer, 0)) > 0) m_messages << QString::fromUtf8(buffer, int(n)).trimmed();
        return m_messages;
    }
    QStringList statuses() {
        QStringList result;
        for (const QString& m : messages())
            for (const QString& line : m.split(QLatin1Char('\n')))
                if (line.startsWith(QLatin1String("STATUS="))) result << line.mid(7);
        return result;
    }

private:
    QString m_path;
    int m_fd = -1;
    QStringList m_messages;
};

