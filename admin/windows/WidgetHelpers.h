#pragma once
// Small helpers the windows build their controls with.
#include <QFrame>
#include <QString>

// A control carries its name as objectName, so tests and the language switch find it.
template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A horizontal rule between groups of controls.
inline QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}
