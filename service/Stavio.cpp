#include "service/Stavio.h"

#include <cstdlib>

#include "common/DiagnosticLogFile.h"
#include "common/ErrorTrap.h"
#include "common/PMSConnection.h"
#include "common/ServiceState.h"
#include "common/SettingsTable.h"
#include "common/SubscriberTemplates.h"
#include "common/VoiceServerConnection.h"
#include "common/VoiceServerObjects.h"
#include "common/VoxarenVersion.h"
#include "common/modLogging.h"
#include "common/modServices.h"
#include "platform/clock.h"
#include "platform/com/stoprequest.h"
#include "platform/datefmt.h"
#include "platform/heap.h"
#include "platform/scm/servicestatus.h"
#include "platform/scm/supervision.h"
#include "service/Sweeps.h"

using namespace platform::com;
using namespace modLogging;

namespace {

constexpr int kSqlServerPollMs = 10000;
// Time beyond the next look at the database service that a waiting start asks for.
constexpr int kStartTimeoutMarginSeconds = 30;

// Start-up failures end the start with their own number.
HRESULT startFailure(int number) { return controlError(number); }

}  // namespace

Stavio::Stavio(std::shared_ptr<SystemEnv> env, std::shared_ptr<TimerFactory> timers)
    : sweeps{[this] { modPMSFunctions::SweepForUpdates(m_state, m_memory); },
             [this] { modPMSFunctions::SweepForMWIUpdatesToPMS(m_state); },
             [this] { modPMSFunctions::SweepForRoomDeletes(m_state); },
             [this] { modPMSFunctions::SweepForLogDeletes(m_state); },
             [this] {
                 modPMSFunctions::SendWelcomeMessageToNewGuests(m_state, m_memory.colNewGuests);
             }},
      m_env(std::move(env)),
      m_installed(*m_env),
      m_factory(std::move(timers)),
      m_outerLog(m_env->diagnosticLog) {
    m_env->diagnosticLog = &m_state.log;
    timerLogSweep = m_factory->create(QLatin1String(kLogSweep), 50013);
    timerArchiveSweep = m_factory->create(QLatin1String(kArchiveSweep), 50023);
    timerDBSync = m_factory->create(QLatin1String(kDBSync), 60001);
    timerMWISync = m_factory->create(QLatin1String(kMWISync), 30000);
    timerNewGuestMessage = m_factory->create(QLatin1String(kNewGuestMessage), 55000);
    timerLogSweep->onTick = [this] { timerLogSweep_Timer(); };
    timerArchiveSweep->onTick = [this] { timerArchiveSweep_Timer(); };
    timerDBSync->onTick = [this] { timerDBSync_Timer(); };
    timerMWISync->onTick = [this] { timerMWISync_Timer(); };
    timerNewGuestMessage->onTick = [this] { timerNewGuestMessage_Timer(); };
}

Stavio::~Stavio() {
    m_env->diagnosticLog = m_outerLog;
}

HRESULT Stavio::get_Pausable(bool* pausable) {
    *pausable = true;
    return S_OK;
}

void Stavio::enableAll(bool enabled) {
    for (ServiceTimer* t : {timerLogSweep.get(), timerArchiveSweep.get(), timerDBSync.get(), timerMWISync.get(),
                            timerNewGuestMessage.get()})
        t->setEnabled(enabled);
}

HRESULT Stavio::OnStart(const QVariant&) { return startUp(); }

// The start's steps, in order; each ends the start with its own number when it fails.
HRESULT Stavio::startUp() {
    // Steps whose errors are ignored.
    try {
        ReadVoxarenVersion();
    } catch (...) {
    }
    startEventLog();

    ErrorTrap trap("IService_OnStart", "User Control", "Stavio");
    WriteEventLogOnly(EVENT_SERVICE_STARTING, SEVERITY_INFORMATION, QString());
    for (HRESULT (Stavio::*step)(ErrorTrap&) : {&Stavio::readSettingsAndOpenLog, &Stavio::awaitVoiceServer,
                                                 &Stavio::checkGuestTemplate})
        if (const HRESULT failed = (this->*step)(trap); failed != S_OK) return failed;
    obtainNotifier(trap);
    // Every sweep reads the whole room table and guest list into memory and
    // lets them go at its end: kept for the next sweep, that memory is not
    // handed back to the kernel only to be faulted in again a minute later.
    platform::keepFreedMemory(modPMSFunctions::kSweepMemoryBytes);
    enableAll(true);
    LogServiceEvent(EVENT_START_UP, SEVERITY_INFORMATION, QStringLiteral("Orvanta Voxaren Stavio service started"), true);
    return S_OK;
}

