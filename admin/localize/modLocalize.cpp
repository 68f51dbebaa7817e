#include "admin/localize/modLocalize.h"

#include <QFont>
#include <QVariant>
#include <QWidget>

#include "admin/localize/LoadedWindows.h"

namespace modLocalize {

namespace {

const char* const kDesignFontProperty = "stavioDesignFont";

// The font family a language needs (Gulim, PMingLiU, MS PGothic, SimSun);
// Qt picks the character set from the text itself. Other languages keep the
// controls' design fonts.
QString fontFamilyFor(qint32 id) {
    switch (id) {
        case 1042: return QString::fromUtf16(u"\uAD74\uB9BC");
        case 1028: return QString::fromUtf16(u"\u65B0\u7D30\u660E\u9AD4");
        case 1041: return QString::fromUtf16(u"\uFF2D\uFF33\u0020\uFF30\u30B4\u30B7\u30C3\u30AF");
        case 2052: return QString::fromUtf16(u"\u5B8B\u4F53");
        default: return QString();
    }
}

}  // namespace

void InitalizeLanguages() {
    LoadCurrentLanguage();
    for (LocalizedWindow* w : loadedWindows()) ApplyLanguageFont(w->window());
}

void ApplyControlFont(QWidget* control) {
    if (!control) return;
    const QString family = fontFamilyFor(currentLanguage());
    const QVariant design = control->property(kDesignFontProperty);
    if (!family.isEmpty()) {
        // Remember the design font the first time the language replaces it.
        if (!design.isValid())
            control->setProperty(kDesignFontProperty,
                                 QVariant::fromValue(control->testAttribute(Qt::WA_SetFont) ? control->font() : QFont()));
        QFont font = control->font();
        font.setFamily(family);
        control->setFont(font);
    } else if (design.isValid()) {
        // No font of its own: the control goes back to its design font.
        control->setFont(design.value<QFont>());
        control->setProperty(kDesignFontProperty, QVariant());
    }
}

void ApplyLanguageFont(QWidget* window) {
    if (!window) return;
    ApplyControlFont(window);
    for (QWidget* child : window->findChildren<QWidget*>()) ApplyControlFont(child);
}

}  // namespace modLocalize
