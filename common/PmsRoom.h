#pragma once
// One row of the PMS room table (`vmstable`) as the gateway had written it
// when it was read: the columns the gateway owns, kept so that a change the
// gateway makes afterwards can be told apart from what the system acted on,
// and the rules by which every part of the system reads a room from it:
// occupied, flagged, its partner room, its guest's names and language.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <optional>
#include <vector>

namespace platform::db {
class Recordset;
}

// The table's columns as the system uses them, the gateway's first, in the
// table's order. Their names are the table's own (PmsRoomTable::name).
enum class PmsColumn {
    RoomNumber,
    PartnerRoom,
    PrimaryExtension,
    SecondExtension,
    ThirdExtension,
    FourthExtension,
    FifthExtension,
    FirstName,
    LastName,
    Language,
    Password,
    Occupancy,
    ChangeFlag,  // raised by the gateway, cleared by the service
    // Written by the service alone.
    ChangeCounter,
    UnreadCount,
};

class PmsRoom {
public:
    // The columns the gateway writes: PmsColumn::RoomNumber to ChangeFlag.
    static constexpr int kGatewayColumns = int(PmsColumn::ChangeFlag) + 1;
    // Longer names are cut: no guest has one, and a row holding one is damaged.
    static constexpr int kMaxNameLength = 255;

    PmsRoom() = default;
    // The gateway's columns of the recordset's current row (those it has).
    static PmsRoom fromCurrentRow(const platform::db::Recordset& rows);
    // A row known by its extension alone: it matches whatever the row holds.
    static PmsRoom withExtension(const QString& extension);

    // The gateway columns this image holds, in the table's order.
    std::vector<PmsColumn> columns() const;
    bool isNull(PmsColumn column) const;
    QString text(PmsColumn column) const;  // "" for NULL or a column it lacks
    QString extension() const { return text(PmsColumn::PrimaryExtension); }
    QString roomNumber() const { return text(PmsColumn::RoomNumber); }
    QString partnerRoom() const { return text(PmsColumn::PartnerRoom); }
    QString password() const { return text(PmsColumn::Password); }
    // The second to fifth extensions, as the row holds them ("" for NULL).
    QStringList secondaryExtensions() const;

    bool occupied() const { return text(PmsColumn::Occupancy) == QLatin1String("1"); }
    bool flagged() const;  // the change flag above 0
    // A move or swap row names its partner room: above "0", as text.
    bool hasPartner() const { return partnerRoom() > QLatin1String("0"); }

    // The guest's names as the system uses them: "" for NULL, cut to kMaxNameLength.
    QString firstName() const { return name(PmsColumn::FirstName); }
    QString lastName() const { return name(PmsColumn::LastName); }
    QString name(PmsColumn column) const { return text(column).left(kMaxNameLength); }
    // Whether the uncut name is longer than kMaxNameLength.
    bool nameIsCut(PmsColumn column) const { return text(column).size() > kMaxNameLength; }
    // The PMS language as a number; none for NULL or for a text that is no number.
    std::optional<qint32> language() const;

    // Whether the row names another guest than the one whose names a mailbox
    // holds: first and last name both differ (letter case, blanks around and
    // a " - GUEST" suffix aside; an empty name tells nothing). A change of one
    // of the two is the same guest, renamed.
    bool namesAnotherGuestThan(const QString& heldFirstName, const QString& heldLastName) const;

    // Whether `current` (the same row, read again) still holds what this
    // image holds in each of its columns.
    bool sameAs(const platform::db::Recordset& current) const;

    // Keyed by the columns' names, as the guest-action journal keeps it.
    QJsonObject toJson() const;
    static PmsRoom fromJson(const QJsonObject& json);

private:
    bool holds(PmsColumn column) const { return m_held & (1u << unsigned(column)); }
    void set(PmsColumn column, const QVariant& value);

    std::array<QVariant, kGatewayColumns> m_values;
    unsigned m_held = 0;  // one bit per column held
};
