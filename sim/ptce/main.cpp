// ptce-sim: plays the PMS gateway against the same vmstable the service reads,
// so check-ins, moves and the rest can be staged from a shell or a test.
#include <QSet>
#include <QStringList>
#include <QTextStream>
#include <limits>

#include "common/PMSConnection.h"
#include "sim/cli/CommandArguments.h"
#include "sim/ptce/GatewayTable.h"
#include "sim/ptce/HotelTraffic.h"
#include "sim/ptce/TableReport.h"

namespace {

QTextStream& out = simcli::out();

const char* const kUsage =
    "Usage: ptce-sim --server SERVER COMMAND ...\n"
    "  init [--rooms FIRST-LAST]                 create vmstable and vacant rooms (default "
    "101-120;\n"
    "                                            numbers 0-2147483647, at most 100000 rooms)\n"
    "  checkin ROOM --first F --last L [--lang N] [--password P] [--ext2 X] .. [--ext5 X]\n"
    "  checkout ROOM\n"
    "  move FROM TO                              the guest of FROM moves to the vacant TO\n"
    "  swap A B                                  the guests of two occupied rooms change places\n"
    "  rename ROOM --first F --last L\n"
    "  lang ROOM N\n"
    "  show [ROOM] [--csv]\n"
    "  bulk --rooms N --events M --seed S        random traffic over rooms 1001..1000+N "
    "(N at most 100000)\n"
    "SERVER is what the setting \"Precipia Server Name\" holds: the absolute path of an\n"
    "SQLite file, or a MariaDB host[:port] (database ptceDB, account vms). It may also\n"
    "come from STAVIO_PTCE_SERVER.\n";

using simcli::UsageError;

const QStringList kCommands{QStringLiteral("init"), QStringLiteral("checkin"), QStringLiteral("checkout"), QStringLiteral("move"), QStringLiteral("swap"), QStringLiteral("rename"), QStringLiteral("lang"), QStringLiteral("show"), QStringLiteral("bulk")};

// More rooms than any hotel has: a typing error, not a hotel.
constexpr int kMostRooms = 100000;

const QSet<QString> kValued = {
    QStringLiteral("--server"), QStringLiteral("--rooms"),  QStringLiteral("--first"),
    QStringLiteral("--last"),   QStringLiteral("--lang"),   QStringLiteral("--password"),
    QStringLiteral("--ext2"),   QStringLiteral("--ext3"),   QStringLiteral("--ext4"),
    QStringLiteral("--ext5"),   QStringLiteral("--events"), QStringLiteral("--seed")};

class Arguments : public simcli::CommandArguments {
public:
    explicit Arguments(const QStringList& args) : CommandArguments(args, kValued, {QStringLiteral("--csv")}) {}

    QString server() const {
        return has(QStringLiteral("--server")) ? option(QStringLiteral("--server")) : qEnvironmentVariable("STAVIO_PTCE_SERVER");
    }
    // Checks the operands and options the command takes; --server goes with every one.
    void expect(int operandsMin, int operandsMax, const QStringList& allowed, const QStringList& required = {}) const {
        CommandArguments::expect(operandsMin, operandsMax, allowed, required, {QStringLiteral("--server")});
    }
};

int number(const QString& text, const QString& what, int min = std::numeric_limits<int>::min()) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min)
        throw UsageError{what + QStringLiteral(" is not a valid number: ") + text};
    return value;
}

int init(ptce::GatewayTable& table, const Arguments& a) {
    a.expect(0, 0, {QStringLiteral("--rooms")});
    const QString range = a.has(QStringLiteral("--rooms")) ? a.option(QStringLiteral("--rooms"))
                                                           : QStringLiteral("101-120");
    const QStringList ends = range.split(QLatin1Char('-'));
    if (ends.size() != 2)
        throw UsageError{QStringLiteral("--rooms takes FIRST-LAST, not ") + range};
    bool firstOk = false, lastOk = false;
    const int first = ends[0].toInt(&firstOk);
    const int last = ends[1].toInt(&lastOk);
    if (!firstOk || !lastOk || first < 0 || last < 0)
        throw UsageError{QStringLiteral("--rooms: FIRST and LAST are room numbers from 0 to 2147483647, not ") +
                         range};
    if (last < first) throw UsageError{QStringLiteral("--rooms: LAST is below FIRST in ") + range};
    if (qint64(last) - first + 1 > kMostRooms)
        throw UsageError{QStringLiteral("--rooms: at most %1 rooms, not %2 in ")
                             .arg(kMostRooms)
                             .arg(qint64(last) - first + 1) +
                         range};
    const int added = table.init(first, last);
    out << "vmstable: rooms " << first << "-" << last << ", " << added << " added\n";
    return 0;
}

