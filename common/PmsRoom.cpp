#include "common/PmsRoom.h"

#include <QJsonValue>

#include "common/PmsRoomTable.h"
#include "platform/db/recordset.h"

namespace {

template <class Visit>
void forEachGatewayColumn(Visit&& visit) {
    for (int i = 0; i < PmsRoom::kGatewayColumns; ++i) visit(PmsColumn(i));
}

}  // namespace

void PmsRoom::set(PmsColumn column, const QVariant& value) {
    m_values[size_t(column)] = value;
    m_held |= 1u << unsigned(column);
}

PmsRoom PmsRoom::fromCurrentRow(const platform::db::Recordset& rows) {
    PmsRoom room;
    forEachGatewayColumn([&](PmsColumn column) {
        const QString& name = PmsRoomTable::name(column);
        if (rows.HasField(name)) room.set(column, rows.Value(name));
    });
    return room;
}

PmsRoom PmsRoom::withExtension(const QString& extension) {
    PmsRoom room;
    room.set(PmsColumn::PrimaryExtension, extension);
    return room;
}

std::vector<PmsColumn> PmsRoom::columns() const {
    std::vector<PmsColumn> held;
    forEachGatewayColumn([&](PmsColumn column) {
        if (holds(column)) held.push_back(column);
    });
    return held;
}

bool PmsRoom::isNull(PmsColumn column) const {
    return int(column) >= kGatewayColumns || !holds(column) || m_values[size_t(column)].isNull();
}

QString PmsRoom::text(PmsColumn column) const { return isNull(column) ? QString() : m_values[size_t(column)].toString(); }

QStringList PmsRoom::secondaryExtensions() const {
    return {text(PmsColumn::SecondExtension), text(PmsColumn::ThirdExtension),
            text(PmsColumn::FourthExtension), text(PmsColumn::FifthExtension)};
}

bool PmsRoom::flagged() const { return text(PmsColumn::ChangeFlag).trimmed().toLongLong() > 0; }

std::optional<qint32> PmsRoom::language() const {
    if (isNull(PmsColumn::Language)) return std::nullopt;
    bool numeric = false;
    const qint32 language = text(PmsColumn::Language).trimmed().toInt(&numeric);
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
    for (const PmsColumn column : columns()) {
        const QVariant now = current.Value(PmsRoomTable::name(column));
        const QVariant& then = m_values[size_t(column)];
        // Compared as text: the same column read twice may come back as
        // another numeric type, and an image read back from its JSON holds text.
        if (now.isNull() != then.isNull()) return false;
        if (!now.isNull() && now.toString() != then.toString()) return false;
    }
    return true;
}

QJsonObject PmsRoom::toJson() const {
    QJsonObject json;
    for (const PmsColumn column : columns()) {
        const QVariant& value = m_values[size_t(column)];
        json.insert(PmsRoomTable::name(column), value.isNull() ? QJsonValue() : QJsonValue(value.toString()));
    }
    return json;
}

PmsRoom PmsRoom::fromJson(const QJsonObject& json) {
    PmsRoom room;
    forEachGatewayColumn([&](PmsColumn column) {
        const QString& name = PmsRoomTable::name(column);
        if (!json.contains(name)) return;
        const QJsonValue value = json.value(name);
        room.set(column, value.isString() ? QVariant(value.toString()) : QVariant());
    });
    return room;
}
