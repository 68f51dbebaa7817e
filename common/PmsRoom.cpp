#include "common/PmsRoom.h"

#include <QJsonValue>

#include "platform/db/recordset.h"

const QStringList& PmsRoom::gatewayColumns() {
    static const QStringList columns{
        QStringLiteral("roomno"),     QStringLiteral("otherroomno"), QStringLiteral("Extension1"),
        QStringLiteral("Extension2"), QStringLiteral("Extension3"),  QStringLiteral("Extension4"),
        QStringLiteral("Extension5"), QStringLiteral("firstname"),   QStringLiteral("lastname"),
        QStringLiteral("Language"),   QStringLiteral("Password"),    QStringLiteral("OccStatus"),
        QStringLiteral("upd_by_ptce")};
    return columns;
}

PmsRoom PmsRoom::fromCurrentRow(const platform::db::Recordset& rows) {
    PmsRoom room;
    for (const QString& column : gatewayColumns()) {
        if (!rows.HasField(column)) continue;
        room.m_columns << column;
        room.m_values << rows.Value(column);
    }
    return room;
}

PmsRoom PmsRoom::withExtension(const QString& extension) {
    PmsRoom room;
    room.m_columns << QStringLiteral("Extension1");
    room.m_values << extension;
    return room;
}

int PmsRoom::indexOf(const QString& column) const { return int(m_columns.indexOf(column)); }

bool PmsRoom::isNull(const QString& column) const {
    const int i = indexOf(column);
    return i < 0 || m_values[i].isNull();
}

QString PmsRoom::text(const QString& column) const {
    const int i = indexOf(column);
    return i < 0 || m_values[i].isNull() ? QString() : m_values[i].toString();
}

bool PmsRoom::flagged() const { return text(QStringLiteral("upd_by_ptce")).trimmed().toLongLong() > 0; }

std::optional<qint32> PmsRoom::language() const {
    if (isNull(QStringLiteral("Language"))) return std::nullopt;
    bool numeric = false;
    const qint32 language = text(QStringLiteral("Language")).trimmed().toInt(&numeric);
    if (!numeric) return std::nullopt;
    return language;
}

bool PmsRoom::namesAnotherGuestThan(const QString& heldFirstName, const QString& heldLastName) const {
    const auto bare = [](QString name) {
        name = name.trimmed();
        const QString suffix = QStringLiteral(" - GUEST");
        if (name.endsWith(suffix, Qt::CaseInsensitive)) name.chop(suffix.size());
        return name.trimmed();
    };
    const auto differs = [&](const QString& held, const QString& named) {
        const QString a = bare(held), b = bare(named);
        return !a.isEmpty() && !b.isEmpty() && a.compare(b, Qt::CaseInsensitive) != 0;
    };
    return differs(heldFirstName, firstName()) && differs(heldLastName, lastName());
}

bool PmsRoom::sameAs(const platform::db::Recordset& current) const {
    for (int i = 0; i < m_columns.size(); ++i) {
        const QVariant now = current.Value(m_columns[i]);
        // Compared as text: the same column read twice may come back as
        // another numeric type, and an image read back from its JSON holds text.
        if (now.isNull() != m_values[i].isNull()) return false;
        if (!now.isNull() && now.toString() != m_values[i].toString()) return false;
    }
    return true;
}

QJsonObject PmsRoom::toJson() const {
    QJsonObject json;
    for (int i = 0; i < m_columns.size(); ++i)
        json.insert(m_columns[i], m_values[i].isNull() ? QJsonValue() : QJsonValue(m_values[i].toString()));
    return json;
}

PmsRoom PmsRoom::fromJson(const QJsonObject& json) {
    PmsRoom room;
    for (const QString& column : gatewayColumns()) {
        if (!json.contains(column)) continue;
        const QJsonValue value = json.value(column);
        room.m_columns << column;
        room.m_values << (value.isString() ? QVariant(value.toString()) : QVariant());
    }
    return room;
}