int checkin(ptce::GatewayTable& table, const Arguments& a) {
    static const QStringList extensions = {QStringLiteral("--ext2"), QStringLiteral("--ext3"),
                                           QStringLiteral("--ext4"), QStringLiteral("--ext5")};
    a.expect(1, 1,
             QStringList{QStringLiteral("--first"), QStringLiteral("--last"),
                         QStringLiteral("--lang"), QStringLiteral("--password")} +
                 extensions,
             {QStringLiteral("--first"), QStringLiteral("--last")});
    ptce::CheckIn guest;
    guest.firstName = a.option(QStringLiteral("--first"));
    guest.lastName = a.option(QStringLiteral("--last"));
    if (a.has(QStringLiteral("--lang")))
        guest.language = number(a.option(QStringLiteral("--lang")), QStringLiteral("--lang"));
    guest.password = a.option(QStringLiteral("--password"));
    for (size_t i = 0; i < guest.extensions.size(); ++i)
        if (a.has(extensions[qsizetype(i)]))
            guest.extensions[i] = a.option(extensions[qsizetype(i)]);
    table.checkIn(a.operand(0), guest);
    out << "checked in " << a.operand(0) << ": " << guest.firstName << " " << guest.lastName
        << "\n";
    return 0;
}

int show(ptce::GatewayTable& table, const Arguments& a) {
    a.expect(0, 1, {QStringLiteral("--csv")});
    std::optional<QString> room;
    if (!a.operand(0).isNull()) room = a.operand(0);
    const std::vector<ptce::RoomRow> rows = table.rows(room);
    if (room && rows.empty())
        throw ptce::Refused(QStringLiteral("room %1 is not in vmstable").arg(*room));
    out << (a.has(QStringLiteral("--csv")) ? ptce::formatCsv(rows) : ptce::formatTable(rows));
    return 0;
}

int bulk(ptce::GatewayTable& table, const Arguments& a) {
    const QStringList options = {QStringLiteral("--rooms"), QStringLiteral("--events"),
                                 QStringLiteral("--seed")};
    a.expect(0, 0, options, options);
    const int rooms = number(a.option(QStringLiteral("--rooms")), QStringLiteral("--rooms"), 1);
    if (rooms > kMostRooms) throw UsageError{QStringLiteral("--rooms: at most %1 rooms").arg(kMostRooms)};
    const int events = number(a.option(QStringLiteral("--events")), QStringLiteral("--events"), 0);
    bool ok = false;
    const uint seed = a.option(QStringLiteral("--seed")).toUInt(&ok);
    if (!ok)
        throw UsageError{QStringLiteral("--seed is not a valid number: ") +
                         a.option(QStringLiteral("--seed"))};
    out << "bulk: " << ptce::describe(ptce::runHotelTraffic(table, rooms, events, seed), rooms)
        << "\n";
    return 0;
}

int run(const QStringList& args) {
    const Arguments a(args);
    const QString server = a.server().trimmed();
    if (a.command().isEmpty()) throw UsageError{QStringLiteral("no command given")};
    if (!kCommands.contains(a.command()))
        throw UsageError{QStringLiteral("unknown command '%1'").arg(a.command()), a.command(), kCommands};
    if (server.isEmpty())
        throw UsageError{QStringLiteral("no server: give --server or set STAVIO_PTCE_SERVER")};
    ptce::GatewayTable table(PMSConnectionString(server));
    const QString command = a.command();
    const QString room = a.operand(0);

    if (command == QLatin1String("init")) return init(table, a);
    if (command == QLatin1String("checkin")) return checkin(table, a);
    if (command == QLatin1String("show")) return show(table, a);
    if (command == QLatin1String("bulk")) return bulk(table, a);
    if (command == QLatin1String("checkout")) {
        a.expect(1, 1, {});
        table.checkOut(room);
        out << "checked out " << room << "\n";
    } else if (command == QLatin1String("move")) {
        a.expect(2, 2, {});
        table.move(room, a.operand(1));
        out << "moved " << room << " to " << a.operand(1) << "\n";
    } else if (command == QLatin1String("swap")) {
        a.expect(2, 2, {});
        table.swap(room, a.operand(1));
        out << "swapped " << room << " and " << a.operand(1) << "\n";
    } else if (command == QLatin1String("rename")) {
        a.expect(1, 1, {QStringLiteral("--first"), QStringLiteral("--last")},
                 {QStringLiteral("--first"), QStringLiteral("--last")});
        table.rename(room, a.option(QStringLiteral("--first")), a.option(QStringLiteral("--last")));
        out << "renamed " << room << "\n";
    } else if (command == QLatin1String("lang")) {
        a.expect(2, 2, {});
        table.setLanguage(room, number(a.operand(1), QStringLiteral("language")));
        out << "language of " << room << " set to " << a.operand(1) << "\n";
    } else {
        throw UsageError{QStringLiteral("unknown command '%1'").arg(command), command, kCommands};
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) { return simcli::runTool("ptce-sim", kUsage, argc, argv, run); }
