#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "admin/localize/LoadedWindows.h"
#include "admin/localize/modLocalize.h"
#include "admin/windows/frmAbout.h"
#include "stavio_version.h"
#include "tests/admin/AdminFixture.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestEnvironment.h"

using modLocalize::myLoadResString;

namespace {

// Another open window whose captions follow the language.
class CaptionWindow : public QWidget, public LocalizedWindow {
public:
    CaptionWindow(int captionId, int buttonId) : LocalizedWindow(this), m_captionId(captionId), m_buttonId(buttonId) {
        caption = new QLabel(this);
        button = new QPushButton(this);
        AutoInit();
    }
    void AutoInit() override {
        modLocalize::ApplyLanguageFont(this);
        caption->setText(myLoadResString(m_captionId));
        button->setText(myLoadResString(m_buttonId));
    }
    QLabel* caption;
    QPushButton* button;

private:
    int m_captionId, m_buttonId;
};

class AboutTest : public AdminFixture<StavioTest> {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
    }
    void TearDown() override {
        EXPECT_TRUE(prompts->shown.isEmpty()) << prompts->shown.join(QLatin1Char('|')).toStdString();
        AdminFixture::TearDown();
    }
    // A language file the program ships, put into this test's folder.
    void ship(const char* code) {
        const QString name = QStringLiteral("VoxarenStavioAdmin_%1.lng").arg(QLatin1String(code));
        ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name, path(name))) << code;
    }
    template <class T>
    T* child(const char* name) {
        T* w = about.findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    QList<QAction*> languageItems() { return child<QMenu>("mnuSelectLanguage")->actions(); }
    // The language menu pops up (QTRY_VERIFY would fail past gtest unseen).
    bool menuOpens() {
        return QTest::qWaitFor([this] { return child<QMenu>("mnuSelectLanguage")->isVisible(); }, 5000);
    }
    QStringList captions(const QList<QAction*>& items) {
        QStringList texts;
        for (QAction* a : items) texts << a->text();
        return texts;
    }

    frmAbout about;
};

TEST_F(AboutTest, ShowsVersionAndEveryCaption) {
    about.show();
    // Version 1.0.0: major and revision written with a leading blank, "Build " straight after the
    // minor.
    EXPECT_EQ(child<QLabel>("lblVersion")->text(), QStringLiteral(" 1.0Build  0"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Orvanta Voxaren Stavio"));
    EXPECT_EQ(child<QLabel>("lblChangeLanguage")->text(), QStringLiteral("&Change Language"));
    EXPECT_EQ(child<QPushButton>("cmdOK")->text(), QStringLiteral("&OK"));
    EXPECT_EQ(child<QMenu>("mnuSelectLanguage")->title(), QStringLiteral("Select Language"));
    for (QLabel* label : about.findChildren<QLabel*>())
        EXPECT_FALSE(label->text().isEmpty()) << label->objectName().toStdString();
}

TEST_F(AboutTest, ChoosingALanguageSwitchesEveryOpenWindow) {
    ship("ENU");
    ship("DEU");
    CaptionWindow first(1058, 1063), second(1085, 1092);
    about.show();

    auto* label = child<QLabel>("lblChangeLanguage");
    QTest::mouseClick(label, Qt::LeftButton);
    ASSERT_TRUE(menuOpens());
    const QList<QAction*> items = languageItems();
    // The platform's names of the languages, not the files' own.
    ASSERT_EQ(captions(items), (QStringList{"German (Germany)", "English (United States)"}));
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("mnuLanguageList"));
    EXPECT_EQ(items[0]->data().toString(), QStringLiteral(" 1031"));

    items[0]->trigger();
    EXPECT_EQ(modLocalize::currentLanguage(), 1031);
    EXPECT_EQ(first.caption->text(), QStringLiteral("&Beenden"));
    EXPECT_EQ(first.button->text(), QStringLiteral("&Hilfe"));
    EXPECT_EQ(second.caption->text(), QStringLiteral("&Berichte"));
    EXPECT_EQ(second.button->text(), QStringLiteral("&Speichern"));
    EXPECT_EQ(label->text(), QStringLiteral("&Sprache ändern"));
    EXPECT_EQ(child<QMenu>("mnuSelectLanguage")->title(), QStringLiteral("Sprache auswählen"));
    EXPECT_EQ(child<QLabel>("lblLanguage")->text(), QStringLiteral("Deutsch (Deutschland)"));

    // The same menu, opened from the keyboard, brings English back.
    child<QMenu>("mnuSelectLanguage")->hide();
    label->setFocus();
    QTest::keyClick(label, Qt::Key_Space);
    ASSERT_TRUE(menuOpens());
    EXPECT_EQ(captions(languageItems()), (QStringList{"German (Germany)", "English (United States)"}));
    languageItems()[1]->trigger();
    EXPECT_EQ(first.caption->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(second.button->text(), QStringLiteral("&Save"));
    EXPECT_EQ(label->text(), QStringLiteral("&Change Language"));
}

TEST_F(AboutTest, ChangeLanguageOpensItsMenuByItsAccessKey) {
    ship("ENU");
    ship("DEU");
    about.show();
    QApplication::setActiveWindow(&about);
    auto* label = child<QLabel>("lblChangeLanguage");
    ASSERT_EQ(QKeySequence::mnemonic(label->text()), QKeySequence(Qt::ALT | Qt::Key_C));
    QTest::keyClick(&about, Qt::Key_C, Qt::AltModifier);
    ASSERT_TRUE(menuOpens());
    EXPECT_TRUE(label->hasFocus());
}

TEST_F(AboutTest, OneLanguageFileOffersNoChoiceAndOkKeepsTheBoxLoaded) {
    ship("DEU");
    about.show();
    QList<QAction*> items = languageItems();
    ASSERT_EQ(captions(items), QStringList{QStringLiteral("No languages loaded")});
    EXPECT_EQ(items[0]->data().toString(), QStringLiteral("1033"));
    items[0]->trigger();
    EXPECT_EQ(modLocalize::currentLanguage(), 1033);
    EXPECT_EQ(child<QLabel>("lblChangeLanguage")->text(), QStringLiteral("&Change Language"));

    QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(loadedWindows().contains(&about));

    // Opened again it keeps what it set up the first time.
    ship("ENU");
    about.show();
    EXPECT_EQ(captions(languageItems()), QStringList{QStringLiteral("No languages loaded")});
}

}  // namespace
