#pragma once
// The Stavio control: what the service does when the service manager starts,
// stops, pauses, continues or shuts it down, and the five timers that drive
// all periodic work.
#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>

#include "common/ServiceState.h"
#include "common/SystemEnv.h"
#include "platform/com/iservice.h"
#include "service/ServiceMemory.h"
#include "service/ServiceTimer.h"

class ErrorTrap;

class Stavio : public platform::com::IService {
public:
    // The control works in `env` (installed for the control's lifetime) with
    // timers made by `timers`.
    Stavio(std::shared_ptr<SystemEnv> env, std::shared_ptr<TimerFactory> timers);
    ~Stavio() override;

    platform::com::HRESULT get_Pausable(bool* pausable) override;
    platform::com::HRESULT OnStart(const QVariant& arguments) override;
    platform::com::HRESULT OnStop() override;
    platform::com::HRESULT OnPause() override;
    platform::com::HRESULT OnContinue() override;
    platform::com::HRESULT OnControl(std::int32_t opCode) override;
    platform::com::HRESULT OnShutdown() override;

    // The timers' names, intervals (ms) and the order in which they are enabled.
    static constexpr const char* kLogSweep = "timerLogSweep";                // 50013
    static constexpr const char* kArchiveSweep = "timerArchiveSweep";        // 50023
    static constexpr const char* kDBSync = "timerDBSync";                    // 60001
    static constexpr const char* kMWISync = "timerMWISync";                  // 30000
    static constexpr const char* kNewGuestMessage = "timerNewGuestMessage";  // 55000

    // Waits for the local database service; raises `seconds` to 1 when below.
    static bool WaitForSqlServer(qint32& seconds);
    // Whether the current time of day lies in the window of two time settings.
    static bool InsideWindow(const QDateTime& now, const QDateTime& start, const QDateTime& stop);

    // What the ticks run (tests may watch or replace them).
    struct SweepProcedures {
        std::function<void()> SweepForUpdates, SweepForMWIUpdatesToPMS, SweepForRoomDeletes, SweepForLogDeletes,
            SendWelcomeMessageToNewGuests;
    };
    SweepProcedures sweeps;

    // What the start fills in and the procedures are handed: settings,
    // connections, journal, notifier, log (tests look at it or set it up).
    ServiceState& state() { return m_state; }

    bool bDBSyncBusy = false;
    bool bMWISyncBusy = false;
    qint32 DBSyncTicks = 0;
    qint16 MWISyncTicks = 0;

private:
    void timerDBSync_Timer();
    void timerMWISync_Timer();
    void timerArchiveSweep_Timer();
    void timerLogSweep_Timer();
    void timerNewGuestMessage_Timer();

    void enableAll(bool enabled);
    platform::com::HRESULT startUp();
    platform::com::HRESULT readSettingsAndOpenLog(ErrorTrap& trap);
    platform::com::HRESULT awaitVoiceServer(ErrorTrap& trap);
    platform::com::HRESULT checkGuestTemplate(ErrorTrap& trap);
    void obtainNotifier(ErrorTrap& trap);
    // The synchronisation cycle, read at every tick so that a change counts at
    // once; one longer than the administration offers is reported and not used.
    qint32 syncCycleMinutes();
    std::optional<qint32> m_cycleMinutes;  // in use, once a tick has read one
    qint32 m_refusedCycle = 0;   // the last cycle reported as too long

    std::shared_ptr<SystemEnv> m_env;
    platform::ScopedEnv m_installed;
    // The settings, connections, journal, notifier and log the procedures are
    // handed; its log is the environment's while the control lives.
    ServiceState m_state;
    // What the sweeps and the welcome tick remember from one run to the next.
    ServiceMemory m_memory;
    std::shared_ptr<TimerFactory> m_factory;
    DiagnosticLogFile* m_outerLog;  // the environment's log before this control's
    std::unique_ptr<ServiceTimer> timerLogSweep, timerArchiveSweep, timerDBSync, timerMWISync, timerNewGuestMessage;
};
