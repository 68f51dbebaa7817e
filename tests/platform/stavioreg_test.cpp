#include <gtest/gtest.h>

#include <QFileInfo>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "platform/registry.h"
#include "tests/platform/RawConnection.h"
#include "tests/support/PlatformEnv.h"
#include "tests/support/Programs.h"

namespace {

class StavioRegTest : public PlatformEnvTest {
protected:
    ProgramResult reg(const QStringList& args) { return runProgram(QStringLiteral("stavio-reg"), args); }
    QString store() const { return env.registryPath(); }
    QString program() const { return QCoreApplication::applicationDirPath() + QStringLiteral("/stavio-reg"); }
};

const QString kKey = QStringLiteral("Software\\Brightkeel\\Stavio");

// Hexadecimal text of `size` bytes that differ from each other.
QString hexOf(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) bytes[i] = char((i * 7 + i / 256) & 0xFF);
    return QString::fromLatin1(bytes.toHex());
}

TEST_F(StavioRegTest, SetGetAndDeleteFromTheCommandLine) {
    const QString key = QStringLiteral("HKLM\\Software\\Brightkeel\\Stavio");
    EXPECT_EQ(reg({QStringLiteral("set"), key, QStringLiteral("Path to Logs"), QStringLiteral("sz"),
                   QStringLiteral("/var/log/stavio/")}).exitCode, 0);
    EXPECT_EQ(reg({QStringLiteral("set"), QStringLiteral("Software\\Brightkeel\\Stavio"),
                   QStringLiteral("Debug Mode"), QStringLiteral("dword"), QStringLiteral("0x10")}).exitCode, 0);
    EXPECT_EQ(reg({QStringLiteral("set"), key, QStringLiteral("Blob"), QStringLiteral("binary"),
                   QStringLiteral("00ff10")}).exitCode, 0);

    ProgramResult got = reg({QStringLiteral("get"), QStringLiteral("software\\brightkeel\\stavio"),
                             QStringLiteral("path to logs")});
    EXPECT_EQ(got.exitCode, 0);
    EXPECT_EQ(got.out, QStringLiteral("/var/log/stavio/\n"));  // the value alone
    EXPECT_EQ(reg({QStringLiteral("get"), key, QStringLiteral("Debug Mode")}).out, QStringLiteral("16\n"));
    EXPECT_EQ(reg({QStringLiteral("get"), key, QStringLiteral("Blob")}).out, QStringLiteral("00ff10\n"));

    const ProgramResult listed = reg({QStringLiteral("list"), QStringLiteral("Software")});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_TRUE(listed.out.contains(QStringLiteral("[HKLM\\Software\\Brightkeel\\Stavio]")));
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Debug Mode\tREG_DWORD\t16")));

    EXPECT_EQ(reg({QStringLiteral("delete"), key, QStringLiteral("Debug Mode")}).exitCode, 0);
    EXPECT_EQ(reg({QStringLiteral("get"), key, QStringLiteral("Debug Mode")}).exitCode, 1);
    EXPECT_EQ(reg({QStringLiteral("delete"), QStringLiteral("Software\\Brightkeel")}).exitCode, 0);
    EXPECT_EQ(reg({QStringLiteral("get"), key, QStringLiteral("Path to Logs")}).exitCode, 1);
}

TEST_F(StavioRegTest, RefusesBadInput) {
    EXPECT_EQ(reg({}).exitCode, 2);
    EXPECT_EQ(reg({QStringLiteral("set"), QStringLiteral("K"), QStringLiteral("n"), QStringLiteral("dword"),
                   QStringLiteral("4294967296")}).exitCode, 2);
    EXPECT_EQ(reg({QStringLiteral("set"), QStringLiteral("K"), QStringLiteral("n"), QStringLiteral("binary"),
                   QStringLiteral("abc")}).exitCode, 2);
    EXPECT_EQ(reg({QStringLiteral("set"), QStringLiteral("K"), QStringLiteral("n"), QStringLiteral("qword"),
                   QStringLiteral("1")}).exitCode, 2);
    EXPECT_EQ(reg({QStringLiteral("list"), QStringLiteral("No\\Such\\Key")}).exitCode, 1);
    // A value that begins with a dash follows "--".
    EXPECT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("n"), QStringLiteral("sz"), QStringLiteral("-x")}).exitCode, 2);
    EXPECT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("n"), QStringLiteral("sz"), QStringLiteral("--"),
                   QStringLiteral("-x")}).exitCode, 0);
    EXPECT_EQ(reg({QStringLiteral("get"), kKey, QStringLiteral("n")}).out, QStringLiteral("-x\n"));

    // A store in a folder that is not there: said, and no folder made.
    const QString missing = QFileInfo(store()).absolutePath() + QStringLiteral("/no/such/folder");
    const ProgramResult r = runProgram(QStringLiteral("stavio-reg"), {QStringLiteral("set"), kKey, QStringLiteral("n"),
                                                                       QStringLiteral("sz"), QStringLiteral("v")},
                                       {QStringLiteral("STAVIO_REGISTRY=") + missing + QStringLiteral("/r.db")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("its folder ") + missing + QStringLiteral(" does not exist"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(store()).absolutePath() + QStringLiteral("/no")));
}

