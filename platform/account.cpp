#include "platform/account.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <algorithm>

namespace platform {

namespace {

// Whether the account holds `ownerBits` (written as the owner's: read 4, write 2,
// search 1) on the file `info` describes.
bool holds(const Account& account, const struct stat& info, mode_t ownerBits) {
    if (account.uid == 0) return true;
    if (info.st_uid == account.uid) return (info.st_mode & (ownerBits << 6)) == (ownerBits << 6);
    if (std::find(account.groups.begin(), account.groups.end(), info.st_gid) != account.groups.end())
        return (info.st_mode & (ownerBits << 3)) == (ownerBits << 3);
    return (info.st_mode & ownerBits) == ownerBits;
}

}  // namespace

std::optional<Account> findAccount(const QString& name) {
    const QByteArray user = name.toLocal8Bit();
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwnam_r(user.constData(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return std::nullopt;
    Account account{name, found->pw_uid, {}};
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    while (::getgrouplist(user.constData(), found->pw_gid, groups.data(), &count) < 0) groups.resize(size_t(count));
    groups.resize(size_t(count));
    groups.erase(std::remove(groups.begin(), groups.end(), found->pw_gid), groups.end());
    account.groups.push_back(found->pw_gid);
    account.groups.insert(account.groups.end(), groups.begin(), groups.end());
    return account;
}

bool mayWriteIn(const Account& account, const QString& folder) {
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
    if (!holds(account, info, 3)) return false;  // write and search
    // Search permission on every folder above.
    while (path != QLatin1String("/")) {
        path = QDir::cleanPath(path + QStringLiteral("/.."));
        if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !holds(account, info, 1)) return false;
    }
    return true;
}

}  // namespace platform
