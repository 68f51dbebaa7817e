#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "common/AdminLog.h"
#include "platform/clock.h"
#include "tests/support/TestEnvironment.h"

namespace {

class AdminLogTest : public StavioTest {
protected:
    AdminLogTest() { fakeClockStart = QDateTime(QDate(2026, 12, 6), QTime(19, 5, 9)); }
};

TEST_F(AdminLogTest, NameHeaderAndStampedLines) {
    AdminLog log(folder(), QStringLiteral("VoxarenStavioAdmin"));
    log.Start(QStringLiteral("4.0(2.104)"));
    EXPECT_EQ(log.Path(), folder() + QStringLiteral("/logs/VoxarenStavioAdmin_Log_261206_19_05_09.TXT"));

    QString text = QStringLiteral("Settings saved");
    log.Write(text, true);
    EXPECT_EQ(text, QStringLiteral("12/6/2026 7:05:09 PM: Settings saved"));
    QString plain = QStringLiteral("no stamp");
    log.Write(plain, false);
    EXPECT_EQ(plain, QStringLiteral("no stamp"));

    log.Reopen();  // as before an editor opens it: nothing is lost or repeated
    QString after = QStringLiteral("after reopening");
    log.Write(after, false);
    log.Close();

    EXPECT_EQ(readFile(log.Path()),
              QStringLiteral("================================================================\r\n"
                             "Running VoxarenStavioAdmin, version 1.0.0\r\n"
                             "\r\n"
                             "Local Voxaren version=4.0(2.104)\r\n"
                             "Local time=12/6/2026 7:05:09 PM\r\n"
                             "================================================================\r\n"
                             "\r\n"
                             "12/6/2026 7:05:09 PM: Settings saved\r\n"
                             "no stamp\r\n"
                             "after reopening\r\n"));
}

TEST_F(AdminLogTest, StartPrunesFilesOlderThanTenDays) {
    const QString logs = folder() + QStringLiteral("/logs/");
    QDir().mkdir(logs);
    const auto make = [&](const QString& name, const QDate& day) {
        QFile f(logs + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.setFileTime(QDateTime(day, QTime(23, 0)), QFileDevice::FileModificationTime));
    };
    make(QStringLiteral("VoxarenStavioAdmin_Log_261125_23_00_00.TXT"), QDate(2026, 11, 25));
    make(QStringLiteral("VoxarenStavioAdmin_Log_261126_23_00_00.TXT"), QDate(2026, 11, 26));
    make(QStringLiteral("guest-contracts.pdf"), QDate(2026, 1, 1));  // not the system's: stays
    AdminLog log(folder(), QStringLiteral("VoxarenStavioAdmin"));
    log.Start(QString());
    QStringList left = QDir(logs).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({"VoxarenStavioAdmin_Log_261126_23_00_00.TXT", "VoxarenStavioAdmin_Log_261206_19_05_09.TXT",
                                 "guest-contracts.pdf"}));
}

}  // namespace
