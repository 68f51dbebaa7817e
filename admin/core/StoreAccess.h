#pragma once
// What this user may do with the machine's registry store, in the store's
// own words. The administration keeps the service's settings there, so it
// asks before it relies on the store: RegistryAPI reads a store it cannot
// open as empty and drops writes it cannot make.
#include <QString>
#include <optional>

// Why the store cannot be read (missing rights, a damaged file); nullopt
// when it can. A store not made yet reads as empty and is no refusal.
std::optional<QString> storeReadRefusal();

// Why a change to the store is refused (e.g. "...; the store is read-only for
// this user, run as an administrator"); nullopt when changes go through.
// The store is asked to delete a value no one writes: a change it must accept
// from a user who may write it, and one that leaves everything as it was.
std::optional<QString> storeWriteRefusal();
