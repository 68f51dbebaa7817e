#include "admin/localize/modLocalize.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QWidget>
#include <optional>

#include "admin/localize/LoadedWindows.h"
#include "admin/localize/StringTable.h"

namespace modLocalize {

namespace {

constexpr qint32 kTddTty = 33801;  // a language of its own: English for text telephones
constexpr int kMaxStringLength = 1200;

struct LanguageState {
    qint32 current = 0;
    QHash<int, QString> loaded;  // the language file's table; empty when none
    QStringList list{QString()};
    QString folder;
    QString programName = QStringLiteral("VoxarenStavioAdmin");
};

LanguageState& state() {
    static LanguageState s;
    return s;
}

QString folder() {
    const QString f = state().folder;
    return f.isEmpty() ? QCoreApplication::applicationDirPath() : f;
}

const QHash<QString, qint32>& codeTable() {
    static const QHash<QString, qint32> table{
        {"ENX", 33801}, {"ENU", 1033},  {"ENG", 2057},  {"ENA", 3081},  {"ENC", 4105},  {"ENZ", 5129},
        {"ENI", 6153},  {"DEU", 1031},  {"DES", 2055},  {"DEA", 3079},  {"DEL", 4103},  {"DEC", 5127},
        {"ESP", 1034},  {"ESM", 2058},  {"ESN", 3082},  {"ESG", 4106},  {"ESC", 5130},  {"ESA", 6154},
        {"ESD", 7178},  {"ESV", 8202},  {"ESO", 9226},  {"ESR", 10250}, {"ESS", 11274}, {"ESH", 18442},
        {"ESI", 19466}, {"ESU", 20490}, {"FRA", 1036},  {"FRB", 2060},  {"FRC", 3084},  {"FRS", 4108},
        {"FRL", 5132},  {"ITA", 1040},  {"ITS", 2064},  {"JPN", 1041},  {"NLD", 1043},  {"NLB", 2067},
        {"NOR", 1044},  {"NON", 2068},  {"PTB", 1046},  {"PTG", 2070},  {"CHT", 1028},  {"ZHT", 3076},
        {"CHS", 2052},  {"ZHI", 4100},
    };
    return table;
}

// The locale of a language id, as far as this program's tables know it.
std::optional<QLocale> localeOf(qint32 id) {
    for (auto it = codeTable().constBegin(); it != codeTable().constEnd(); ++it) {
        if (it.value() != id || it.key() == QLatin1String("ENX")) continue;
        static const QHash<QString, QString> names{
            {"ENU", "en_US"}, {"ENG", "en_GB"}, {"ENA", "en_AU"}, {"ENC", "en_CA"}, {"ENZ", "en_NZ"}, {"ENI", "en_IE"},
            {"DEU", "de_DE"}, {"DES", "de_CH"}, {"DEA", "de_AT"}, {"DEL", "de_LU"}, {"DEC", "de_LI"}, {"ESP", "es_ES"},
            {"ESM", "es_MX"}, {"ESN", "es_ES"}, {"ESG", "es_GT"}, {"ESC", "es_CR"}, {"ESA", "es_PA"}, {"ESD", "es_DO"},
            {"ESV", "es_VE"}, {"ESO", "es_CO"}, {"ESR", "es_PE"}, {"ESS", "es_AR"}, {"ESH", "es_HN"}, {"ESI", "es_NI"},
            {"ESU", "es_PR"}, {"FRA", "fr_FR"}, {"FRB", "fr_BE"}, {"FRC", "fr_CA"}, {"FRS", "fr_CH"}, {"FRL", "fr_LU"},
            {"ITA", "it_IT"}, {"ITS", "it_CH"}, {"JPN", "ja_JP"}, {"NLD", "nl_NL"}, {"NLB", "nl_BE"}, {"NOR", "nb_NO"},
            {"NON", "nn_NO"}, {"PTB", "pt_BR"}, {"PTG", "pt_PT"}, {"CHT", "zh_TW"}, {"ZHT", "zh_HK"}, {"CHS", "zh_CN"},
            {"ZHI", "zh_SG"}};
        return QLocale(names.value(it.key()));
    }
    return std::nullopt;
}

// The user's default language, where this program knows it; else US English.
qint32 userDefaultLanguage() {
    const QString system = QLocale::system().name();
    for (auto it = codeTable().constBegin(); it != codeTable().constEnd(); ++it) {
        const std::optional<QLocale> l = localeOf(it.value());
        if (l && l->name() == system) return it.value();
    }
    return 1033;
}

QString unescape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[++i];
            out += next == QLatin1Char('n') ? QChar(QLatin1Char('\n')) : next == QLatin1Char('t') ? QChar(QLatin1Char('\t')) : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A language file is data: id and text per line, nothing run.
QHash<int, QString> readLanguageFile(const QString& path) {
    QHash<int, QString> table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return table;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).remove(QLatin1Char('\r'));
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool ok = false;
        const int id = line.left(tab).trimmed().toInt(&ok);
        if (tab < 0 || !ok) continue;
        table.insert(id, unescape(line.mid(tab + 1)).left(kMaxStringLength));
    }
    return table;
}

