#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/DiagnosticLogFile.h"
#include "common/RegistryAPI.h"
#include "common/ServiceSettings.h"
#include "common/ServiceState.h"
#include "common/VoxarenVersion.h"
#include "common/modLogging.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "tests/support/TestEnvironment.h"

using namespace modLogging;

namespace {

const QDateTime kStart(QDate(2026, 12, 6), QTime(7, 5, 9));

class DiagnosticLogTest : public StavioTest {
protected:
    DiagnosticLogTest() { fakeClockStart = kStart; }
    void SetUp() override {
        StavioTest::SetUp();
        serviceState.log.folder = folder() + QStringLiteral("/logs/");
        writeServerVersion(0x40000, 0x20068);
        ReadVoxarenVersion();
    }
    QString startLog() {
        const QString name = serviceState.log.GenerateNewLogFileName();
        serviceState.log.StartLogFile(name);
        return name;
    }
};

const QString kHeader = QStringLiteral(
    "================================================================\r\n"
    "Running VoxarenStavio service version 1.0.0\r\n"
    "Local Voxaren version=4.0(2.104)\r\n"
    "Starting log at 12/6/2026 7:05:09 AM\r\n"
    "================================================================\r\n"
    "\r\n"
    "Time, Event ID, Event Title, Primary Room, Secondary Room, Description\r\n");

TEST(EventTitles, TableAndInvalidIds) {
    EXPECT_EQ(ConvertEventIDToString(1), QStringLiteral("START_UP"));
    EXPECT_EQ(ConvertEventIDToString(1007), QStringLiteral("CHECK_IN_DEBUG"));
    EXPECT_EQ(ConvertEventIDToString(1020), QStringLiteral("ROOM_UPDATE"));
    EXPECT_EQ(ConvertEventIDToString(1023), QStringLiteral("MWI_SYNC_DEBUG"));
    for (int id : {0, 5, 1002, 1024, -1})
        EXPECT_EQ(ConvertEventIDToString(id), QStringLiteral("[invalid event id]")) << id;
}

TEST_F(DiagnosticLogTest, EventSourceIsRegisteredWithItsMessageFiles) {
    startEventLog();
    const QString key =
        QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\OrvantaVoxaren_Stavio");
    auto& store = platform::machineRegistry();
    ASSERT_TRUE(store.keyExists(key));
    EXPECT_EQ(store.value(key, QStringLiteral("EventMessageFile"))->text, folder() + QStringLiteral("/EVT_Stavio.dll"));
    EXPECT_EQ(store.value(key, QStringLiteral("ParameterMessageFile"))->text,
              folder() + QStringLiteral("/PARAM_Stavio.dll"));
    EXPECT_TRUE(events.entries.empty());
}

TEST_F(DiagnosticLogTest, FileNameHeaderAndEntryLinesByteForByte) {
    const QString name = startLog();
    EXPECT_EQ(name, folder() + QStringLiteral("/logs/VoxarenStavio_Log_20261206_07_05_09.TXT"));
    EXPECT_TRUE(QFileInfo(folder() + QStringLiteral("/logs")).isDir());

    MyDiagnosticLog(QStringLiteral("First Name= ANNA"), EVENT_CHECK_IN_DEBUG, QStringLiteral("214"), QString(), true);
    clock->set(QDateTime(QDate(2026, 12, 7), QTime(0, 0)));
    LogServiceEvent(EVENT_CHECK_OUT, SEVERITY_INFORMATION, QStringLiteral("Guest Smith, John checked out, room 214"), true);
    MyDiagnosticLog(QStringLiteral("plain text"), 0, QString(), QString(), false);

    EXPECT_EQ(readFile(name), kHeader +
                                  QStringLiteral("12/6/2026 7:05:09 AM,1007,CHECK_IN_DEBUG,214,,First Name= ANNA\r\n"
                                                 "12/7/2026,1004,CHECK_OUT,,,Guest Smith, John checked out, room 214\r\n"
                                                 "plain text\r\n"));
    ASSERT_EQ(events.entries.size(), 1u);
    EXPECT_EQ(events.entries[0].source, QStringLiteral("OrvantaVoxaren_Stavio"));
    EXPECT_EQ(events.entries[0].id, 1004);
}

// A name from the PMS holding CR LF cannot write a line that reads as an
// entry of its own (a report would list a check-out that never was).
TEST_F(DiagnosticLogTest, ALineBreakInAFieldNeverStartsAnotherLine) {
    const QString name = startLog();
    MyDiagnosticLog(QStringLiteral("New mailbox created for Eve\r\n12/6/2026 7:05:09 AM,1004,CHECK_OUT,999,,Mailbox "
                                   "checked out\nEnd\rX"),
                    EVENT_CHECK_IN, QStringLiteral("101\r\n"), QStringLiteral("\n"), true);
    EXPECT_EQ(readFile(name), kHeader + QStringLiteral("12/6/2026 7:05:09 AM,1003,CHECK_IN,101 , ,New mailbox created for "
                                                       "Eve 12/6/2026 7:05:09 AM,1004,CHECK_OUT,999,,Mailbox checked out "
                                                       "End X\r\n"));
}

TEST_F(DiagnosticLogTest, CurrentLogFileIsRecordedWhenTheSettingsKeyExists) {
    startLog();
    EXPECT_FALSE(platform::machineRegistry().keyExists(QLatin1String(kSettingsKey)));
    platform::machineRegistry().createKey(QLatin1String(kSettingsKey));
    const QString name = startLog();
    EXPECT_EQ(platform::machineRegistry().value(QLatin1String(kSettingsKey), QStringLiteral("CurrentLogFile"))->text,
              name);
    EXPECT_EQ(serviceState.log.LogStartDate(), kStart);
}

TEST_F(DiagnosticLogTest, SecondStartInTheSameSecondReplacesTheFile) {
    const QString first = startLog();
    MyDiagnosticLog(QStringLiteral("from the first start"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    const QString second = startLog();
    EXPECT_EQ(first, second);
    EXPECT_EQ(readFile(second), kHeader);
}

TEST_F(DiagnosticLogTest, SeverityOutsideOneToThreeWritesOnlyTheDiagnosticLine) {
    const QString name = startLog();
    LogServiceEvent(EVENT_SYNC_START, 0, QStringLiteral("zero"), true);
    LogServiceEvent(EVENT_SYNC_START, 4, QStringLiteral("four"), true);
    LogServiceEvent(EVENT_SYNC_START, SEVERITY_WARNING, QStringLiteral("event only"), false);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("event only")});
    const QString text = readFile(name);
    EXPECT_TRUE(text.contains(QStringLiteral(",1011,SYNC_START,,,zero\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral(",1011,SYNC_START,,,four\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("event only")));
}

TEST_F(DiagnosticLogTest, BeforeALogIsOpenOnlyTheEventLogIsWritten) {
    LogServiceEvent(EVENT_ERROR, SEVERITY_ERROR, QStringLiteral("early problem"), true);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("early problem")});
    EXPECT_FALSE(serviceState.log.IsOpen());
    EXPECT_FALSE(QFileInfo::exists(serviceState.log.folder));
}

