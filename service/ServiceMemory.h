#pragma once
// What the service remembers from one piece of its work to the next: the
// rooms a synchronisation sweep has handled, what it has reported once, and
// the new guests waiting for their welcome message. The control owns it and
// hands it to the sweeps and guest actions that read or add to it.
#include <QHash>
#include <QSet>
#include <QString>

#include "common/KeyedCollection.h"

struct ServiceMemory {
    // The rooms (primary extensions) whose PMS change flag was cleared since the
    // synchronisation sweep began: its move and swap phases pass them over.
    QSet<QString> flagsClearedThisSweep;
    // The PMS rows the sweep could not take as they are, each reported once a run.
    QSet<QString> reportedRowProblems;
    // The conflict last reported for a room's check-in, by room: the same one
    // is not reported at every sweep again.
    QHash<QString, QString> reportedConflicts;
    // New guests waiting for their welcome message: key and item are the
    // subscriber's object id, in the order they were checked in.
    KeyedCollection colNewGuests;
};
