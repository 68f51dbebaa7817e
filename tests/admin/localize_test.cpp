#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QWidget>

#include "admin/core/localize/StringTable.h"
#include "admin/localize/LoadedWindows.h"
#include "admin/localize/modLocalize.h"
#include "tests/admin/AdminFixture.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestEnvironment.h"

using namespace modLocalize;

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

class LocalizeTest : public AdminFixture<StavioTest> {
protected:
    void writeLanguage(const QString& fileName, const QByteArray& lines) { writeFile(path(fileName), lines); }
    void useLanguage(qint32 id) {
        setCurrentLanguage(id);
        InitalizeLanguages();
    }

};

TEST_F(LocalizeTest, LanguageCodesAndIds) {
    EXPECT_EQ(LanguageCodeToId(QStringLiteral("XYZ")), 1033);
    EXPECT_EQ(LanguageCodeToId(QStringLiteral("deu")), 1033);  // codes are upper case, compared exactly
    EXPECT_EQ(LanguageCodeToId(QString()), 1033);
    EXPECT_EQ(LanguageCodeToId(QStringLiteral("DEU")), 1031);
    EXPECT_EQ(LanguageCodeToId(QStringLiteral("ENX")), 33801);

    // A file listed by its code must be found again once its id is chosen.
    const QStringList codes{"ENX", "ENU", "ENG", "ENA", "ENC", "ENZ", "ENI", "DEU", "DES", "DEA", "DEL",
                            "DEC", "ESP", "ESM", "ESN", "ESG", "ESC", "ESA", "ESD", "ESV", "ESO", "ESR",
                            "ESS", "ESH", "ESI", "ESU", "FRA", "FRB", "FRC", "FRS", "FRL", "ITA", "ITS",
                            "JPN", "NLD", "NLB", "NOR", "NON", "PTB", "PTG", "CHT", "ZHT", "CHS", "ZHI"};
    for (const QString& code : codes) {
        const qint32 id = LanguageCodeToId(code);
        EXPECT_EQ(LanguageIdToCode(id), code);
        const QString name = LanguageIdToName(id);
        EXPECT_TRUE(name != QStringLiteral("(error)") && !name.contains(QStringLiteral("Default")))
            << code.toStdString() << ": " << name.toStdString();
    }
    EXPECT_EQ(LanguageIdToCode(1042), QStringLiteral("KOR"));  // known to the system, not to the file table
    EXPECT_EQ(LanguageIdToCode(12345), QStringLiteral("ERR"));

    EXPECT_EQ(LanguageIdToName(33801), QStringLiteral("English (TDD/TTY)"));
    EXPECT_EQ(LanguageIdToName(1033), QStringLiteral("English (United States)"));
    EXPECT_EQ(LanguageIdToName(1031), QStringLiteral("German (Germany)"));
    EXPECT_NE(LanguageIdToName(1034), LanguageIdToName(3082));  // two sort orders of Spanish (Spain)
    EXPECT_EQ(LanguageIdToName(12345), QStringLiteral("(error)"));
}

TEST_F(LocalizeTest, TextsComeFromTheLanguageFileAndOtherwiseFromEnglish) {
    writeLanguage(QStringLiteral("VoxarenStavioAdmin_DEU.lng"),
                  "# Deutsch\n"
                  "1031\tSprache \xc3\xa4ndern\n"
                  "1058\t\n"
                  "#1074\tnicht\n"
                  "1125\tA\\\\b\\nc\\td\r\n"
                  "1063\t" +
                      QByteArray(1300, 'x') + "\n");
    EXPECT_EQ(currentLanguage(), 0);
    EXPECT_EQ(myLoadResString(1031), QStringLiteral("&Change Language"));  // nothing loaded before the first set-up

    useLanguage(1031);
    EXPECT_EQ(myLoadResString(1031), QStringLiteral("Sprache ändern"));
    EXPECT_EQ(myLoadResString(1058), QStringLiteral("E&xit"));  // an empty text counts as missing
    EXPECT_EQ(myLoadResString(1074), QStringLiteral("&OK"));    // comments are no texts
    EXPECT_EQ(myLoadResString(1122), QStringLiteral("Version:"));
    EXPECT_EQ(myLoadResString(1125), QStringLiteral("A\\b\nc\td"));
    EXPECT_EQ(myLoadResString(1063).size(), 1199);

    // No file for French: every text is the English one, and that is no error.
    useLanguage(1036);
    EXPECT_EQ(myLoadResString(1031), QStringLiteral("&Change Language"));
    EXPECT_EQ(myLoadResString(1125), englishString(1125));
    EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(LocalizeTest, LanguageListFollowsTheFileNames) {
    useLanguage(1033);
    EXPECT_EQ(languageList(), QStringList{QString()});

    writeLanguage(QStringLiteral("VoxarenStavioAdmin_ENU.LNG"), "1058\tQuit\n");
    writeLanguage(QStringLiteral("voxarenstavioadmin_FRA.lng"), "1058\tQuitter\n");
    writeLanguage(QStringLiteral("VoxarenStavioAdmin_DEU.lng"), "1058\tBeenden\n");
    writeLanguage(QStringLiteral("OtherProgram_ITA.lng"), "1058\tEsci\n");
    writeLanguage(QStringLiteral("VoxarenStavioAdmin_ESP.txt"), "1058\tSalir\n");
    writeLanguage(QStringLiteral("VoxarenStavioAdmin_.lng"), "1058\t?\n");
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("VoxarenStavioAdmin_JPN.lng")));
    useLanguage(1033);
    EXPECT_EQ(languageList(), (QStringList{"DEU", "ENU", "FRA"}));
    EXPECT_EQ(myLoadResString(1058), QStringLiteral("Quit"));  // the file's name differs only in letter case
    useLanguage(1036);
    EXPECT_EQ(myLoadResString(1058), QStringLiteral("Quitter"));
}