// stavio-reg run by a user who may read the store but not write it: "nobody"
// when the tests run as root (who may write anything), else this user with
// the store and its folder made read-only.
class StavioRegReadOnlyTest : public StavioRegTest {
protected:
    void SetUp() override {
        StavioRegTest::SetUp();
        if (::geteuid() == 0) {
            m_setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
            if (m_setpriv.isEmpty()) GTEST_SKIP() << "setpriv is needed to run as another user";
        }
    }
    // Leaves `folder` and the files in it readable and searchable by everyone
    // and writable by no one but root.
    static void readOnly(const QString& folder) {
        QDir dir(folder);
        for (const QString& name : dir.entryList(QDir::Files))
            QFile::setPermissions(dir.filePath(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::ExeOther);
    }
    void TearDown() override {
        // Writable again, so that the temporary folder can go.
        for (const QString& folder : {dir.path(), dir.filePath(QStringLiteral("copy"))})
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        StavioRegTest::TearDown();
    }
    ProgramResult regAsReader(const QString& storePath, const QStringList& args) {
        QProcess process;
        QProcessEnvironment readerEnvironment = QProcessEnvironment::systemEnvironment();
        readerEnvironment.insert(QStringLiteral("STAVIO_REGISTRY"), storePath);
        process.setProcessEnvironment(readerEnvironment);
        if (m_setpriv.isEmpty())
            process.start(program(), args);
        else
            process.start(m_setpriv, QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                                 QStringLiteral("--clear-groups"), program()} + args);
        ProgramResult result;
        if (!process.waitForFinished(30000)) {
            process.kill();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }
    void expectReadsAtOnceButMayNotWrite(const QString& storePath) {
        QElapsedTimer took;
        took.start();
        const ProgramResult got = regAsReader(storePath, {QStringLiteral("get"), kKey, QStringLiteral("Path to Logs")});
        EXPECT_LT(took.elapsed(), 1000);
        EXPECT_EQ(got.exitCode, 0) << got.err.toStdString();
        EXPECT_EQ(got.out, QStringLiteral("/var/log/stavio/\n"));

        took.restart();
        const ProgramResult set = regAsReader(
            storePath, {QStringLiteral("set"), kKey, QStringLiteral("Debug Mode"), QStringLiteral("dword"), QStringLiteral("1")});
        EXPECT_LT(took.elapsed(), 1000);  // no waiting on what will not change
        EXPECT_EQ(set.exitCode, 3);
        EXPECT_TRUE(set.err.contains(QStringLiteral("the store is read-only for this user, run as an administrator")))
            << set.err.toStdString();
    }

    QString m_setpriv;
};

TEST_F(StavioRegReadOnlyTest, AUserWithoutWriteAccessReadsAtOnceAndIsToldWhyAWriteFails) {
    ASSERT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("Path to Logs"), QStringLiteral("sz"),
                   QStringLiteral("/var/log/stavio/")}).exitCode, 0);
    readOnly(dir.path());
    expectReadsAtOnceButMayNotWrite(store());
    EXPECT_FALSE(platform::RegistryStore(store()).value(kKey, QStringLiteral("Debug Mode")).has_value());
}

TEST_F(StavioRegReadOnlyTest, AReadOnlyCopyOfTheStoreAloneCanBeRead) {
    ASSERT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("Path to Logs"), QStringLiteral("sz"),
                   QStringLiteral("/var/log/stavio/")}).exitCode, 0);
    {
        RawConnection writer(store());
        writer.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    const QString copy = dir.filePath(QStringLiteral("copy"));
    ASSERT_TRUE(QDir().mkdir(copy));
    ASSERT_TRUE(QFile::copy(store(), copy + QStringLiteral("/reg.db")));
    readOnly(dir.path());
    readOnly(copy);
    expectReadsAtOnceButMayNotWrite(copy + QStringLiteral("/reg.db"));
}

// A copy taken with its write-ahead log holds writes the main file lacks:
// reading the main file alone would show the older value.
TEST_F(StavioRegReadOnlyTest, AReadOnlyCopyWithAnUnmergedLogFailsWithItsCause) {
    ASSERT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("Path to Logs"), QStringLiteral("sz"),
                   QStringLiteral("/var/log/old/")}).exitCode, 0);
    const QString copy = dir.filePath(QStringLiteral("copy"));
    ASSERT_TRUE(QDir().mkdir(copy));
    {
        RawConnection writer(store());
        writer.exec("PRAGMA wal_checkpoint(TRUNCATE)");
        writer.exec("PRAGMA wal_autocheckpoint=0");
        writer.exec("UPDATE reg_values SET data=CAST('/var/log/new/' AS BLOB) WHERE folded_name='path to logs'");
        for (const char* suffix : {"", "-wal"})
            ASSERT_TRUE(QFile::copy(store() + QLatin1String(suffix), copy + QStringLiteral("/reg.db") + suffix));
    }
    readOnly(dir.path());
    readOnly(copy);
    const ProgramResult got =
        regAsReader(copy + QStringLiteral("/reg.db"), {QStringLiteral("get"), kKey, QStringLiteral("Path to Logs")});
    EXPECT_EQ(got.exitCode, 3) << got.out.toStdString();
    EXPECT_EQ(got.out, QString());
    EXPECT_TRUE(got.err.contains(QStringLiteral("cannot set up the index of its write-ahead log")))
        << got.err.toStdString();
}