TEST_F(DiagnosticLogTest, FolderWithoutSeparatorPrefixesTheName) {
    serviceState.log.folder = folder() + QStringLiteral("/stavio");
    EXPECT_EQ(serviceState.log.GenerateNewLogFileName(),
              folder() + QStringLiteral("/stavioVoxarenStavio_Log_20261206_07_05_09.TXT"));
}

TEST_F(DiagnosticLogTest, MissingParentFolderIsLoggedAndTheLogStaysClosed) {
    serviceState.log.folder = folder() + QStringLiteral("/no/such/");
    const QString name = startLog();
    EXPECT_EQ(name, folder() + QStringLiteral("/no/such/VoxarenStavio_Log_20261206_07_05_09.TXT"));
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral(
                                "(error):76 (Path not found) in procedure GenerateNewLogFileName of Module Module1")});
    EXPECT_FALSE(serviceState.log.IsOpen());
    EXPECT_FALSE(QFileInfo::exists(name));
}

TEST_F(DiagnosticLogTest, AFailingLogIsReportedOnceAndAgainAfterAWriteWorked) {
    platform::machineRegistry().createKey(QLatin1String(kSettingsKey));
    const QString good = startLog();
    MyDiagnosticLog(QStringLiteral("written"), EVENT_SYNC_DEBUG, QString(), QString(), true);

    // A log folder that cannot be made: the file is never created...
    serviceState.log.folder = folder() + QStringLiteral("/no/such/");
    const QString bad = startLog();
    events.entries.clear();
    // The value names the new file all the same: readers find the log missing,
    // rather than showing the last run's file as if it still grew.
    EXPECT_EQ(platform::machineRegistry().value(QLatin1String(kSettingsKey), QStringLiteral("CurrentLogFile"))->text,
              bad);
    EXPECT_NE(bad, good);

    // ...and the first line that cannot be written says so, as the log's own trap.
    MyDiagnosticLog(QStringLiteral("lost 1"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    const QString report = QStringLiteral("(error):76 (Path not found: ") + bad +
                           QStringLiteral(") in procedure MyDiagnosticLog of Module modLogging");
    ASSERT_EQ(events.entries.size(), 1u);
    EXPECT_EQ(events.entries[0].id, EVENT_ERROR);
    EXPECT_EQ(events.entries[0].severity, platform::EventSeverity::Error);
    EXPECT_EQ(events.entries[0].source, QStringLiteral("OrvantaVoxaren_Stavio"));
    EXPECT_EQ(events.entries[0].text, report);

    // The lines after it add nothing to the event log but their own entries.
    MyDiagnosticLog(QStringLiteral("lost 2"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    LogServiceEvent(EVENT_CHECK_IN, SEVERITY_INFORMATION, QStringLiteral("lost 3"), true);
    EXPECT_EQ(eventTexts(), QStringList({report, QStringLiteral("lost 3")}));

    // Once a write has worked, the next failure is reported again.
    QDir().mkpath(folder() + QStringLiteral("/no/such"));
    serviceState.log.StartLogFile(bad);
    MyDiagnosticLog(QStringLiteral("written again"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    EXPECT_TRUE(readFile(bad).endsWith(QStringLiteral(",1019,SYNC_DEBUG,,,written again\r\n")));
    serviceState.log.CloseLogFile();
    serviceState.log.StartLogFile(folder() +
                                  QStringLiteral("/gone/VoxarenStavio_Log_20261206_07_05_09.TXT"));
    events.entries.clear();
    MyDiagnosticLog(QStringLiteral("lost 4"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    MyDiagnosticLog(QStringLiteral("lost 5"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("(error):76 (Path not found: ") + folder() +
                                        QStringLiteral("/gone/VoxarenStavio_Log_20261206_07_05_09.TXT) in procedure "
                                                       "MyDiagnosticLog of Module modLogging")});
}

// A full disk takes part of a line before it refuses: the report names the
// cause, not an unknown error. A file size limit fails the same way.
TEST_F(DiagnosticLogTest, AWriteCutShortNamesItsCause) {
    const QString log = startLog();
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = rlim_t(QFileInfo(log).size() + 10);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    events.entries.clear();
    MyDiagnosticLog(QStringLiteral("a line longer than what is left"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedSignal);
    ASSERT_EQ(events.entries.size(), 1u);
    EXPECT_EQ(events.entries[0].text, QStringLiteral("(error):57 (Device I/O error: File too large) in procedure "
                                                     "MyDiagnosticLog of Module modLogging"));
}

TEST_F(DiagnosticLogTest, ARemovedLogFolderIsMadeAgainWithANewFile) {
    const QString first = startLog();
    EXPECT_FALSE(serviceState.log.RestartIfLost());  // nothing lost
    EXPECT_EQ(serviceState.log.CurrentLogFile(), first);

    ASSERT_TRUE(QDir(folder() + QStringLiteral("/logs")).removeRecursively());
    clock->set(QDateTime(QDate(2026, 12, 6), QTime(9, 30)));
    EXPECT_TRUE(serviceState.log.RestartIfLost());
    const QString second = folder() + QStringLiteral("/logs/VoxarenStavio_Log_20261206_09_30_00.TXT");
    EXPECT_EQ(serviceState.log.CurrentLogFile(), second);
    MyDiagnosticLog(QStringLiteral("after"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    EXPECT_TRUE(readFile(second).startsWith(QStringLiteral("=====")));
    EXPECT_TRUE(readFile(second).endsWith(QStringLiteral("9:30:00 AM,1019,SYNC_DEBUG,,,after\r\n")));
    EXPECT_TRUE(events.entries.empty());

    // Only the last level is made: while its parent is missing too, nothing happens.
    serviceState.log.folder = folder() + QStringLiteral("/parent/logs/");
    serviceState.log.StartLogFile(
        folder() + QStringLiteral("/parent/logs/VoxarenStavio_Log_20261206_09_30_00.TXT"));
    EXPECT_FALSE(serviceState.log.RestartIfLost());
    EXPECT_TRUE(events.entries.empty());
    QDir().mkdir(folder() + QStringLiteral("/parent"));
    EXPECT_TRUE(serviceState.log.RestartIfLost());
    EXPECT_TRUE(QFileInfo::exists(folder() + QStringLiteral("/parent/logs/VoxarenStavio_Log_20261206_09_30_00.TXT")));
}

TEST_F(DiagnosticLogTest, ALogFolderReplacedByAFileMakesTheWritesFailOnceReported) {
    const QString first = startLog();
    const QString logs = folder() + QStringLiteral("/logs");
    ASSERT_TRUE(QDir(logs).removeRecursively());
    QFile blocker(logs);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_FALSE(serviceState.log.RestartIfLost());
    MyDiagnosticLog(QStringLiteral("lost 1"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    MyDiagnosticLog(QStringLiteral("lost 2"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral("(error):76 (Path not found: ") + first +
                                        QStringLiteral(") in procedure MyDiagnosticLog of Module modLogging")});

    // The folder back, the next check starts a new file and the writes land there.
    ASSERT_TRUE(QFile::remove(logs));
    clock->set(QDateTime(QDate(2026, 12, 6), QTime(10, 15)));
    EXPECT_TRUE(serviceState.log.RestartIfLost());
    MyDiagnosticLog(QStringLiteral("after"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    EXPECT_TRUE(readFile(logs + QStringLiteral("/VoxarenStavio_Log_20261206_10_15_00.TXT"))
                    .endsWith(QStringLiteral(",1019,SYNC_DEBUG,,,after\r\n")));
}

TEST_F(DiagnosticLogTest, NegativeRetentionKeepsTodaysFiles) {
    const QString logs = folder() + QStringLiteral("/logs/");
    QDir().mkdir(logs);
    serviceState.settings.LogRetentionDays = -3;
    const auto make = [&](const QString& name, const QDateTime& modified) {
        QFile f(logs + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.flush();
        EXPECT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    make(QStringLiteral("VoxarenStavio_Log_20261206_00_01_00.TXT"), QDateTime(QDate(2026, 12, 6), QTime(0, 1)));
    make(QStringLiteral("VoxarenStavio_Log_20261205_23_59_00.TXT"), QDateTime(QDate(2026, 12, 5), QTime(23, 59)));
    serviceState.log.CleanupLogFiles();
    EXPECT_EQ(QDir(logs).entryList(QDir::Files), QStringList{QStringLiteral("VoxarenStavio_Log_20261206_00_01_00.TXT")});
}

TEST_F(DiagnosticLogTest, CleanupCountsCalendarDayBoundaries) {
    const QString logs = folder() + QStringLiteral("/logs/");
    QDir().mkdir(logs);
    clock->set(QDateTime(QDate(2026, 12, 6), QTime(0, 30)));
    serviceState.settings.LogRetentionDays = 2;
    const auto make = [&](const QString& name, const QDateTime& modified, bool readOnly = false) {
        QFile f(logs + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.flush();  // a later flush would stamp the file anew
        EXPECT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        f.close();
        if (readOnly) f.setPermissions(QFileDevice::ReadOwner);
    };
    make(QStringLiteral("VoxarenStavio_Log_20261203_23_59_00.TXT"), QDateTime(QDate(2026, 12, 3), QTime(23, 59)));
    make(QStringLiteral("VoxarenStavioAdmin_Log_261204_00_01_00.TXT"), QDateTime(QDate(2026, 12, 4), QTime(0, 1)));
    make(QStringLiteral("Archived_Room__2026_11_01_12_00_00.csv"), QDateTime(QDate(2026, 11, 1), QTime(12, 0)), true);
    make(QStringLiteral("guest-contracts.pdf"), QDateTime(QDate(2026, 11, 1), QTime(12, 0)));  // not the system's: stays
    make(QStringLiteral("VoxarenStavio_Log_20261206_00_10_00.TXT"), QDateTime(QDate(2026, 12, 6), QTime(0, 10)));

    serviceState.log.CleanupLogFiles();
    QStringList left = QDir(logs).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({"VoxarenStavioAdmin_Log_261204_00_01_00.TXT", "VoxarenStavio_Log_20261206_00_10_00.TXT",
                                 "guest-contracts.pdf"}));
    EXPECT_TRUE(events.entries.empty());
}

}  // namespace
