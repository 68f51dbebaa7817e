#pragma once
// stavioctl run as a process against a test's own system: its registry store,
// the voice-messaging server stand-in in the test's folder (version 4.0.3.89,
// so it is this machine's server), US English dates in UTC.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

#include "tests/support/Programs.h"
#include "tests/support/ServerFixture.h"

class CtlTest : public VoxarenTest {
protected:
    void SetUp() override;

    // Runs stavioctl with these arguments and waits for it.
    ProgramResult ctl(const QStringList& arguments, const QStringList& environment = {});
    // Starts stavioctl without waiting; the test reads its output as it comes.
    std::unique_ptr<QProcess> startCtl(const QStringList& arguments);
    // The settings key's value as the administration reads it, as text.
    QString setting(const char* name);
    // Writes a settings value directly (the key is made when missing).
    void storeText(const char* name, const QString& value);
    // A diagnostic log file with these entry lines, each ended with CR LF.
    void writeLog(const QString& file, const QStringList& lines, bool append = false);

    static QStringList environmentOfTest();
};