HRESULT Stavio::readSettingsAndOpenLog(ErrorTrap& trap) {
    ServiceState& state = m_state;
    if (!ReadRegistryKeys(state.settings)) {
        WriteEventLogOnly(EVENT_ERROR, SEVERITY_ERROR,
                          QStringLiteral("Failed to read registry keys expected by Stavio server.  Be sure you've run the "
                                         "administration application and correctly enter default values for all settings."));
        return startFailure(1001);
    }
    trap.step([&] {
        state.voiceServerConnection = kLocalVoiceServerConnection;
        state.pmsConnection = PMSConnectionString(state.settings.PrecipiaServerName);
    });
    trap.step([&] {
        state.log.folder = state.settings.PathToLogs.isEmpty()
                               ? m_env->componentFolder() + QStringLiteral("/logs/")
                               : state.settings.PathToLogs;
    });
    trap.step([&] { state.log.StartLogFile(state.log.GenerateNewLogFileName()); });
    return S_OK;
}

HRESULT Stavio::awaitVoiceServer(ErrorTrap&) {
    if (!IsVoxarenVersionAtLeast(4, 0, 2, 104)) {
        WriteEventLogOnly(EVENT_ERROR, SEVERITY_ERROR,
                          QStringLiteral("This application only runs on Voxaren 4.0(3) and later.  Exiting..."));
        return startFailure(1002);
    }
    qint32 seconds = 180;
    if (WaitForSqlServer(seconds)) return S_OK;
    if (stopRequested())  // an operator's ordinary stop, not an error
        LogServiceEvent(EVENT_SHUT_DOWN, SEVERITY_INFORMATION,
                        QStringLiteral("The start was abandoned while waiting for the MS SQL service, because a stop "
                                       "was requested."),
                        true);
    else
        LogServiceEvent(EVENT_ERROR, SEVERITY_ERROR,
                        QStringLiteral("MS SQL service is not started after 3 minutes.  Check your SQL installation "
                                       "and make sure the service is starting properly."),
                        true);
    return startFailure(1004);
}

HRESULT Stavio::checkGuestTemplate(ErrorTrap& trap) {
    const ServiceState& state = m_state;
    std::optional<long> count;
    trap.step([&] {
        count = SubscriberTemplates::countWithAlias(state.settings.SubscriberTemplateAlias,
                                                    state.voiceServerConnection);
    });
    // A query that failed has been logged; the start goes on without the check.
    if (count && *count != 1) {
        WriteEventLogOnly(EVENT_ERROR, SEVERITY_ERROR,
                          QStringLiteral("Subscriber template selected is no longer available.  You need to select a valid "
                                         "subscriber template in the Stavio administrator application and restart the "
                                         "service."));
        return startFailure(1003);
    }
    return S_OK;
}

void Stavio::obtainNotifier(ErrorTrap& trap) {
    trap.step([this] {
        const std::shared_ptr<IServerObjects> locator = serverObjects();
        m_state.notifier = locator ? locator->GetNotifier() : nullptr;
    });
    // The lamp routines obtain it again when they need it; until then no lamp follows its guest.
    if (!m_state.notifier)
        ReportError(QStringLiteral("The voice-messaging server's \"Notifier\" object could not be obtained: lamps are "
                                   "not set until it can be."));
}

bool Stavio::WaitForSqlServer(qint32& seconds) {
    try {
        if (modServices::getServiceState(QStringLiteral("MSSQLSERVER")) == platform::scm::SERVICE_RUNNING) return true;
        const QDateTime start = platform::clock().now();
        if (seconds < 1) seconds = 1;
        // A stop asked for meanwhile ends the wait at the next look: the host
        // cannot hand the stop to this thread while it waits here.
        while (!stopRequested() && start.secsTo(platform::clock().now()) <= seconds) {
            // Longer than the unit's start time-out: systemd is told what the start waits for.
            platform::scm::extendStartTimeout(kSqlServerPollMs / 1000 + kStartTimeoutMarginSeconds,
                                              QStringLiteral("Waiting for the database service (up to %1 s)").arg(seconds));
            platform::clock().sleepMs(kSqlServerPollMs);
            if (stopRequested()) break;
            if (modServices::getServiceState(QStringLiteral("MSSQLSERVER")) == platform::scm::SERVICE_RUNNING) return true;
        }
    } catch (...) {
    }
    return false;
}

bool Stavio::InsideWindow(const QDateTime& now, const QDateTime& start, const QDateTime& stop) {
    const int t = platform::datefmt::secondsOfDay(now);
    return platform::datefmt::secondsOfDay(start) <= t && t <= platform::datefmt::secondsOfDay(stop);
}

HRESULT Stavio::OnStop() {
    ErrorTrap trap("IService_OnStop", "User Control", "Stavio");
    trap.step([this] { enableAll(false); });
    LogServiceEvent(EVENT_SHUT_DOWN, SEVERITY_INFORMATION, QStringLiteral("Orvanta Voxaren Stavio service stopped"), true);
    return S_OK;
}

