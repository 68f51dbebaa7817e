#pragma once
// The settings window on a clean voice-messaging server, with the service
// registered, its prompts scripted and the programs it runs recorded. A
// dialog that would appear past the prompt (and wait for a person) is closed
// at once and fails the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <optional>

#include "admin/windows/frmMain.h"
#include "common/SettingsTable.h"
#include "platform/registry.h"
#include "tests/admin/AdminFixture.h"
#include "tests/admin/DirectDialogWatch.h"
#include "tests/support/ServerFixture.h"

class MainWindowTest : public AdminFixture<VoxarenTest> {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        showErrors();
        registry().createKey(QStringLiteral("SYSTEM\\CurrentControlSet\\Services\\OrvantaVoxarenStavio"));
        m_dialogWatch.start();
    }
    void TearDown() override {
        m_dialogWatch.stopAndCheck();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AdminFixture::TearDown();
    }
    platform::RegistryStore& registry() { return platform::machineRegistry(); }
    void setting(const char* name, const platform::RegValue& v) {
        registry().createKey(QLatin1String(kSettingsKey));
        registry().setValue(QLatin1String(kSettingsKey), QLatin1String(name), v);
    }
    std::optional<platform::RegValue> stored(const char* name) {
        return registry().value(QLatin1String(kSettingsKey), QLatin1String(name));
    }
    bool load(const QStringList& arguments = {}) {
        window = std::make_unique<frmMain>(adminState, arguments);
        return window->Form_Load();
    }
    template <class T>
    T* child(const char* name) {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    QString lastShown() const { return prompts->shown.isEmpty() ? QString() : prompts->shown.last(); }

    std::unique_ptr<frmMain> window;

private:
    DirectDialogWatch m_dialogWatch;
};
