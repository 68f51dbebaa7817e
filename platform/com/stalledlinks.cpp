#include "platform/com/stalledlinks.h"

#include <sys/socket.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "platform/com/stoprequest.h"

namespace platform::com {

namespace {

class StalledLinks {
public:
    ~StalledLinks() { stopTakenInTime(); }

    void add(int socket) {
        std::lock_guard lock(m_mutex);
        m_sockets.insert(socket);
    }
    void remove(int socket) {
        std::lock_guard lock(m_mutex);
        m_sockets.erase(socket);
    }
    void cutAfter(std::chrono::milliseconds grace) {
        stopTakenInTime();
        std::lock_guard lock(m_mutex);
        m_taken = false;
        m_watch = std::thread([this, grace] {
            std::unique_lock lock(m_mutex);
            if (m_changed.wait_for(lock, grace, [this] { return m_taken; })) return;
            m_cut = true;
            // Under the lock: a socket still listed has not been closed, so
            // its number names that link and nothing else.
            for (const int socket : m_sockets) ::shutdown(socket, SHUT_RDWR);
        });
    }
    void stopTakenInTime() {
        std::thread watch;
        {
            std::lock_guard lock(m_mutex);
            m_taken = true;
            watch.swap(m_watch);
        }
        m_changed.notify_all();
        if (watch.joinable()) watch.join();
    }
    bool cut() {
        std::lock_guard lock(m_mutex);
        if (!stopRequested()) m_cut = false;  // a new start after a cleared request
        return m_cut;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<int> m_sockets;
    std::thread m_watch;
    bool m_taken = true;
    bool m_cut = false;
};

StalledLinks& links() {
    static StalledLinks instance;
    return instance;
}

}  // namespace

void addDatabaseLink(int socket) { links().add(socket); }
void removeDatabaseLink(int socket) { links().remove(socket); }
void cutDatabaseLinksAfter(std::chrono::milliseconds grace) { links().cutAfter(grace); }
void stopTakenInTime() { links().stopTakenInTime(); }
bool databaseLinksCut() { return links().cut(); }

}  // namespace platform::com
