#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

#include "platform/registry.h"
#include "tests/support/PlatformEnv.h"
#include "tests/support/Programs.h"

namespace {

class StavioRegTest : public PlatformEnvTest {
protected:
    ProgramResult reg(const QStringList& args) { return runProgram(QStringLiteral("stavio-reg"), args); }
};

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