TEST_F(StavioRegTest, ADamagedStoreIsAnErrorNamingTheDamage) {
    ASSERT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("Debug Mode"), QStringLiteral("dword"),
                   QStringLiteral("1")}).exitCode, 0);
    RawConnection(store()).exec("DROP TABLE reg_keys");
    for (const QStringList& args : {QStringList{QStringLiteral("list")},
                                    QStringList{QStringLiteral("get"), kKey, QStringLiteral("Debug Mode")}}) {
        const ProgramResult got = reg(args);
        EXPECT_EQ(got.exitCode, 3) << args.join(' ').toStdString();
        EXPECT_EQ(got.out, QString());
        EXPECT_TRUE(got.err.contains(QStringLiteral("table reg_keys is missing; the store is damaged")))
            << got.err.toStdString();
    }
}

TEST_F(StavioRegTest, ASetWhoseWriteDidNotHappenFails) {
    ASSERT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("Debug Mode"), QStringLiteral("dword"),
                   QStringLiteral("1")}).exitCode, 0);
    // Something in the store quietly drops new keys.
    RawConnection(store()).exec("CREATE TRIGGER swallow BEFORE INSERT ON reg_keys BEGIN SELECT RAISE(IGNORE); END");
    const ProgramResult set = reg({QStringLiteral("set"), QStringLiteral("Software\\Other"), QStringLiteral("n"),
                                   QStringLiteral("sz"), QStringLiteral("x")});
    EXPECT_EQ(set.exitCode, 3);
    EXPECT_TRUE(set.err.contains(QStringLiteral("n was not written"))) << set.err.toStdString();
}

TEST_F(StavioRegTest, BinaryValuesUpToOneMebibyte) {
    // Longer than a pattern match could take, and passed on the command line.
    const QString long40k = hexOf(40000);
    ProgramResult set = reg({QStringLiteral("set"), kKey, QStringLiteral("Blob"), QStringLiteral("binary"), long40k});
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_EQ(platform::RegistryStore(store()).value(kKey, QStringLiteral("Blob"))->bytes.toHex(), long40k.toLatin1());

    // The largest value, and one byte more, through standard input.
    const auto setFromFile = [&](int size) {
        const QString input = dir.filePath(QStringLiteral("value.hex"));
        QFile file(input);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(hexOf(size).toLatin1() + "\n");
        file.close();
        std::unique_ptr<QProcess> shell(
            startShell(QStringLiteral("\"%1\" set 'Software\\Brightkeel\\Stavio' Big binary - < \"%2\"").arg(program(), input)));
        EXPECT_TRUE(shell->waitForFinished(30000));
        return shell->exitCode();
    };
    EXPECT_EQ(setFromFile(1024 * 1024), 0);
    EXPECT_EQ(platform::RegistryStore(store()).value(kKey, QStringLiteral("Big"))->bytes.toHex(),
              hexOf(1024 * 1024).toLatin1());
    EXPECT_EQ(setFromFile(1024 * 1024 + 1), 2);
    EXPECT_EQ(platform::RegistryStore(store()).value(kKey, QStringLiteral("Big"))->bytes.size(), 1024 * 1024);

    // Still refused: an odd number of digits, and what is not hexadecimal.
    EXPECT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("Blob"), QStringLiteral("binary"), long40k + QLatin1Char('a')})
                  .exitCode, 2);
    EXPECT_EQ(reg({QStringLiteral("set"), kKey, QStringLiteral("Blob"), QStringLiteral("binary"), QStringLiteral("00g0")})
                  .exitCode, 2);
}

TEST_F(StavioRegTest, TwoProcessesWritingAtOnceLoseNothing) {
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/stavio-reg");
    const int perWriter = 60;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* prefix : {"a", "b"}) {
        const QString loop =
            QStringLiteral("i=0; while [ $i -lt %1 ]; do i=$((i+1)); "
                           "\"%2\" set 'Software\\Load' %3$i dword $i || exit 1; done")
                .arg(perWriter)
                .arg(program, QLatin1String(prefix));
        writers.emplace_back(startShell(loop));
    }
    for (auto& w : writers) {
        ASSERT_TRUE(w->waitForFinished(120000));
        EXPECT_EQ(w->exitCode(), 0) << w->readAllStandardError().constData();
    }
    platform::RegistryStore& store = platform::machineRegistry();
    EXPECT_EQ(store.values(QStringLiteral("Software\\Load")).size(), size_t(2 * perWriter));
    EXPECT_EQ(store.value(QStringLiteral("Software\\Load"), QStringLiteral("b%1").arg(perWriter))->dword,
              quint32(perWriter));
}

}  // namespace
