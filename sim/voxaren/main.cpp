// voxaren-sim: sets up the voice-messaging server stand-in on this machine and
// shows and changes what it holds, as a caller or an administrator would.
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTextStream>

#include "platform/registry.h"
#include "sim/cli/CommandArguments.h"
#include "sim/voxaren/MessageStore.h"
#include "sim/voxaren/Reports.h"
#include "sim/voxaren/Schema.h"
#include "sim/voxaren/Seed.h"
#include "sim/voxaren/ServerDatabase.h"
#include "sim/voxaren/ServerIdentity.h"
#include "sim/voxaren/Sql.h"
#include "sim/voxaren/Extensions.h"

namespace {

QTextStream& out = simcli::out();

const char* const kUsage =
    "Usage: voxaren-sim [--db PATH] COMMAND ...\n"
    "  init [--server-version 4.0.3.89] create the server database and register the server\n"
    "  guests                           the hotel guests\n"
    "  lamps                            every message-waiting lamp\n"
    "  messages EXT                     the messages of the subscriber with extension EXT\n"
    "  leave-message EXT [--from NAME]  a caller leaves a voice message (unread)\n"
    "  read-messages EXT                the subscriber hears its messages\n"
    "  tickets                          directory synchronisation tickets\n"
    "  set-version V                    the server's version, e.g. 4.0.3.89\n"
    "  add-object TYPE EXT NAME         TYPE: subscriber, call-handler, interview-handler,\n"
    "                                   directory-handler, distribution-list, location,\n"
    "                                   remote-location, dialing-domain-subscriber (homed on\n"
    "                                   another server; its number is not checked here)\n"
    "The database is PATH, else the one the registry store names (STAVIO_REGISTRY);\n"
    "init creates it at PATH or /var/lib/stavio/voxaren/VoxarenDb.sqlite.\n";

using simcli::UsageError;

const QStringList kCommands{QStringLiteral("init"), QStringLiteral("guests"), QStringLiteral("lamps"), QStringLiteral("messages"), QStringLiteral("leave-message"), QStringLiteral("read-messages"), QStringLiteral("tickets"), QStringLiteral("set-version"), QStringLiteral("add-object")};

class Arguments : public simcli::CommandArguments {
public:
    explicit Arguments(const QStringList& args)
        : CommandArguments(args, {QStringLiteral("--db"), QStringLiteral("--server-version"), QStringLiteral("--from")}) {}
    // Checks the operands and options the command takes; --db goes with every one.
    void expect(int operands, const QStringList& allowed = {}) const {
        CommandArguments::expect(operands, operands, allowed, {}, {QStringLiteral("--db")});
    }
};

voxaren::ServerVersionNumbers versionArgument(const QString& text) {
    const auto version = voxaren::parseServerVersion(text);
    if (!version) throw UsageError{QStringLiteral("not a server version (MAJOR.MINOR.BUILD.REVISION): ") + text};
    return *version;
}

QString decoded(const voxaren::ServerVersionNumbers& v) {
    return QStringLiteral("%1.%2(%3.%4)").arg(v.major).arg(v.minor).arg(v.build).arg(v.revision);
}

int init(const Arguments& a) {
    a.expect(0, {QStringLiteral("--server-version")});
    const voxaren::ServerVersionNumbers version =
        a.has(QStringLiteral("--server-version")) ? versionArgument(a.option(QStringLiteral("--server-version")))
                                           : voxaren::ServerVersionNumbers{};
    const QFileInfo file(a.has(QStringLiteral("--db")) ? a.option(QStringLiteral("--db"))
                                                       : voxaren::defaultDatabasePath());
    const QString root = file.absolutePath() + QLatin1Char('/');
    if (!QDir().mkpath(root + QStringLiteral("stream files")))
        throw platform::Error(voxaren::sql::kRefused, QStringLiteral("cannot create the folder ") + root);
    voxaren::ServerDatabase server(file.absoluteFilePath(), true);
    const voxaren::SchemaOutcome outcome = voxaren::createSchema(server.db());
    voxaren::writeServerIdentity(server.path(), root, version);
    const char* done = outcome == voxaren::SchemaOutcome::Created    ? "VoxarenDb created at "
                       : outcome == voxaren::SchemaOutcome::Upgraded ? "VoxarenDb upgraded at "
                                                                     : "VoxarenDb kept as it is at ";
    out << done << server.path() << " (schema " << voxaren::kSchemaVersion << ")\n"
        << "server version " << decoded(version) << ", root path " << root << "\n";
    return 0;
}

QString subscriberOf(QSqlDatabase& db, const QString& extension) {
    const QString id = voxaren::subscriberWithExtension(db, extension);
    if (id.isEmpty())
        throw platform::Error(voxaren::sql::kRefused, QStringLiteral("no subscriber has extension ") + extension);
    return id;
}

int onServer(const Arguments& a) {
    const QString command = a.command();
    QString path = a.option(QStringLiteral("--db"));
    if (path.isEmpty()) path = voxaren::localDatabasePath();
    if (path.isEmpty())
        throw platform::Error(voxaren::sql::kRefused,
                              QStringLiteral("no voice-messaging server here: run voxaren-sim init or give --db"));
    voxaren::ServerDatabase server(path);
    QSqlDatabase& db = server.db();
    const QString ext = a.operand(0);

    if (command == QLatin1String("guests")) {
        a.expect(0);
        out << voxaren::guestsReport(db);
    } else if (command == QLatin1String("lamps")) {
        a.expect(0);
        out << voxaren::lampsReport(db);
    } else if (command == QLatin1String("tickets")) {
        a.expect(0);
        out << voxaren::ticketsReport(db);
    } else if (command == QLatin1String("messages")) {
        a.expect(1);
        out << voxaren::messagesReport(db, subscriberOf(db, ext));
    } else if (command == QLatin1String("leave-message")) {
        a.expect(1, {QStringLiteral("--from")});
        voxaren::NewMessage message;
        message.recipientObjectId = subscriberOf(db, ext);
        message.senderName = a.option(QStringLiteral("--from"));
        message.subject = message.senderName.isEmpty() ? QStringLiteral("Voice message")
                                                       : QStringLiteral("Voice message from ") + message.senderName;
        voxaren::deliverMessage(db, message);
        out << "voice message left for " << ext << "; lamp "
            << (voxaren::resyncLamps(db, message.recipientObjectId) ? "on" : "off") << "\n";
    } else if (command == QLatin1String("read-messages")) {
        a.expect(1);
        const QString id = subscriberOf(db, ext);
        const int marked = voxaren::markMessagesRead(db, id);
        out << marked << " message(s) of " << ext << " marked read; lamp "
            << (voxaren::resyncLamps(db, id) ? "on" : "off") << "\n";
    } else if (command == QLatin1String("add-object")) {
        a.expect(3);
        const auto kind = voxaren::objectKindNamed(ext);
        if (!kind)
            throw UsageError{QStringLiteral("unknown object type %1 (one of %2)")
                                 .arg(ext, voxaren::objectKindNames().join(QStringLiteral(", ")))};
        QString id;
        voxaren::sql::asOneUnit(db, [&] { id = voxaren::addObject(db, *kind, a.operand(1), a.operand(2)); });
        out << "added " << ext << " \"" << a.operand(2) << "\" on extension " << a.operand(1) << ": " << id << "\n";
    } else {
        throw UsageError{QStringLiteral("unknown command '%1'").arg(command), command, kCommands};
    }
    return 0;
}

int run(const QStringList& args) {
    const Arguments a(args);
    const QString command = a.command();
    if (command.isEmpty()) throw UsageError{QStringLiteral("no command given")};
    if (!kCommands.contains(command)) throw UsageError{QStringLiteral("unknown command '%1'").arg(command), command, kCommands};
    if (command == QLatin1String("init")) return init(a);
    if (command == QLatin1String("set-version")) {
        a.expect(1);
        const voxaren::ServerVersionNumbers version = versionArgument(a.operand(0));
        voxaren::writeServerVersion(version);
        out << "server version " << decoded(version) << ": Version Number 0x"
            << QStringLiteral("%1").arg(voxaren::versionNumber(version), 8, 16, QLatin1Char('0')).toUpper()
            << ", Build Number 0x"
            << QStringLiteral("%1").arg(voxaren::buildNumber(version), 8, 16, QLatin1Char('0')).toUpper() << "\n";
        return 0;
    }
    return onServer(a);
}

}  // namespace

int main(int argc, char* argv[]) { return simcli::runTool("voxaren-sim", kUsage, argc, argv, run); }
