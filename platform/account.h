#pragma once
// Another account of this machine, as the permissions of the file system see
// it: whether it may make and write files in a folder, the way the kernel
// would decide for it (owner, group and other bits of the folder, and search
// permission on every folder above it). ACLs are not read.
#include <QString>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace platform {

struct Account {
    QString name;
    uid_t uid = 0;
    std::vector<gid_t> groups;  // its primary group first
};

// The account of that name with its groups; nullopt when there is none.
std::optional<Account> findAccount(const QString& name);

// Whether `account` may make files in `folder` (an existing folder).
bool mayWriteIn(const Account& account, const QString& folder);

}  // namespace platform
