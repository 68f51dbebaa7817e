#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "platform/registry.h"
#include "platform/scm/servicestatus.h"
#include "tests/support/Programs.h"
#include "tests/support/TestEnvironment.h"

namespace {

class InstallTest : public StavioTest {
protected:
    QString unit() const { return path(QStringLiteral("units/OrvantaVoxarenStavio.service")); }
    // Vesselrun with this test's unit folder (and any further settings).
    ProgramResult vesselrun(const QStringList& args, const QStringList& environment = {}) {
        return runProgram(QStringLiteral("Vesselrun"), args,
                          QStringList{QStringLiteral("VESSELRUN_UNIT_DIR=") + path(QStringLiteral("units"))} + environment);
    }
    ProgramResult install(const QString& name, const QStringList& more = {}, const QStringList& environment = {}) {
        return vesselrun(QStringList{"install", "name=" + name, "progid=OrvantaVoxarenStavio.Stavio"} + more, environment);
    }
    // The unit's lines that set `setting`.
    static QStringList settingLines(const QString& unitText, const QString& setting) {
        return unitText.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^") + setting + QLatin1Char('=')));
    }
    const QString key = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\OrvantaVoxarenStavio");
    const QString services = QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\");
};

TEST_F(InstallTest, WithoutArgumentsPrintsTheUsage) {
    const ProgramResult r = vesselrun({});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral(
                         "Usage:\n"
                         "  Vesselrun install name=<ServiceName> display=<DisplayName> progid=<ProgId> arguments=<optional arguments>\n"
                         "  Vesselrun uninstall name=<ServiceName>\n"
                         "  Vesselrun progid=<ProgId> arguments=<optional arguments>\n"));
    const ProgramResult noProgId = vesselrun({"install", "name=OrvantaVoxarenStavio"});
    EXPECT_EQ(noProgId.exitCode, 1);
    EXPECT_TRUE(noProgId.out.startsWith(QStringLiteral("Usage:\n")));
    EXPECT_FALSE(QFile::exists(unit()));
}

