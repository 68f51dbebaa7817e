// The log sweep: files of the log folder made before the retention period
// began are deleted, by the time the file system says each was made.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "service/Sweeps.h"
#include "tests/support/GuestFixture.h"

using namespace modPMSFunctions;

namespace {

class LogSweepTest : public GuestFixture {
protected:
    void SetUp() override {
        GuestFixture::SetUp();
        ASSERT_TRUE(QDir().mkpath(logs()));
        serviceState.settings.PathToLogs = logs() + QLatin1Char('/');
        serviceState.settings.LogRetentionDays = 7;
    }
    QString logs() const { return path(QStringLiteral("logs")); }
    QString inLogs(const QString& name) const { return logs() + QLatin1Char('/') + name; }

    void write(const QString& name) {
        QFile file(inLogs(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("12/6/2026 7:05:09 AM,1,START_UP,,,Orvanta Voxaren Stavio service started\r\n");
    }
    static QDateTime born(const QString& file) { return QFileInfo(file).birthTime(); }
    // Makes the file anew until the file system's clock has moved past `after`.
    void writeBornAfter(const QString& name, const QDateTime& after) {
        write(name);
        for (int i = 0; i < 1000000 && born(inLogs(name)) <= after; ++i) {
            QFile::remove(inLogs(name));
            write(name);
        }
        ASSERT_GT(born(inLogs(name)), after);
    }
    void setModified(const QString& name, const QDateTime& when) {
        QFile file(inLogs(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
    }
    QStringList files() const { return QDir(logs()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(LogSweepTest, FilesMadeBeforeTheRetentionDaysBeganGoWhateverTheirLastChange) {
    write(QStringLiteral("VoxarenStavio_Log_20260101_03_00_00.TXT"));
    write(QStringLiteral("Room_Activity__2026_01_01_03_00_00.csv"));
    // What the system did not write stays, however old.
    for (const char* other : {"guest-contracts.pdf", ".hidden-config", "VoxarenStavio_Log_notes.TXT"})
        write(QLatin1String(other));
    if (!born(inLogs(QStringLiteral("Room_Activity__2026_01_01_03_00_00.csv"))).isValid())
        GTEST_SKIP() << "this file system records no creation times";
    const QDateTime lastOld = std::max(born(inLogs(QStringLiteral("Room_Activity__2026_01_01_03_00_00.csv"))),
                                       born(inLogs(QStringLiteral("VoxarenStavio_Log_20260101_03_00_00.TXT"))));
    writeBornAfter(QStringLiteral("VoxarenStavio_Log_20260108_03_00_00.TXT"), lastOld);
    const QDateTime newest = born(inLogs(QStringLiteral("VoxarenStavio_Log_20260108_03_00_00.TXT")));
    // Last changes that point the other way: the creation times decide.
    setModified(QStringLiteral("Room_Activity__2026_01_01_03_00_00.csv"), newest.addDays(1));
    setModified(QStringLiteral("VoxarenStavio_Log_20260101_03_00_00.TXT"), newest.addDays(1));
    setModified(QStringLiteral("VoxarenStavio_Log_20260108_03_00_00.TXT"), QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
    QFile::setPermissions(inLogs(QStringLiteral("Room_Activity__2026_01_01_03_00_00.csv")), QFileDevice::ReadOwner);  // read-only goes too

    clock->set(newest.addDays(7));  // the cut-off is the newest file's very moment: it stays
    SweepForLogDeletes(serviceState);

    EXPECT_EQ(QDir(logs()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({".hidden-config", "VoxarenStavio_Log_20260108_03_00_00.TXT", "VoxarenStavio_Log_notes.TXT",
                           "guest-contracts.pdf"}));
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 4) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("1018,LOG_DELETE_DEBUG,,,Searching for logs to delete that are older than: ")));
    EXPECT_EQ(lines.mid(1), QStringList({"1017,LOG_DELETE,,,Removing: Room_Activity__2026_01_01_03_00_00.csv",
                                         "1017,LOG_DELETE,,,Removing: VoxarenStavio_Log_20260101_03_00_00.TXT",
                                         "1017,LOG_DELETE,,,Log sweep complete.  2 log files removed"}));
    EXPECT_TRUE(eventTexts().isEmpty()) << eventTexts().join('\n').toStdString();
}

TEST_F(LogSweepTest, TheCutOffIsTheRetentionDaysBeforeNowAndANegativeNumberCountsAsNone) {
    write(QStringLiteral("today.TXT"));  // made now, long after the fake clock's time
    SweepForLogDeletes(serviceState);
    serviceState.settings.LogRetentionDays = -5;
    SweepForLogDeletes(serviceState);
    serviceState.settings.DebugMode = false;
    SweepForLogDeletes(serviceState);
    EXPECT_EQ(logLines(), QStringList({"1018,LOG_DELETE_DEBUG,,,Searching for logs to delete that are older than: "
                                       "2/23/2026 2:05:09 PM",
                                       "1017,LOG_DELETE,,,Log sweep complete.  0 log files removed",
                                       "1018,LOG_DELETE_DEBUG,,,Searching for logs to delete that are older than: "
                                       "3/2/2026 2:05:09 PM",
                                       "1017,LOG_DELETE,,,Log sweep complete.  0 log files removed",
                                       "1017,LOG_DELETE,,,Log sweep complete.  0 log files removed"}));
    EXPECT_EQ(files(), QStringList{QStringLiteral("today.TXT")});
}

TEST_F(LogSweepTest, TheLogBeingWrittenStaysEvenWithoutRetentionDays) {
    write(QStringLiteral("VoxarenStavio_Log_20260301_03_00_00.TXT"));
    const QString current = inLogs(QStringLiteral("VoxarenStavio_Log_20260302_03_00_00.TXT"));
    serviceState.log.CloseLogFile();
    serviceState.log.StartLogFile(current);
    serviceState.settings.LogRetentionDays = 0;
    clock->set(QFileInfo(current).lastModified().addDays(1));  // every file is older than now
    SweepForLogDeletes(serviceState);

    EXPECT_EQ(files(), QStringList{QStringLiteral("VoxarenStavio_Log_20260302_03_00_00.TXT")});
    const QStringList lines = readFile(current).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).mid(6);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",1017,LOG_DELETE,,,Removing: VoxarenStavio_Log_20260301_03_00_00.TXT")));
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(",1017,LOG_DELETE,,,Log sweep complete.  1 log files removed")));
}

TEST_F(LogSweepTest, WithoutAFolderSettingTheLogFolderIsSweptAndAMissingFolderIsReported) {
    serviceState.settings.PathToLogs.clear();
    serviceState.log.folder = logs() + QLatin1Char('/');
    write(QStringLiteral("VoxarenStavioAdmin_Log_260101_03_00_00.TXT"));
    clock->set(QFileInfo(inLogs(QStringLiteral("VoxarenStavioAdmin_Log_260101_03_00_00.TXT"))).lastModified().addDays(8));
    SweepForLogDeletes(serviceState);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_EQ(logLines().last(), QStringLiteral("1017,LOG_DELETE,,,Log sweep complete.  1 log files removed"));

    serviceState.settings.PathToLogs = path(QStringLiteral("gone/"));
    SweepForLogDeletes(serviceState);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("(error):76 (Path not found: ") + path(QStringLiteral("gone/")) +
                                        QStringLiteral(") in procedure SweepForLogDeletes of Module modPMSFunctions")});
    EXPECT_EQ(logLines().last(), QStringLiteral("1017,LOG_DELETE,,,Log sweep complete.  0 log files removed"));
}

}  // namespace
