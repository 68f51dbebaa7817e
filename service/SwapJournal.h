#pragma once
// A room swap leaves both guests without an extension for a moment (each
// must give up its number before taking the other's). Should the service be
// ended right then, the next sweep would find two rooms without a guest and
// make new mailboxes, the old ones left without a number and their messages
// lost to the guests. So a swap writes down what it is about to do in the
// registry store before it frees the numbers, and forgets it when it returns;
// a sweep that finds such a note finishes the swap first.
#include <QString>

namespace modPMSFunctions {

// What subscriber 1 and 2 of a swap are to become.
struct SwapIntent {
    QString subscriber1, room1, alias1;  // subscriber 1 takes room1 under alias1
    QString subscriber2, room2, alias2;
};

void NoteSwapInProgress(const SwapIntent& intent);
void ForgetSwapInProgress();

// Gives each subscriber of an interrupted swap that has no extension the one
// it was to take (with its alias and a directory synchronisation), reports
// what it did, and forgets the note. Does nothing when there is none.
void FinishInterruptedRoomSwap();

}  // namespace modPMSFunctions
