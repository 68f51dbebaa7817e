#include "common/GuestActionJournal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "common/ErrorTrap.h"
#include "common/ServiceState.h"
#include "platform/registry.h"

namespace {

const QString kKey = QStringLiteral("Software\\Brightkeel\\Stavio\\Guest Action In Progress");
const QString kValue = QStringLiteral("Action");
// Where the swaps of the version before noted theirs, one value a field.
const QString kSwapKey = QStringLiteral("Software\\Brightkeel\\Stavio\\Swap In Progress");

const char* const kKindNames[] = {"check-in", "check-out", "deletion", "room move", "room swap"};

QJsonArray array(const QStringList& list) { return QJsonArray::fromStringList(list); }

QStringList list(const QJsonValue& value) {
    QStringList result;
    for (const QJsonValue& item : value.toArray()) result << item.toString();
    return result;
}

QString toText(const GuestActionNote& note) {
    QJsonArray rows;
    for (const PmsRoom& row : note.rows) rows.append(row.toJson());
    const QJsonObject json{{QStringLiteral("kind"), int(note.kind)},
                           {QStringLiteral("subscribers"), array(note.subscribers)},
                           {QStringLiteral("rooms"), array(note.rooms)},
                           {QStringLiteral("aliases"), array(note.aliases)},
                           {QStringLiteral("room"), note.room},
                           {QStringLiteral("displayName"), note.displayName},
                           {QStringLiteral("firstName"), note.firstName},
                           {QStringLiteral("lastName"), note.lastName},
                           {QStringLiteral("password"), note.password},
                           {QStringLiteral("secondaryRooms"), array(note.secondaryRooms)},
                           {QStringLiteral("rows"), rows},
                           {QStringLiteral("attempts"), note.attempts}};
    return QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact));
}

std::optional<GuestActionNote> fromText(const QString& text) {
    const QJsonObject json = QJsonDocument::fromJson(text.toUtf8()).object();
    const int kind = json.value(QStringLiteral("kind")).toInt(-1);
    if (kind < 0 || kind > int(GuestActionNote::Kind::Swap)) return std::nullopt;
    GuestActionNote note;
    note.kind = GuestActionNote::Kind(kind);
    note.subscribers = list(json.value(QStringLiteral("subscribers")));
    note.rooms = list(json.value(QStringLiteral("rooms")));
    note.aliases = list(json.value(QStringLiteral("aliases")));
    note.room = json.value(QStringLiteral("room")).toString();
    note.displayName = json.value(QStringLiteral("displayName")).toString();
    note.firstName = json.value(QStringLiteral("firstName")).toString();
    note.lastName = json.value(QStringLiteral("lastName")).toString();
    note.password = json.value(QStringLiteral("password")).toString();
    note.secondaryRooms = list(json.value(QStringLiteral("secondaryRooms")));
    for (const QJsonValue& row : json.value(QStringLiteral("rows")).toArray())
        note.rows.push_back(PmsRoom::fromJson(row.toObject()));
    note.attempts = json.value(QStringLiteral("attempts")).toInt();
    return note;
}

// A swap noted by the version before: what each subscriber was to become, no rows.
std::optional<GuestActionNote> olderSwapNote(platform::RegistryStore& store) {
    if (!store.keyExists(kSwapKey)) return std::nullopt;
    const auto field = [&](const char* name) {
        const auto value = store.value(kSwapKey, QLatin1String(name));
        return value ? value->text : QString();
    };
    GuestActionNote note;
    note.kind = GuestActionNote::Kind::Swap;
    note.subscribers = {field("Subscriber 1"), field("Subscriber 2")};
    note.rooms = {field("Room 1"), field("Room 2")};
    note.aliases = {field("Alias 1"), field("Alias 2")};
    note.room = note.rooms.value(1);
    return note;
}

}  // namespace

QString GuestActionNote::kindName() const { return QLatin1String(kKindNames[int(kind)]); }

bool GuestActionJournal::note(GuestActionNote note) {
    note.rows = m_rowsAtHand;
    return write(note);
}

bool GuestActionJournal::write(const GuestActionNote& note) {
    ErrorTrap trap("NoteGuestActionInProgress", "Module", "modPMSFunctions");
    // One value, written at once: a note is either whole or not there.
    return trap.step([&] {
        platform::RegistryStore& store = platform::machineRegistry();
        store.createKey(kKey);
        store.setValue(kKey, kValue, platform::RegValue::sz(toText(note)));
    });
}

void GuestActionJournal::forget() {
    m_rowsAtHand.clear();
    ErrorTrap trap("ForgetGuestActionInProgress", "Module", "modPMSFunctions");
    trap.step([] {
        platform::RegistryStore& store = platform::machineRegistry();
        if (store.keyExists(kKey)) store.deleteKey(kKey);
        if (store.keyExists(kSwapKey)) store.deleteKey(kSwapKey);
    });
}

std::optional<GuestActionNote> GuestActionJournal::noted() {
    ErrorTrap trap("FinishInterruptedGuestAction", "Module", "modPMSFunctions");
    std::optional<GuestActionNote> found;
    trap.step([&] {
        platform::RegistryStore& store = platform::machineRegistry();
        if (const auto value = store.value(kKey, kValue)) {
            found = fromText(value->text);
            if (!found) ReportError(QStringLiteral("The note of an interrupted guest action could not be read: ") + value->text.left(200));
            return;
        }
        found = olderSwapNote(store);
    });
    return found;
}