struct LanguageFont {
    int characterSet;
    QString family;
};

LanguageFont fontFor(qint32 id) {
    switch (id) {
        case 1042: return {129, QString::fromUtf16(u"\uAD74\uB9BC")};
        case 1028: return {136, QString::fromUtf16(u"\u65B0\u7D30\u660E\u9AD4")};
        case 1041: return {128, QString::fromUtf16(u"\uFF2D\uFF33\u0020\uFF30\u30B4\u30B7\u30C3\u30AF")};
        case 2052: return {134, QString::fromUtf16(u"\u5B8B\u4F53")};
        default: return {1, QString()};
    }
}

}  // namespace

QString englishString(int id) { return englishTable().value(id); }

QString myLoadResString(int id) {
    const QString text = state().loaded.value(id);
    return text.isEmpty() ? englishString(id) : text;
}

qint32 currentLanguage() { return state().current; }
void setCurrentLanguage(qint32 languageId) { state().current = languageId; }
QStringList languageList() { return state().list; }

void setLanguageFolder(const QString& f, const QString& programName) {
    state().folder = f;
    state().programName = programName;
}

qint32 LanguageCodeToId(const QString& code) { return codeTable().value(code, 1033); }

QString LanguageIdToCode(qint32 id) {
    if (id == kTddTty) return QStringLiteral("ENX");
    for (auto it = codeTable().constBegin(); it != codeTable().constEnd(); ++it)
        if (it.value() == id) return it.key();
    return QStringLiteral("ERR");
}

QString LanguageIdToName(qint32 id) {
    if (id == kTddTty) return QStringLiteral("English (TDD/TTY)");
    const std::optional<QLocale> locale = localeOf(id);
    if (!locale) return QStringLiteral("(error)");
    return QLocale::languageToString(locale->language()) + QStringLiteral(" (") +
           QLocale::territoryToString(locale->territory()) + QLatin1Char(')');
}

void InitalizeLanguages() {
    LanguageState& s = state();
    if (s.current == 0) s.current = userDefaultLanguage();
    s.loaded = readLanguageFile(folder() + QLatin1Char('/') + s.programName + QLatin1Char('_') + LanguageIdToCode(s.current) +
                                QStringLiteral(".lng"));
    s.list.clear();
    const QString prefix = s.programName + QLatin1Char('_');
    for (const QString& name : QDir(folder()).entryList(QDir::Files, QDir::Unsorted)) {
        if (name.startsWith(prefix, Qt::CaseInsensitive) && name.endsWith(QLatin1String(".lng"), Qt::CaseInsensitive) &&
            name.size() >= prefix.size() + 7)
            s.list << name.mid(name.size() - 7, 3);
    }
    if (s.list.isEmpty()) s.list << QString();
    for (LocalizedWindow* w : loadedWindows()) ApplyLanguageFont(w->window());
}

void ApplyControlFont(QWidget* control) {
    const LanguageFont f = fontFor(state().current);
    QFont font = control->font();
    // An empty name leaves the control's design font.
    if (!f.family.isEmpty()) {
        font.setFamily(f.family);
        control->setFont(font);
    } else if (control->testAttribute(Qt::WA_SetFont) && control->property("stavioLanguageFont").toBool()) {
        control->setFont(QFont());
    }
    control->setProperty("stavioLanguageFont", !f.family.isEmpty());
}

void ApplyLanguageFont(QWidget* window) {
    if (!window) return;
    ApplyControlFont(window);
    for (QWidget* child : window->findChildren<QWidget*>()) ApplyControlFont(child);
}

}  // namespace modLocalize