TEST_F(InstallTest, InstallWritesTheUnitAndTheServiceRecordAndUninstallRemovesThem) {
    const ProgramResult r = vesselrun({"install", "name=OrvantaVoxarenStavio", "display=Orvanta Voxaren Stavio",
                                        "progid=OrvantaVoxarenStavio.Stavio", "arguments=quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QString image = QStringLiteral("\"%1\" progid=OrvantaVoxarenStavio.Stavio arguments=\"quiet\"")
                              .arg(binary(QStringLiteral("Vesselrun")));
    const QString text = readFile(unit());
    EXPECT_TRUE(text.contains(QStringLiteral("Description=Orvanta Voxaren Stavio\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Type=notify\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("ExecStart=") + image + QLatin1Char('\n')));
    EXPECT_TRUE(text.contains(QStringLiteral("Environment=\"STAVIO_REGISTRY=") + path(QStringLiteral("registry.db"))));

    platform::RegistryStore& store = platform::machineRegistry();
    EXPECT_EQ(store.value(key, QStringLiteral("ImagePath"))->text, image);
    EXPECT_EQ(store.value(key, QStringLiteral("DisplayName"))->text, QStringLiteral("Orvanta Voxaren Stavio"));
    EXPECT_EQ(store.value(key, QStringLiteral("Start"))->dword, 3u);

    // Installing again replaces the service.
    EXPECT_EQ(vesselrun({"install", "name=OrvantaVoxarenStavio", "progid=Other.Control"}).exitCode, 0);
    EXPECT_TRUE(readFile(unit()).contains(QStringLiteral("progid=Other.Control\n")));
    EXPECT_EQ(store.value(key, QStringLiteral("DisplayName"))->text, QStringLiteral("OrvantaVoxarenStavio"));

    // Enabled (systemctl enable links it), and another service's link beside it.
    const QString wants = path(QStringLiteral("units/multi-user.target.wants/"));
    ASSERT_TRUE(QDir().mkpath(wants));
    ASSERT_TRUE(QFile::link(unit(), wants + QStringLiteral("OrvantaVoxarenStavio.service")));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("units/other.service")), wants + QStringLiteral("other.service")));

    const ProgramResult removed = vesselrun({"uninstall", "name=OrvantaVoxarenStavio"});
    EXPECT_EQ(removed.exitCode, 0);
    EXPECT_FALSE(QFile::exists(unit()));
    EXPECT_EQ(QDir(wants).entryList(QDir::System | QDir::Files), QStringList{QStringLiteral("other.service")});
    EXPECT_FALSE(store.keyExists(key));

    const ProgramResult again = vesselrun({"uninstall", "name=OrvantaVoxarenStavio"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, QString());  // a missing service is removed silently
}

TEST_F(InstallTest, AnUnwritableUnitDirectoryIsReportedAsFailure) {
    QFile blocker(path(QStringLiteral("units")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    const ProgramResult r = vesselrun({"install", "name=OrvantaVoxarenStavio", "progid=OrvantaVoxarenStavio.Stavio"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Failed to create service - "))) << r.out.toStdString();
    EXPECT_FALSE(platform::machineRegistry().keyExists(key));
}

TEST_F(InstallTest, NamesThatSystemdOrAFileNameCannotCarryAreRefused) {
    ASSERT_EQ(install(QStringLiteral("First")).exitCode, 0);
    ASSERT_EQ(install(QStringLiteral("Second")).exitCode, 0);
    platform::RegistryStore& store = platform::machineRegistry();

    // A backslash would name the key that holds every service.
    const ProgramResult all = vesselrun({"uninstall", "name=\\"});
    EXPECT_EQ(all.exitCode, 1);
    EXPECT_TRUE(all.out.startsWith(QStringLiteral("Invalid service name \"\\\""))) << all.out.toStdString();
    EXPECT_TRUE(store.value(services + "First", QStringLiteral("ImagePath")));
    EXPECT_TRUE(store.value(services + "Second", QStringLiteral("ImagePath")));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("units/First.service"))));

    for (const QString& name : {QStringLiteral("../escaped"), QStringLiteral("My Svc"), QStringLiteral("-x"),
                                QStringLiteral("tmpl@"), QString(248, QLatin1Char('n'))}) {
        const ProgramResult r = install(name);
        EXPECT_EQ(r.exitCode, 1) << name.toStdString();
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Invalid service name"))) << r.out.toStdString();
        EXPECT_FALSE(store.keyExists(services + name)) << name.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("escaped.service"))));
    EXPECT_EQ(QDir(path(QStringLiteral("units"))).entryList(QDir::Files), QStringList({"First.service", "Second.service"}));
    // What systemd allows is accepted.
    EXPECT_EQ(install(QStringLiteral("stavio-2:x_y.z@site")).exitCode, 0);

    // A ProgID names the state file and stands in the unit's command line.
    const ProgramResult progId = vesselrun({"install", "name=Third", "progid=../../x"});
    EXPECT_EQ(progId.exitCode, 1);
    EXPECT_TRUE(progId.out.startsWith(QStringLiteral("Invalid ProgId \"../../x\""))) << progId.out.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("units/Third.service"))));

    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VESSELRUN_STATE_DIR"), path(QStringLiteral("a/b/run")));
    host.setProcessEnvironment(env);
    host.start(binary(QStringLiteral("Vesselrun")), {QStringLiteral("progid=../../x")});
    ASSERT_TRUE(host.waitForFinished(10000));
    EXPECT_EQ(host.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(host.readAllStandardOutput()).startsWith(QStringLiteral("Invalid ProgId")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a/x.state"))));
}

TEST_F(InstallTest, UninstallOfANameThatIsNoServiceChangesNothing) {
    platform::RegistryStore& store = platform::machineRegistry();
    const QString source = services + QStringLiteral("EventLog\\Application\\OrvantaVoxaren_Stavio");
    store.createKey(source);
    ASSERT_TRUE(store.setValue(source, QStringLiteral("EventMessageFile"), platform::RegValue::sz(QStringLiteral("x.so"))));

    const ProgramResult r = vesselrun({"uninstall", "name=EventLog"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(store.value(source, QStringLiteral("EventMessageFile")));

    // Nor does a service of that name move in beside the sources.
    const ProgramResult taken = install(QStringLiteral("EventLog"));
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("units/EventLog.service"))));
    EXPECT_FALSE(store.value(services + QStringLiteral("EventLog"), QStringLiteral("ImagePath")));
    EXPECT_TRUE(store.value(source, QStringLiteral("EventMessageFile")));
}

TEST_F(InstallTest, DisplayNamesAndArgumentsAreEscapedForTheUnit) {
    const QString arguments = QStringLiteral("50% \"off\" $HOME\\x\nExecStartPre=/bin/false");
    const ProgramResult r = vesselrun({"install", "name=OrvantaVoxarenStavio",
                                       "display=Stavio 100%\nExecStartPre=/bin/touch /tmp/owned\\",
                                       "progid=OrvantaVoxarenStavio.Stavio", "arguments=" + arguments});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QString text = readFile(unit());
    EXPECT_EQ(settingLines(text, QStringLiteral("ExecStartPre")), QStringList());
    EXPECT_EQ(settingLines(text, QStringLiteral("Description")),
              QStringList{QStringLiteral("Description=Stavio 100%% ExecStartPre=/bin/touch /tmp/owned\\ ")});
    const QString vesselrunPath = binary(QStringLiteral("Vesselrun"));
    EXPECT_EQ(settingLines(text, QStringLiteral("ExecStart")),
              QStringList{QStringLiteral("ExecStart=\"%1\" progid=OrvantaVoxarenStavio.Stavio "
                                         "arguments=\"50%% \\\"off\\\" $$HOME\\\\x\\nExecStartPre=/bin/false\"")
                              .arg(vesselrunPath)});
    // The service record keeps the command line as given.
    EXPECT_EQ(platform::machineRegistry().value(key, QStringLiteral("ImagePath"))->text,
              QStringLiteral("\"%1\" progid=OrvantaVoxarenStavio.Stavio arguments=\"%2\"").arg(vesselrunPath, arguments));
}

