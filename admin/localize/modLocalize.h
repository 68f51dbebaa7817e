#pragma once
// The languages as the windows see them: the texts (LanguageStrings.h) and
// the fonts a language needs on every control.
#include "admin/core/localize/LanguageStrings.h"

class QWidget;

namespace modLocalize {

// (Re)loads the language file of the current language (the user's default
// language when none is set yet), rebuilds the language list and applies
// the language's fonts to every loaded window.
void InitalizeLanguages();

// The language's font on every control of a window, or on one control.
void ApplyLanguageFont(QWidget* window);
void ApplyControlFont(QWidget* control);

}  // namespace modLocalize
