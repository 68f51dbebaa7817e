#include "tests/ctl/CtlFixture.h"

#include <QFile>

#include "common/RegistryAPI.h"
#include "common/SettingsTable.h"

QStringList CtlTest::environmentOfTest() {
    return {QStringLiteral("TZ=UTC"), QStringLiteral("LC_ALL=C"), QStringLiteral("LANG=C"),
            QStringLiteral("STAVIO_DATE_FORMAT=M/d/yyyy|h:mm:ss AP")};
}

void CtlTest::SetUp() {
    VoxarenTest::SetUp();
    writeServerVersion(0x40000, 0x30059);
}

ProgramResult CtlTest::ctl(const QStringList& arguments, const QStringList& environment) {
    return runProgram(QStringLiteral("stavioctl"), arguments, environmentOfTest() + environment);
}

std::unique_ptr<QProcess> CtlTest::startCtl(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment settings = programEnvironment();
    for (const QString& setting : environmentOfTest())
        settings.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    process->setProcessEnvironment(settings);
    process->start(binary(QStringLiteral("stavioctl")), arguments);
    return process;
}

QString CtlTest::setting(const char* name) {
    const SettingDefinition* d = findSetting(QLatin1String(name));
    return d ? readSetting(d->id, SettingsReader::Administration).toString() : QStringLiteral("(no such setting)");
}

void CtlTest::storeText(const char* name, const QString& value) {
    RegistryAPI::CreateKey(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey));
    RegistryAPI::SetValue(RegistryAPI::HKEY_LOCAL_MACHINE, QLatin1String(kSettingsKey), QLatin1String(name),
                          RegistryAPI::REG_SZ, value);
}

void CtlTest::writeLog(const QString& file, const QStringList& lines, bool append) {
    QFile log(file);
    ASSERT_TRUE(log.open(append ? QIODevice::Append : QIODevice::WriteOnly));
    for (const QString& line : lines) log.write((line + QStringLiteral("\r\n")).toUtf8());
}
