#include "admin/core/localize/LanguageStrings.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>

#include "admin/core/AdminEnv.h"
#include "admin/core/Prompt.h"
#include "admin/core/localize/StringTable.h"

namespace modLocalize {

namespace {

constexpr qint32 kEnglishUS = 1033;
constexpr qint32 kTddTty = 33801;  // a language of its own: English for text telephones
constexpr int kOwnNameId = 1153;   // a language file's name of its language
// Texts are read into a buffer of 1200 characters, one of which ends the text.
constexpr int kMaxStringLength = 1199;

LanguageState& state() {
    return adminEnv().language;
}

// Language files lie beside the program.
QString folder() {
    return adminEnv().programFolder();
}

// The codes a language file may carry, compared exactly.
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

// What the system knows of a language id: its three-letter abbreviation and
// the locale (language and territory) whose names it shows. A sort order
// tells apart two ids of one locale.
struct KnownLanguage {
    qint32 id;
    const char* abbreviation;
    const char* language;
    const char* territory;
    const char* sortOrder;
};

// Where one locale has two ids, the one listed first is the user default.
constexpr KnownLanguage kKnownLanguages[] = {
    {1025, "ARA", "ar", "SA", nullptr},  {1026, "BGR", "bg", "BG", nullptr},  {1027, "CAT", "ca", "ES", nullptr},
    {1028, "CHT", "zh", "TW", nullptr},  {1029, "CSY", "cs", "CZ", nullptr},  {1030, "DAN", "da", "DK", nullptr},
    {1031, "DEU", "de", "DE", nullptr},  {1032, "ELL", "el", "GR", nullptr},  {1033, "ENU", "en", "US", nullptr},
    {3082, "ESN", "es", "ES", "International Sort"},                          {1034, "ESP", "es", "ES", "Traditional Sort"},
    {1035, "FIN", "fi", "FI", nullptr},  {1036, "FRA", "fr", "FR", nullptr},  {1037, "HEB", "he", "IL", nullptr},
    {1038, "HUN", "hu", "HU", nullptr},  {1039, "ISL", "is", "IS", nullptr},  {1040, "ITA", "it", "IT", nullptr},
    {1041, "JPN", "ja", "JP", nullptr},  {1042, "KOR", "ko", "KR", nullptr},  {1043, "NLD", "nl", "NL", nullptr},
    {1044, "NOR", "nb", "NO", nullptr},  {1045, "PLK", "pl", "PL", nullptr},  {1046, "PTB", "pt", "BR", nullptr},
    {1048, "ROM", "ro", "RO", nullptr},  {1049, "RUS", "ru", "RU", nullptr},  {1050, "HRV", "hr", "HR", nullptr},
    {1051, "SKY", "sk", "SK", nullptr},  {1053, "SVE", "sv", "SE", nullptr},  {1054, "THA", "th", "TH", nullptr},
    {1055, "TRK", "tr", "TR", nullptr},  {1057, "IND", "id", "ID", nullptr},  {1058, "UKR", "uk", "UA", nullptr},
    {1060, "SLV", "sl", "SI", nullptr},  {1061, "ETI", "et", "EE", nullptr},  {1062, "LVI", "lv", "LV", nullptr},
    {1063, "LTH", "lt", "LT", nullptr},  {1066, "VIT", "vi", "VN", nullptr},  {1081, "HIN", "hi", "IN", nullptr},
    {2052, "CHS", "zh", "CN", nullptr},  {2055, "DES", "de", "CH", nullptr},  {2057, "ENG", "en", "GB", nullptr},
    {2058, "ESM", "es", "MX", nullptr},  {2060, "FRB", "fr", "BE", nullptr},  {2064, "ITS", "it", "CH", nullptr},
    {2067, "NLB", "nl", "BE", nullptr},  {2068, "NON", "nn", "NO", nullptr},  {2070, "PTG", "pt", "PT", nullptr},
    {2077, "SVF", "sv", "FI", nullptr},  {3076, "ZHH", "zh", "HK", nullptr},  {3079, "DEA", "de", "AT", nullptr},
    {3081, "ENA", "en", "AU", nullptr},  {3084, "FRC", "fr", "CA", nullptr},  {4100, "ZHI", "zh", "SG", nullptr},
    {4103, "DEL", "de", "LU", nullptr},  {4105, "ENC", "en", "CA", nullptr},  {4106, "ESG", "es", "GT", nullptr},
    {4108, "FRS", "fr", "CH", nullptr},  {5124, "ZHM", "zh", "MO", nullptr},  {5127, "DEC", "de", "LI", nullptr},
    {5129, "ENZ", "en", "NZ", nullptr},  {5130, "ESC", "es", "CR", nullptr},  {5132, "FRL", "fr", "LU", nullptr},
    {6153, "ENI", "en", "IE", nullptr},  {6154, "ESA", "es", "PA", nullptr},  {7177, "ENS", "en", "ZA", nullptr},
    {7178, "ESD", "es", "DO", nullptr},  {8201, "ENJ", "en", "JM", nullptr},  {8202, "ESV", "es", "VE", nullptr},
    {9226, "ESO", "es", "CO", nullptr},  {10249, "ENL", "en", "BZ", nullptr}, {10250, "ESR", "es", "PE", nullptr},
    {11274, "ESS", "es", "AR", nullptr}, {12298, "ESF", "es", "EC", nullptr}, {13322, "ESL", "es", "CL", nullptr},
    {14346, "ESY", "es", "UY", nullptr}, {15370, "ESZ", "es", "PY", nullptr}, {16394, "ESB", "es", "BO", nullptr},
    {17418, "ESE", "es", "SV", nullptr}, {18442, "ESH", "es", "HN", nullptr}, {19466, "ESI", "es", "NI", nullptr},
    {20490, "ESU", "es", "PR", nullptr},
};

const KnownLanguage* knownLanguage(qint32 id) {
    for (const KnownLanguage& l : kKnownLanguages)
        if (l.id == id) return &l;
    return nullptr;
}

// The user's language: the system locale's, else its language's first
// territory here, else US English.
qint32 userDefaultLanguage() {
    const QLocale system = QLocale::system();
    const KnownLanguage* sameLanguage = nullptr;
    for (const KnownLanguage& l : kKnownLanguages) {
        if (QLocale::codeToLanguage(QString::fromLatin1(l.language)) != system.language()) continue;
        if (QLocale::codeToTerritory(QString::fromLatin1(l.territory)) == system.territory()) return l.id;
        if (!sameLanguage) sameLanguage = &l;
    }
    return sameLanguage ? sameLanguage->id : kEnglishUS;
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

// A language file is data: id and text per line, nothing run. A file that
// is not there gives an empty table; one that is there but cannot be read
// gives its reason in error.
QHash<int, QString> readLanguageFile(const QString& path, QString* error) {
    QHash<int, QString> table;
    if (path.isEmpty()) return table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return table;
    }
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw.endsWith('\r') ? raw.chopped(1) : raw);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        bool ok = false;
        const int id = line.left(tab).trimmed().toInt(&ok);
        if (tab < 0 || !ok) continue;
        table.insert(id, unescape(line.mid(tab + 1)).left(kMaxStringLength));
    }
    return table;
}

