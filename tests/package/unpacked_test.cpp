// The programs of the package, unpacked from it and run from there: the
// registry tool, the host's usage, and the whole embedded system, whose
// service starts from the unpacked host and plug-in, answers the service
// manager's requests and stops.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <csignal>

#include "platform/scm/servicestatus.h"
#include "tests/e2e/E2EFixture.h"

namespace {

const QString kPackageFolder = QStringLiteral(STAVIO_PACKAGE_ROOT "/opt/stavio");

class UnpackedPackage : public EmbeddedSystemTest {
protected:
    UnpackedPackage() { programs = kPackageFolder; }
    // The shared objects the service's process has mapped.
    QString mappedFiles() {
        QFile maps(QStringLiteral("/proc/%1/maps").arg(service.processId()));
        return maps.open(QIODevice::ReadOnly) ? QString::fromUtf8(maps.readAll()) : QString();
    }
};

TEST_F(UnpackedPackage, TheRegistryToolAndTheHostRunFromIt) {
    QString out;
    ASSERT_EQ(run(QStringLiteral("stavio-reg"), {"set", "Software\\Brightkeel\\Stavio", "Debug Mode", "dword", "10"}, &out), 0)
        << out.toStdString();
    ASSERT_EQ(run(QStringLiteral("stavio-reg"), {"get", "Software\\Brightkeel\\Stavio", "Debug Mode"}, &out), 0);
    EXPECT_EQ(out.trimmed(), QStringLiteral("10"));

    EXPECT_EQ(run(QStringLiteral("Vesselrun"), {}, &out), 1);
    EXPECT_TRUE(out.startsWith(QStringLiteral("Usage:\n  Vesselrun install name=<ServiceName>"))) << out.toStdString();
}

TEST_F(UnpackedPackage, TheServiceStartsFromItAnswersAndStops) {
    // Installed by the unpacked host as the package's scripts install it, so
    // that stavioctl knows the service.
    QDir().mkpath(path(QStringLiteral("units")));
    env.insert(QStringLiteral("VESSELRUN_UNIT_DIR"), path(QStringLiteral("units")));
    QString installed;
    ASSERT_EQ(run(QStringLiteral("Vesselrun"), {"install", "name=OrvantaVoxarenStavio", "display=Orvanta Voxaren Stavio",
                                                "progid=OrvantaVoxarenStavio.Stavio"},
                  &installed),
              0)
        << installed.toStdString();
    startService();
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING)) << service.readAll().toStdString();
    // The host, its plug-in and the library they share, all from the package.
    const QString mapped = mappedFiles();
    EXPECT_TRUE(mapped.contains(kPackageFolder + QStringLiteral("/libOrvantaVoxarenStavio.so")));
    EXPECT_TRUE(mapped.contains(kPackageFolder + QStringLiteral("/libstavio_com.so")));
    EXPECT_TRUE(mapped.contains(kPackageFolder + QStringLiteral("/Vesselrun")));
    EXPECT_EQ(eventLogTexts().value(eventLogTexts().size() - 1), QStringLiteral("Orvanta Voxaren Stavio service started"));

    QString running;
    EXPECT_EQ(run(QStringLiteral("stavioctl"), {QStringLiteral("status")}, &running), 0) << running.toStdString();
    EXPECT_TRUE(running.startsWith(QStringLiteral("Service:       OrvantaVoxarenStavio running"))) << running.toStdString();
    // The monitor's check sees the real host run.
    QString check;
    run(QStringLiteral("stavioctl"), {QStringLiteral("check")}, &check);
    EXPECT_TRUE(check.startsWith(QStringLiteral("STAVIO ")) && check.contains(QStringLiteral("| service_running=1;")))
        << check.toStdString();

    signalService(SIGUSR1);
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_PAUSED));
    signalService(SIGUSR2);
    ASSERT_TRUE(waitForState(platform::scm::SERVICE_RUNNING));
    signalService(SIGTERM);
    ASSERT_TRUE(waitForExit(10000));
    EXPECT_EQ(service.exitCode(), 0);
    EXPECT_TRUE(waitForState(platform::scm::SERVICE_STOPPED));
    EXPECT_TRUE(readFile(currentLogFile()).endsWith(QStringLiteral(",2,SHUT_DOWN,,,Orvanta Voxaren Stavio service stopped\r\n")));

    // What it says follows the service's state.
    QString stopped;
    EXPECT_EQ(run(QStringLiteral("stavioctl"), {QStringLiteral("status")}, &stopped), 3);  // not running
    EXPECT_NE(stopped, running);
    EXPECT_EQ(run(QStringLiteral("stavioctl"), {QStringLiteral("check")}, &check), 2);  // CRITICAL
    EXPECT_TRUE(check.startsWith(QStringLiteral("STAVIO CRITICAL - service stopped"))) << check.toStdString();
}

}  // namespace