// A window that only registers itself, for the fonts InitalizeLanguages applies.
class PlainWindow : public QWidget, public LocalizedWindow {
public:
    PlainWindow() : LocalizedWindow(this) {}
    void AutoInit() override {}
};

TEST_F(LocalizeTest, AsianLanguagesGetTheirFontAndOthersKeepTheDesignFont) {
    PlainWindow window;
    auto* plain = new QLabel(&window);
    auto* fixed = new QLabel(&window);
    QFont courier(QStringLiteral("Courier New"), 11);
    fixed->setFont(courier);

    const QString gulim = QString::fromUtf16(u"\uAD74\uB9BC");
    useLanguage(1042);
    for (QWidget* w : {static_cast<QWidget*>(&window), static_cast<QWidget*>(plain), static_cast<QWidget*>(fixed)})
        EXPECT_EQ(w->font().family(), gulim) << w->metaObject()->className();
    EXPECT_EQ(fixed->font().pointSize(), 11);

    useLanguage(2052);
    EXPECT_EQ(plain->font().family(), QString::fromUtf16(u"\u5B8B\u4F53"));
    EXPECT_EQ(fixed->font().family(), QString::fromUtf16(u"\u5B8B\u4F53"));

    useLanguage(1031);
    EXPECT_EQ(fixed->font().family(), QStringLiteral("Courier New"));
    EXPECT_FALSE(plain->testAttribute(Qt::WA_SetFont));  // back to the font it inherits
    EXPECT_NE(plain->font().family(), gulim);

    // One control at a time, as windows built later need it.
    setCurrentLanguage(1041);
    QLabel late;
    ApplyControlFont(&late);
    EXPECT_EQ(late.font().family(), QString::fromUtf16(u"\uFF2D\uFF33\u0020\uFF30\u30B4\u30B7\u30C3\u30AF"));
}

// The language files the program ships, as the build puts them beside it.
QHash<int, QString> shippedTexts(const QString& code, QStringList* problems) {
    QHash<int, QString> texts;
    QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/VoxarenStavioAdmin_%1.lng").arg(code));
    if (!file.open(QIODevice::ReadOnly)) {
        *problems << code + QStringLiteral(": not found");
        return texts;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        const qsizetype tab = line.indexOf('\t');
        const int id = line.left(tab).toInt();
        if (tab < 0 || id < kFirstStringId || id > kLastStringId) *problems << code + QStringLiteral(": bad line ") + QString::fromUtf8(line);
        if (texts.contains(id)) *problems << code + QStringLiteral(": twice ") + QString::number(id);
        texts.insert(id, QString::fromUtf8(line.mid(tab + 1)));
    }
    return texts;
}

TEST_F(LocalizeTest, EveryTextIsThereInEnglishAndInBothShippedFiles) {
    QStringList problems;
    const QHash<int, QString> english = shippedTexts(QStringLiteral("ENU"), &problems);
    const QHash<int, QString> german = shippedTexts(QStringLiteral("DEU"), &problems);
    for (int id = kFirstStringId; id <= kLastStringId; ++id) {
        const QString n = QString::number(id);
        if (englishString(id).isEmpty()) problems << QStringLiteral("table: empty ") + n;
        if (english.value(id).isEmpty()) problems << QStringLiteral("ENU: empty ") + n;
        if (german.value(id).isEmpty()) problems << QStringLiteral("DEU: empty ") + n;
        // Texts joined with others keep their blanks, and captions their access keys.
        const QString en = englishString(id), de = german.value(id);
        if (en.startsWith(QLatin1Char(' ')) && !de.startsWith(QLatin1Char(' '))) problems << QStringLiteral("DEU: leading blank ") + n;
        if (en.endsWith(QLatin1Char(' ')) && !de.endsWith(QLatin1Char(' '))) problems << QStringLiteral("DEU: trailing blank ") + n;
        if (en.contains(QLatin1Char('&')) != de.contains(QLatin1Char('&'))) problems << QStringLiteral("DEU: access key ") + n;
    }
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();

    // Read as the program reads them, the English file says what the table says.
    adminEnv().setProgramFolder(QCoreApplication::applicationDirPath());
    useLanguage(1033);
    EXPECT_EQ(languageList(), (QStringList{"DEU", "ENU"}));
    for (int id = kFirstStringId; id <= kLastStringId; ++id) EXPECT_EQ(myLoadResString(id), englishString(id)) << id;
    useLanguage(1031);
    EXPECT_EQ(myLoadResString(1125), QStringLiteral("Weitere Einzelheiten finden Sie in den Syncovar-Protokollen im Verzeichnis \\corevane\\logs"));
}

}  // namespace