QString fileNamePrefix() { return QStringLiteral("VoxarenStavioAdmin_"); }

// The language files of the folder, by name: the program name and "_" at the
// front, the code and ".lng" at the end, letter case ignored.
QStringList languageFileNames() {
    const QString prefix = fileNamePrefix();
    QStringList names;
    for (const QString& name : QDir(folder()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        if (name.size() >= prefix.size() + 7 && name.startsWith(prefix, Qt::CaseInsensitive) &&
            name.endsWith(QLatin1String(".lng"), Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

QString codeOfFile(const QString& name) { return name.mid(name.size() - 7, 3); }

// The file of a code; names differing only in letter case count, as the
// language list counts them.
QString languageFilePath(const QString& code) {
    const QString wanted = fileNamePrefix() + code + QStringLiteral(".lng");
    for (const QString& name : languageFileNames())
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) return QDir(folder()).filePath(name);
    return QString();
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

qint32 LanguageCodeToId(const QString& code) { return codeTable().value(code, kEnglishUS); }

QString LanguageIdToCode(qint32 id) {
    if (id == kTddTty) return QStringLiteral("ENX");
    // The program's own code first, so a listed file is found again by its id.
    for (auto it = codeTable().constBegin(); it != codeTable().constEnd(); ++it)
        if (it.value() == id) return it.key();
    const KnownLanguage* known = knownLanguage(id);
    return known ? QString::fromLatin1(known->abbreviation) : QStringLiteral("ERR");
}

QString LanguageIdToName(qint32 id) {
    if (id == kTddTty) return QStringLiteral("English (TDD/TTY)");
    const KnownLanguage* known = knownLanguage(id);
    if (!known) return QStringLiteral("(error)");
    QString name = QLocale::languageToString(QLocale::codeToLanguage(QString::fromLatin1(known->language))) +
                   QStringLiteral(" (") +
                   QLocale::territoryToString(QLocale::codeToTerritory(QString::fromLatin1(known->territory)));
    if (known->sortOrder) name += QStringLiteral(", ") + QLatin1String(known->sortOrder);
    return name + QLatin1Char(')');
}

QString CurrentLanguageName() {
    const LanguageState& s = state();
    if (s.current == 0) return QString();
    const QString own = s.loaded.value(kOwnNameId);
    return own.isEmpty() ? LanguageIdToName(s.current) : own;
}

QString captionText(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && ++i >= caption.size()) break;
        text += caption[i];
    }
    return text;
}

void LoadCurrentLanguage() {
    LanguageState& s = state();
    if (s.current == 0) s.current = userDefaultLanguage();
    QString error;
    s.loaded = readLanguageFile(languageFilePath(LanguageIdToCode(s.current)), &error);
    if (!error.isEmpty()) prompt().message(QStringLiteral("Error in InitalizeLanguages: ") + error, nullptr, Prompt::Kind::Error);
    s.list.clear();
    for (const QString& name : languageFileNames()) s.list << codeOfFile(name);
    if (s.list.isEmpty()) s.list << QString();
}

}  // namespace modLocalize
