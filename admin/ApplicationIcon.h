#pragma once
// The administration's icon, drawn by the program itself: a guest's mailbox
// (an envelope) with its message-waiting lamp lit, on the hotel key's blue,
// as packaging/stavio-admin.svg draws it for the launcher. Drawn, so that the
// windows show it without an icon theme or an SVG image plug-in.
#include <QIcon>

QIcon applicationIcon();
