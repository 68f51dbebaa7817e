#include <gtest/gtest.h>

#include <QRegularExpression>

#include "platform/scm/serviceinstaller.h"
#include "platform/scm/unitsyntax.h"

using platform::scm::ServiceDefinition;

namespace {

ServiceDefinition definition(const QString& program, const QStringList& writable) {
    ServiceDefinition d;
    d.name = QStringLiteral("Svc");
    d.displayName = QStringLiteral("A service");
    d.program = program;
    d.execStart = platform::scm::unitExecWord(program) + QStringLiteral(" progid=Lib.Class");
    d.writablePaths = writable;
    return d;
}

// The values of `setting` in the unit's section `section`.
QStringList values(const QString& unit, const QString& section, const QString& setting) {
    QStringList found;
    QString current;
    for (const QString& line : unit.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) current = line;
        else if (current == QLatin1Char('[') + section + QLatin1Char(']') && line.startsWith(setting + QLatin1Char('=')))
            found << line.mid(setting.size() + 1);
    }
    return found;
}

TEST(UnitText, AFailedServiceIsRestartedAfterAPauseButNotForEver) {
    const QString unit = platform::scm::unitText(definition(QStringLiteral("/opt/x/host"), {}));
    EXPECT_EQ(values(unit, QStringLiteral("Service"), QStringLiteral("Restart")), QStringList{QStringLiteral("on-failure")});
    const QStringList pause = values(unit, QStringLiteral("Service"), QStringLiteral("RestartSec"));
    ASSERT_EQ(pause.size(), 1);
    EXPECT_GE(pause[0].toInt(), 10);
    // The limit belongs to [Unit]: systemd ignores it in [Service].
    const QStringList interval = values(unit, QStringLiteral("Unit"), QStringLiteral("StartLimitIntervalSec"));
    const QStringList burst = values(unit, QStringLiteral("Unit"), QStringLiteral("StartLimitBurst"));
    ASSERT_EQ(interval.size(), 1);
    ASSERT_EQ(burst.size(), 1);
    // Starts that fail at once, each after the pause, use up the burst
    // within the interval, so the restarts stop.
    EXPECT_GT(interval[0].toInt(), burst[0].toInt() * pause[0].toInt());
    EXPECT_GE(burst[0].toInt(), 2);
}

TEST(UnitText, TheServiceIsSandboxedButForTheFoldersItWrites) {
    const QString unit = platform::scm::unitText(
        definition(QStringLiteral("/opt/x/host"), {QStringLiteral("/var/lib/x"), QStringLiteral("/srv/a b/100%"),
                                                   QStringLiteral("/var/lib/x"), QStringLiteral("relative/no")}));
    const QString service = QStringLiteral("Service");
    EXPECT_EQ(values(unit, service, QStringLiteral("NoNewPrivileges")), QStringList{QStringLiteral("yes")});
    EXPECT_EQ(values(unit, service, QStringLiteral("PrivateTmp")), QStringList{QStringLiteral("yes")});
    EXPECT_EQ(values(unit, service, QStringLiteral("ProtectSystem")), QStringList{QStringLiteral("strict")});
    // Each folder once, quoted, "%" doubled, a missing one no reason to fail
    // the start; a relative path is no folder a unit can name.
    EXPECT_EQ(values(unit, service, QStringLiteral("ReadWritePaths")),
              QStringList{QStringLiteral("\"-/var/lib/x\" \"-/srv/a b/100%%\"")});
}

TEST(UnitText, SomethingTheServiceNeedsInTmpKeepsTheHostsTmp) {
    const QString service = QStringLiteral("Service");
    EXPECT_EQ(values(platform::scm::unitText(definition(QStringLiteral("/tmp/build/host"), {})), service,
                     QStringLiteral("PrivateTmp")),
              QStringList{QStringLiteral("no")});
    EXPECT_EQ(values(platform::scm::unitText(definition(QStringLiteral("/opt/x/host"), {QStringLiteral("/var/tmp/store")})),
                     service, QStringLiteral("PrivateTmp")),
              QStringList{QStringLiteral("no")});
    // A folder that only starts like it is elsewhere.
    EXPECT_EQ(values(platform::scm::unitText(definition(QStringLiteral("/opt/x/host"), {QStringLiteral("/tmpfiles/x")})),
                     service, QStringLiteral("PrivateTmp")),
              QStringList{QStringLiteral("yes")});
}

TEST(UnitText, APathAUnitCannotCarryIsLeftOut) {
    EXPECT_EQ(platform::scm::unitOptionalPath(QStringLiteral("/a\nExecStartPre=/bin/false")), QString());
    EXPECT_EQ(platform::scm::unitOptionalPath(QStringLiteral("/a\"b\\c")), QStringLiteral("\"-/a\\\"b\\\\c\""));
}

}  // namespace
