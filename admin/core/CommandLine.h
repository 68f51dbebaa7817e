#pragma once
// What the administration's command line asks for.
#include <QStringList>

// Whether the program was started for the guest view only: the word
// "Guestview" (any case) in one of its arguments, not in the program's own path.
bool guestViewRequested(const QStringList& arguments);
