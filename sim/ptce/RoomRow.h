#pragma once
// One row of vmstable as the gateway keeps it. NULL columns are empty optionals,
// so a vacant room's NULL names stay distinct from empty text.
#include <QString>
#include <array>
#include <optional>

namespace ptce {

// What travels with a guest when the gateway moves or swaps rooms.
struct Guest {
    std::optional<QString> firstName;
    std::optional<QString> lastName;
    std::optional<int> language;
    std::optional<QString> password;

    bool operator==(const Guest&) const = default;
};

struct RoomRow {
    QString roomno;
    QString otherroomno = QStringLiteral("0");
    // Extension1..Extension5; Extension1 is never NULL.
    std::array<std::optional<QString>, 5> extensions;
    Guest guest;
    QString occStatus = QStringLiteral("0");
    int updByPtce = 0;
    int updByVms = 0;
    int unreadMsgCount = 0;

    bool occupied() const { return occStatus == QLatin1String("1"); }
    bool operator==(const RoomRow&) const = default;
};

}  // namespace ptce
