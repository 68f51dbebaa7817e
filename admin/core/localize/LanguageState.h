#pragma once
// The language the administration shows its texts in: the selected language
// and its loaded string table, kept in the administration's environment; a
// new program (or test) starts with no language file loaded.
#include <QHash>
#include <QString>
#include <QStringList>

namespace modLocalize {

struct LanguageState {
    qint32 current = 0;
    QHash<int, QString> loaded;  // the language file's table; empty when none is loaded
    QStringList list{QString()};
};

}  // namespace modLocalize