HRESULT Stavio::OnShutdown() {
    ErrorTrap trap("IService_OnShutdown", "User Control", "Stavio");
    trap.step([this] { enableAll(false); });
    WriteEventLogOnly(EVENT_SHUT_DOWN, SEVERITY_INFORMATION, QString());
    return S_OK;
}

HRESULT Stavio::OnPause() {
    // The welcome timer keeps running while paused.
    for (ServiceTimer* t : {timerLogSweep.get(), timerArchiveSweep.get(), timerDBSync.get(), timerMWISync.get()})
        t->setEnabled(false);
    WriteEventLogOnly(EVENT_PAUSED, SEVERITY_INFORMATION, QString());
    return S_OK;
}

HRESULT Stavio::OnContinue() {
    enableAll(true);
    WriteEventLogOnly(EVENT_START_UP, SEVERITY_INFORMATION, QString());
    return S_OK;
}

HRESULT Stavio::OnControl(std::int32_t) { return S_OK; }

qint32 Stavio::syncCycleMinutes() {
    constexpr qint32 kLongestCycle = 20;  // the administration's choices are 1 to 20
    const qint32 minutes = readSetting(Setting::SyncCycleMinutes, SettingsReader::Service).toInt();
    if (minutes <= kLongestCycle) {  // 0 or less: a sweep at every tick
        m_refusedCycle = 0;
        return minutes;
    }
    // Until one was in use, the one loaded at start (the default, when that is too long too).
    const qint32 loaded = m_state.settings.SyncCycleMinutes;
    const qint32 kept = m_cycleMinutes.value_or(loaded <= kLongestCycle ? loaded : 10);
    if (minutes != m_refusedCycle) {
        m_refusedCycle = minutes;
        ReportError(QStringLiteral("The setting \"Syncronization Cycle Minutes\" is %1, more than the %2 minutes the "
                                   "administration allows: it is not used, and the sweep goes on every %3 minutes.")
                        .arg(minutes)
                        .arg(kLongestCycle)
                        .arg(kept));
    }
    return kept;
}

void Stavio::timerDBSync_Timer() {
    ErrorTrap trap("timerDBSync_Timer", "User Control", "Stavio");
    ++DBSyncTicks;
    trap.step([this] { m_cycleMinutes = syncCycleMinutes(); });
    if (DBSyncTicks < m_cycleMinutes.value_or(m_state.settings.SyncCycleMinutes)) return;
    if (bMWISyncBusy) return;  // the count stays, so the next tick tries again
    bDBSyncBusy = true;
    DBSyncTicks = 0;
    trap.step([this] {
        ReadRegistryKeys(m_state.settings);
    });  // changed settings take effect from this cycle on
    trap.step(
        [this] { m_state.log.RestartIfLost(); });  // a log folder removed meanwhile is made again
    trap.step([this] { enableAll(false); });
    trap.step([this] { sweeps.SweepForUpdates(); });
    trap.step([this] { enableAll(true); });  // each interval starts anew
    bDBSyncBusy = false;
}

void Stavio::timerMWISync_Timer() {
    ErrorTrap trap("timerMWISync_Timer", "User Control", "Stavio");
    ++MWISyncTicks;
    if (MWISyncTicks < 10 || bDBSyncBusy) return;  // a due sweep waits for the synchronisation to end
    bMWISyncBusy = true;
    MWISyncTicks = 0;
    trap.step([this] { sweeps.SweepForMWIUpdatesToPMS(); });
    bMWISyncBusy = false;
}

void Stavio::timerArchiveSweep_Timer() {
    ErrorTrap trap("timerArchiveSweep_Timer", "User Control", "Stavio");
    const ServiceSettings& s = m_state.settings;
    if (!InsideWindow(platform::clock().now(), s.ArchiveMailboxStartTime, s.ArchiveMailboxStopTime)) return;
    trap.step([this] { sweeps.SweepForRoomDeletes(); });
    trap.step([this] {
        // The daily change-over: a log file covers one calendar day.
        DiagnosticLogFile& log = m_state.log;
        if (std::abs(log.LogStartDate().date().daysTo(platform::clock().now().date())) >= 1) {
            log.CloseLogFile();
            log.StartLogFile(log.GenerateNewLogFileName());
        }
    });
}

void Stavio::timerLogSweep_Timer() {
    ErrorTrap trap("timerLogSweep_Timer", "User Control", "Stavio");
    const ServiceSettings& s = m_state.settings;
    if (!InsideWindow(platform::clock().now(), s.LogSweepStartTime, s.LogSweepStopTime)) return;
    trap.step([this] { sweeps.SweepForLogDeletes(); });
}

void Stavio::timerNewGuestMessage_Timer() { sweeps.SendWelcomeMessageToNewGuests(); }
