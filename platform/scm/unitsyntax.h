#pragma once
// Text for systemd unit files. Unit files expand "%" specifiers in most
// settings, "$" variables in command lines, read C escapes inside quotes and
// end a setting at any line break, so text from outside is escaped before it
// goes into a unit.
#include <QString>

namespace platform::scm {

// A free-text setting such as Description=: "%" doubled, control characters
// (line breaks above all) turned into spaces, and no trailing backslash that
// would join the next line.
QString unitPlainText(const QString& text);

// One word of ExecStart=, in double quotes: C escapes for "\", '"' and
// control characters, "%" as "%%" and "$" as "$$", so the program receives
// the text unchanged.
QString unitExecWord(const QString& word);

// One Environment= assignment, in double quotes: "NAME=value" with the same
// escapes as unitExecWord except "$" (not expanded there).
QString unitEnvironmentAssignment(const QString& name, const QString& value);

// One path of a path list such as ReadWritePaths=, in double quotes with "\"
// and '"' escaped and "%" doubled, prefixed by "-" so that a missing folder
// does not keep the service from starting. Empty for a path a unit cannot
// carry (not absolute, or holding a control character).
QString unitOptionalPath(const QString& path);

}  // namespace platform::scm
