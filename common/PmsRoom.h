#pragma once
// One row of the PMS room table (`vmstable`) as the gateway had written it
// when it was read: the columns the gateway owns, kept so that a change the
// gateway makes afterwards can be told apart from what the system acted on,
// and the rules by which every part of the system reads a guest's names and
// language from it.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace platform::db {
class Recordset;
}

class PmsRoom {
public:
    // The columns the gateway writes, in the table's order.
    static const QStringList& gatewayColumns();
    // Longer names are cut: no guest has one, and a row holding one is damaged.
    static constexpr int kMaxNameLength = 255;

    PmsRoom() = default;
    // The gateway's columns of the recordset's current row (those it has).
    static PmsRoom fromCurrentRow(const platform::db::Recordset& rows);
    // A row known by its extension alone: it matches whatever the row holds.
    static PmsRoom withExtension(const QString& extension);

    // The gateway columns this image holds, in the table's order.
    const QStringList& columns() const { return m_columns; }
    bool isNull(const QString& column) const;
    QString text(const QString& column) const;  // "" for NULL or a column it lacks
    QString extension() const { return text(QStringLiteral("Extension1")); }

    bool occupied() const { return text(QStringLiteral("OccStatus")) == QLatin1String("1"); }
    bool flagged() const;  // upd_by_ptce above 0
    // A move or swap row names its partner room: otherroomno above "0", as text.
    bool hasPartner() const { return text(QStringLiteral("otherroomno")) > QLatin1String("0"); }

    // The guest's names as the system uses them: "" for NULL, cut to kMaxNameLength.
    QString firstName() const { return name(QStringLiteral("firstname")); }
    QString lastName() const { return name(QStringLiteral("lastname")); }
    // Whether the uncut name is longer than kMaxNameLength.
    bool nameIsCut(const QString& column) const { return text(column).size() > kMaxNameLength; }
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

    QJsonObject toJson() const;
    static PmsRoom fromJson(const QJsonObject& json);

private:
    QString name(const QString& column) const { return text(column).left(kMaxNameLength); }
    int indexOf(const QString& column) const;

    QStringList m_columns;
    QVariantList m_values;
};
