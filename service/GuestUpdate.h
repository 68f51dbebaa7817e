#pragma once
// The update phase's work for one room: its guest's names, display name
// (first name, blank, last name) and language taken from the PMS row, as
// every part of the service reads them.
#include <QString>
#include <optional>

#include "common/PmsRoom.h"

struct ServiceMemory;
struct ServiceState;

namespace platform::db {
class Recordset;
}

namespace modPMSFunctions {

// A row the sweep cannot take as it is, reported (as a warning) once a run.
void reportRowOnce(ServiceMemory& memory, const QString& key, const QString& text);
// A guest's name from the row (its first or last name), cut as PmsRoom cuts
// it; an impossibly long one is reported.
QString nameOf(const PmsRoom& room, PmsColumn column, ServiceMemory& memory);
// The row's language as a number, or nothing (reported) when it is no number.
std::optional<qint32> languageOf(const PmsRoom& room, ServiceMemory& memory);

// Writes the row's names and language to the guest that is the current row
// of `guests` (an updatable recordset over vw_Subscriber).
void UpdateGuestFromRoom(platform::db::Recordset& guests, const PmsRoom& room,
                         ServiceMemory& memory);
// The same for the hotel guest whose primary extension is the room's; none, nothing.
void UpdateGuestOnRoom(const PmsRoom& room, const ServiceState& state, ServiceMemory& memory);

}  // namespace modPMSFunctions
