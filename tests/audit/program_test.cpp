// stavio-audit run as a process, finding its sides through the registry store
// of its environment.
#include "tests/audit/AuditFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "audit/DriftReport.h"
#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"
#include "stavio_version.h"
#include "tests/support/Programs.h"

namespace {

// RFC 4180 read back: records of fields, quotes undone. An unterminated
// last record is kept, so a missing CR LF shows in the comparison.
std::vector<QStringList> parseCsv(const QString& text) {
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c != QLatin1Char('"')) {
                field += c;
            } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            record << field;
            field.clear();
            records.push_back(record);
            record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !record.isEmpty()) records.push_back(record << field);
    return records;
}

class AuditProgramTest : public AuditTest {
protected:
    void SetUp() override {
        AuditTest::SetUp();
        RegistryAPI::CreateKey(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey));
        writeSetting(Setting::PrecipiaServerName, pmsServer());
        // The program runs on the real clock; the fake one stands in 2026.
        writeSetting(Setting::MailboxArchiveDays, 3650);
    }
    ProgramResult audit(const QStringList& args = {}) {
        return runProgram(QStringLiteral("stavio-audit"), args, {QStringLiteral("TZ=Europe/Berlin")});
    }
};

TEST_P(AuditProgramTest, ACleanHotelExitsZero) {
    const ProgramResult r = audit();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Checked 6 rooms and 4 guests: no drift.\n"));
    EXPECT_EQ(r.err, QString());
}

TEST_P(AuditProgramTest, DriftExitsOneAndTheCsvReportReadsBack) {
    gateway->rename(QStringLiteral("101"), QStringLiteral("Anna \"Nan\""), QStringLiteral("Lee, Jr"));
    checkIn("105", "Eve", "Gray", 0);
    unflagAll();
    const std::vector<audit::Drift> drifts = runAudit(3650).drifts;
    ASSERT_EQ(drifts.size(), 2u);

    ProgramResult r = audit();
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Room 101, guest-differs: ") + drifts[0].detail +
                         QStringLiteral("\nRoom 105, occupied-without-guest: ") + drifts[1].detail +
                         QStringLiteral("\nChecked 6 rooms and 4 guests: 2 drifts.\n"));

    r = audit({QStringLiteral("--csv")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(parseCsv(r.out),
              (std::vector<QStringList>{{QStringLiteral("Room"), QStringLiteral("Drift"), QStringLiteral("Detail")},
                                        {QStringLiteral("101"), QStringLiteral("guest-differs"), drifts[0].detail},
                                        {QStringLiteral("105"), QStringLiteral("occupied-without-guest"), drifts[1].detail}}));
    // The detail holds quotes and commas, so the report had to quote it.
    EXPECT_TRUE(drifts[0].detail.contains(QStringLiteral("\"Anna \"Nan\"\" in the PMS; last name \"Lee\" on the "
                                                         "server, \"Lee, Jr\" in the PMS")))
        << drifts[0].detail.toStdString();
    EXPECT_TRUE(flagged().isEmpty());  // only reads

    r = audit({QStringLiteral("--json")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    const QJsonObject report = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(report[QStringLiteral("rooms")].toInt(), 6);
    EXPECT_EQ(report[QStringLiteral("guests")].toInt(), 4);
    const QJsonArray listed = report[QStringLiteral("drifts")].toArray();
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[1].toObject(), (QJsonObject{{QStringLiteral("room"), QStringLiteral("105")},
                                                 {QStringLiteral("drift"), QStringLiteral("occupied-without-guest")},
                                                 {QStringLiteral("detail"), drifts[1].detail}}));

    // --flag: the report stays clean CSV, what was flagged goes to stderr.
    r = audit({QStringLiteral("--csv"), QStringLiteral("--flag")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(parseCsv(r.out).size(), 3u);
    EXPECT_EQ(r.err, QStringLiteral("Room 101 flagged for the next synchronisation sweep\n"
                                    "Room 105 flagged for the next synchronisation sweep\n"));
    EXPECT_EQ(flagged(), QStringList({QStringLiteral("101"), QStringLiteral("105")}));
}

TEST_P(AuditProgramTest, HelpAndVersionOnStandardOutputBadUsageExitsTwoWithAHint) {
    for (const char* help : {"--help", "-h"}) {
        const ProgramResult r = audit({QLatin1String(help)});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.out.contains(QStringLiteral("--pms <SERVER>"))) << r.out.toStdString();
        EXPECT_EQ(r.err, QString());
    }
    ProgramResult r = audit({QStringLiteral("--version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("stavio-audit " STAVIO_VERSION_TEXT "\n"));
    r = audit({QStringLiteral("--csvv")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, QStringLiteral("stavio-audit: Unknown option 'csvv' (did you mean '--csv'?); try 'stavio-audit --help'\n"));
    EXPECT_EQ(audit({QStringLiteral("--pms")}).exitCode, 2);
    EXPECT_EQ(audit({QStringLiteral("extra")}).exitCode, 2);
}

TEST_P(AuditProgramTest, AnUnreadablePmsExitsThreeWithItsReasonOnOneLine) {
    checkIn("105", "Eve", "Gray", 0);
    ProgramResult r = audit({QStringLiteral("--pms"), path(QStringLiteral("missing/ptceDB.sqlite"))});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("cannot read the PMS table: "))) << r.err.toStdString();
    EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1);

    writeSetting(Setting::PrecipiaServerName, QStringLiteral(" "));
    r = audit();
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, QStringLiteral("no PMS server: the setting \"Precipia Server Name\" is empty\n"));

    // --pms names the server the setting does not.
    r = audit({QStringLiteral("--pms"), pmsServer()});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Room 105, occupied-without-guest: "))) << r.out.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, AuditProgramTest, ::testing::Values(TestBackend::Sqlite), backendName);

}  // namespace