TEST_F(InstallTest, TheUnitCarriesTheDateFormatTheStateFolderAndALongEnoughStartTime) {
    const ProgramResult r = install(QStringLiteral("OrvantaVoxarenStavio"), {},
                                    {QStringLiteral("STAVIO_DATE_FORMAT=d.M.yyyy|HH:mm:ss"),
                                     QStringLiteral("VESSELRUN_STATE_DIR=")});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QString text = readFile(unit());
    EXPECT_EQ(settingLines(text, QStringLiteral("Environment")),
              QStringList({QStringLiteral("Environment=\"STAVIO_REGISTRY=%1\"").arg(path(QStringLiteral("registry.db"))),
                           QStringLiteral("Environment=\"STAVIO_DATE_FORMAT=d.M.yyyy|HH:mm:ss\"")}));
    // State files where every reader looks, and kept when one service stops.
    EXPECT_EQ(settingLines(text, QStringLiteral("RuntimeDirectory")), QStringList{QStringLiteral("RuntimeDirectory=vesselrun")});
    EXPECT_EQ(settingLines(text, QStringLiteral("RuntimeDirectoryPreserve")),
              QStringList{QStringLiteral("RuntimeDirectoryPreserve=yes")});
    // A start may wait 190 s for the database service.
    const QStringList timeout = settingLines(text, QStringLiteral("TimeoutStartSec"));
    ASSERT_EQ(timeout.size(), 1);
    EXPECT_GE(timeout[0].section(QLatin1Char('='), 1).toInt(), 240);
}

TEST_F(InstallTest, TheUnitRestartsAFailedServiceAndLetsItWriteOnlyTheStoreAndStateFolders) {
    const ProgramResult r = install(QStringLiteral("OrvantaVoxarenStavio"), {},
                                    {QStringLiteral("VESSELRUN_STATE_DIR=") + path(QStringLiteral("state/run"))});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString();
    const QString text = readFile(unit());
    EXPECT_EQ(settingLines(text, QStringLiteral("Restart")), QStringList{QStringLiteral("Restart=on-failure")});
    EXPECT_EQ(settingLines(text, QStringLiteral("StartLimitBurst")).size(), 1);
    EXPECT_EQ(settingLines(text, QStringLiteral("NoNewPrivileges")), QStringList{QStringLiteral("NoNewPrivileges=yes")});
    EXPECT_EQ(settingLines(text, QStringLiteral("ProtectSystem")), QStringList{QStringLiteral("ProtectSystem=strict")});
    // The registry store's folder (the store, its journal, the event-log
    // file), and the state folder, made now since the service cannot.
    EXPECT_EQ(settingLines(text, QStringLiteral("ReadWritePaths")),
              QStringList{QStringLiteral("ReadWritePaths=\"-%1\" \"-%2\"").arg(folder(), path(QStringLiteral("state/run")))});
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("state/run"))).isDir());
    // Both lie in the temporary folder, which a private one would hide.
    EXPECT_EQ(settingLines(text, QStringLiteral("PrivateTmp")), QStringList{QStringLiteral("PrivateTmp=no")});
}

TEST_F(InstallTest, ARecordThatCouldNotBeWrittenFailsTheInstallAndLeavesNoUnit) {
    platform::machineRegistry().createKey(QStringLiteral("SOFTWARE"));
    {
        // Another program removes the new service's key while it is written.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tamper"));
        db.setDatabaseName(path(QStringLiteral("registry.db")));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("CREATE TRIGGER vanish AFTER INSERT ON reg_values WHEN NEW.folded_name = "
                                          "'displayname' BEGIN DELETE FROM reg_keys WHERE folded = NEW.key; END")))
            << q.lastError().text().toStdString();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tamper"));

    const ProgramResult r = install(QStringLiteral("OrvantaVoxarenStavio"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Failed to create service - "))) << r.out.toStdString();
    EXPECT_FALSE(QFile::exists(unit()));
    EXPECT_FALSE(platform::machineRegistry().keyExists(key));
}

}  // namespace
