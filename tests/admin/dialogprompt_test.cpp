// The program's own dialogs, shown for real. Its questions go on with Enter.
// Its file dialogs are shown on the folders that hold its open databases. Closing any descriptor of a file drops every POSIX lock
// the process holds on it, so a dialog that opens a database file to sniff
// its type or find its icon takes the locks from under the program's open
// SQLite connections.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <functional>

#include "admin/prompt/DialogPrompt.h"
#include "platform/registry.h"
#include "tests/support/ServerFixture.h"

namespace {

// The POSIX locks this process holds, as /proc/locks lists them.
int locksHeldByThisProcess() {
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pid = QByteArray::number(getpid());
    int held = 0;
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 4 && fields[1] == "POSIX" && fields[4] == pid) ++held;
    }
    return held;
}

// Shows one of the prompt's dialogs and closes it once it has listed its
// folder and the list's worker has had time for every file.
void showAndClose(const std::function<void()>& dialog) {
    bool closed = false;
    bool listed = false;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!shown || closed) return;
        closed = true;
        auto* model = shown->findChild<QFileSystemModel*>();
        listed = QTest::qWaitFor(
            [&] { return model && model->rowCount(model->index(shown->directory().path())) > 0; }, 5000);
        QTest::qWait(500);
        shown->reject();
    });
    watch.start();
    dialog();
    EXPECT_TRUE(closed) << "no file dialog was shown";
    EXPECT_TRUE(listed) << "the dialog listed nothing";
}

}  // namespace

// Answers the question the prompt shows next with one key.
bool answerWithKey(const std::function<bool()>& question, Qt::Key key) {
    QTimer::singleShot(0, [key] {
        if (QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000))
            QTest::keyClick(QApplication::activeModalWidget(), key);
    });
    return question();
}

TEST(DialogPromptTest, EnterTakesTheAnswerThatGoesOnAndEscapeTheOneThatDoesNot) {
    const std::shared_ptr<Prompt> prompt = dialogPrompt();
    EXPECT_TRUE(answerWithKey([&] { return prompt->okCancel(QStringLiteral("Go on?")); }, Qt::Key_Return));
    EXPECT_FALSE(answerWithKey([&] { return prompt->okCancel(QStringLiteral("Go on?")); }, Qt::Key_Escape));
    EXPECT_TRUE(answerWithKey([&] { return prompt->yesNo(QStringLiteral("Install it now?")); }, Qt::Key_Return));
}

TEST(DialogPromptTest, AMessageWithoutAWindowOpensOverTheActiveOne) {
    QWidget window;
    window.show();
    QApplication::setActiveWindow(&window);
    QWidget* over = nullptr;
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000)) return;
        over = QApplication::activeModalWidget()->parentWidget();
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
    });
    dialogPrompt()->message(QStringLiteral("(error):5 (Invalid procedure call or argument) in procedure x"));
    EXPECT_EQ(over, &window);
}

class FileDialogTest : public VoxarenTest {
protected:
    QString readByAnotherProcess(const QString& key, const QString& name) {
        QProcess reader;
        QProcessEnvironment readerEnv = QProcessEnvironment::systemEnvironment();
        readerEnv.insert(QStringLiteral("STAVIO_REGISTRY"), path(QStringLiteral("registry.db")));
        reader.setProcessEnvironment(readerEnv);
        reader.start(binary(QStringLiteral("stavio-reg")), {QStringLiteral("get"), key, name});
        EXPECT_TRUE(reader.waitForFinished(10000));
        return QString::fromUtf8(reader.readAllStandardOutput()).trimmed();
    }
};

TEST_F(FileDialogTest, BrowsingTheDatabasesFoldersLeavesTheProgramsLocksAndWritesIntact) {
    // The program's connections: the server's database and the registry store, both open.
    ASSERT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM vw_Subscriber")).size(), 1);
    platform::RegistryStore& store = platform::machineRegistry();
    store.createKey(QStringLiteral("Software\\Tests"));
    const int locks = locksHeldByThisProcess();
    ASSERT_GT(locks, 0);

    const std::shared_ptr<Prompt> prompt = dialogPrompt();
    for (const QString& shown : {folder(), path(QStringLiteral("server"))}) {
        ASSERT_TRUE(QDir(shown).mkpath(QStringLiteral("listed")));  // something for the folder dialog to list
        showAndClose([&] { prompt->chooseFolder(QString(), shown); });
        showAndClose([&] { prompt->chooseFileToOpen(QString(), shown, QStringLiteral("All files (*)")); });
        EXPECT_EQ(locksHeldByThisProcess(), locks) << "after the dialogs showed " << shown.toStdString();
    }

    // Another process opens and closes the store, then reads what the program wrote since.
    EXPECT_EQ(readByAnotherProcess(QStringLiteral("Software\\Tests"), QStringLiteral("Written")), QString());
    store.setValue(QStringLiteral("Software\\Tests"), QStringLiteral("Written"),
                   platform::RegValue::sz(QStringLiteral("after the dialogs")));
    EXPECT_EQ(readByAnotherProcess(QStringLiteral("Software\\Tests"), QStringLiteral("Written")),
              QStringLiteral("after the dialogs"));
}
