#include <gtest/gtest.h>

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
        serviceState().logFolder = folder() + QStringLiteral("/logs/");
        writeServerVersion(0x40000, 0x20068);
        ReadVoxarenVersion();
    }
    QString startLog() {
        const QString name = DiagnosticLogFile::GenerateNewLogFileName();
        DiagnosticLogFile::StartLogFile(name);
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

TEST_F(DiagnosticLogTest, CurrentLogFileIsRecordedWhenTheSettingsKeyExists) {
    startLog();
    EXPECT_FALSE(platform::machineRegistry().keyExists(QLatin1String(kSettingsKey)));
    platform::machineRegistry().createKey(QLatin1String(kSettingsKey));
    const QString name = startLog();
    EXPECT_EQ(platform::machineRegistry().value(QLatin1String(kSettingsKey), QStringLiteral("CurrentLogFile"))->text,
              name);
    EXPECT_EQ(DiagnosticLogFile::LogStartDate(), kStart);
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
    EXPECT_FALSE(DiagnosticLogFile::IsOpen());
    EXPECT_FALSE(QFileInfo::exists(serviceState().logFolder));
}

TEST_F(DiagnosticLogTest, FolderWithoutSeparatorPrefixesTheName) {
    serviceState().logFolder = folder() + QStringLiteral("/stavio");
    EXPECT_EQ(DiagnosticLogFile::GenerateNewLogFileName(),
              folder() + QStringLiteral("/stavioVoxarenStavio_Log_20261206_07_05_09.TXT"));
}

TEST_F(DiagnosticLogTest, MissingParentFolderIsLoggedAndTheLogStaysClosed) {
    serviceState().logFolder = folder() + QStringLiteral("/no/such/");
    const QString name = startLog();
    EXPECT_EQ(name, folder() + QStringLiteral("/no/such/VoxarenStavio_Log_20261206_07_05_09.TXT"));
    EXPECT_EQ(eventTexts(), QStringList{QStringLiteral(
                                "(error):76 (Path not found) in procedure GenerateNewLogFileName of Module Module1")});
    EXPECT_FALSE(DiagnosticLogFile::IsOpen());
    MyDiagnosticLog(QStringLiteral("lost"), EVENT_SYNC_DEBUG, QString(), QString(), true);
    EXPECT_EQ(events.entries.size(), 1u);
}

TEST_F(DiagnosticLogTest, CleanupCountsCalendarDayBoundaries) {
    const QString logs = folder() + QStringLiteral("/logs/");
    QDir().mkdir(logs);
    clock->set(QDateTime(QDate(2026, 12, 6), QTime(0, 30)));
    serviceState().settings.LogRetentionDays = 2;
    const auto make = [&](const QString& name, const QDateTime& modified, bool readOnly = false) {
        QFile f(logs + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.flush();  // a later flush would stamp the file anew
        EXPECT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
        f.close();
        if (readOnly) f.setPermissions(QFileDevice::ReadOwner);
    };
    make(QStringLiteral("three_boundaries.TXT"), QDateTime(QDate(2026, 12, 3), QTime(23, 59)));
    make(QStringLiteral("two_boundaries.TXT"), QDateTime(QDate(2026, 12, 4), QTime(0, 1)));
    make(QStringLiteral("old_read_only.dat"), QDateTime(QDate(2026, 11, 1), QTime(12, 0)), true);
    make(QStringLiteral("today.TXT"), QDateTime(QDate(2026, 12, 6), QTime(0, 10)));

    DiagnosticLogFile::CleanupLogFiles();
    QStringList left = QDir(logs).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({QStringLiteral("today.TXT"), QStringLiteral("two_boundaries.TXT")}));
    EXPECT_TRUE(events.entries.empty());
}

}  // namespace
