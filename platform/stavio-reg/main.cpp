// stavio-reg: reads and writes the machine's registry store from a shell, so a
// headless server can be configured and scripts can arrange settings.
#include <sys/stat.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <variant>

#include "platform/commandline.h"
#include "platform/registry.h"

using platform::RegistryStore;
using platform::RegType;
using platform::RegValue;

namespace {

// The largest binary value `set` takes: hexadecimal text of up to twice as many digits.
constexpr qsizetype kMaxBinaryBytes = 1024 * 1024;

QTextStream out(stdout);
QTextStream err(stderr);

const char* const kHelp =
    "Usage: stavio-reg list [KEY]\n"
    "  or:  stavio-reg get KEY NAME\n"
    "  or:  stavio-reg set KEY NAME sz|dword|binary VALUE\n"
    "  or:  stavio-reg delete KEY [NAME]\n"
    "Reads and writes the machine's registry store, where the system keeps its settings.\n"
    "\n"
    "Commands:\n"
    "  list [KEY]               the key (default: all of HKEY_LOCAL_MACHINE) with its values and subkeys\n"
    "  get KEY NAME             the value's data\n"
    "  set KEY NAME TYPE VALUE  writes the value (the key is made when missing); TYPE is sz, dword or binary\n"
    "  delete KEY [NAME]        removes the value, or the key with all below it\n"
    "\n"
    "KEY is a subkey of HKEY_LOCAL_MACHINE such as Software\\Brightkeel\\Stavio (an HKLM\\ prefix is accepted).\n"
    "A dword VALUE is decimal or 0x hexadecimal. A binary VALUE is hexadecimal text, two digits a byte (blanks\n"
    "and line breaks ignored), at most 1 MiB (1048576 bytes); a binary VALUE of - is read from standard input.\n"
    "\n"
    "Options:\n"
    "  -h, --help               Shows this help.\n"
    "  --version                Shows the program's version.\n"
    "  --                       Ends the options: a VALUE that begins with - follows it.\n"
    "\n"
    "Environment:\n"
    "  STAVIO_REGISTRY          the store; by default /var/lib/stavio/registry.db\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  not found\n"
    "  2  bad usage\n"
    "  3  the store failed (its reason on standard error)\n"
    "\n"
    "Examples:\n"
    "  stavio-reg set 'Software\\Brightkeel\\Stavio' 'Debug Mode' dword 1\n"
    "  od -An -tx1 -v blob.bin | stavio-reg set 'Software\\Brightkeel\\Stavio' Blob binary -\n"
    "\n"
    "See also:\n"
    "  stavioctl(1)\n";

const QStringList kCommands{QStringLiteral("list"), QStringLiteral("get"), QStringLiteral("set"), QStringLiteral("delete")};

int usage(const QString& reason, const QString& typed = QString()) {
    err.flush();
    return platform::cli::badUsage({reason, typed, kCommands});
}

QString subkeyOf(QString key) {
    static const QRegularExpression prefix(
        QStringLiteral("^(HKLM|HKEY_LOCAL_MACHINE)(\\\\|$)"),
        QRegularExpression::CaseInsensitiveOption);
    return RegistryStore::normalizeKey(key.remove(prefix));
}

// Collected first, so that a store failing half-way prints no partial listing.
void listKey(RegistryStore& store, const QString& key, QString& listing) {
    listing += QStringLiteral("[HKLM") + (key.isEmpty() ? QString() : QStringLiteral("\\") + key) +
               QStringLiteral("]\n");
    for (const auto& v : store.values(key))
        listing += QStringLiteral("  ") + v.name + QLatin1Char('\t') + platform::regTypeName(v.value.type) +
                   QLatin1Char('\t') + v.value.display() + QLatin1Char('\n');
    for (const QString& child : store.subkeys(key))
        listKey(store, key.isEmpty() ? child : key + QLatin1Char('\\') + child, listing);
}

// Hexadecimal text, two digits a byte; blanks and line breaks between them are ignored.
std::optional<QByteArray> parseHex(const QString& text) {
    QByteArray digits;
    digits.reserve(text.size());
    for (const QChar c : text) {
        if (c.isSpace()) continue;
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F'))) return std::nullopt;
        digits.append(char(c.unicode()));
    }
    if (digits.size() % 2 != 0 || digits.size() / 2 > kMaxBinaryBytes) return std::nullopt;
    return QByteArray::fromHex(digits);
}

std::optional<RegValue> parseValue(const QString& type, const QString& text) {
    const QString t = type.toLower();
    if (t == QLatin1String("sz")) return RegValue::sz(text);
    if (t == QLatin1String("dword")) {
        bool ok = false;
        const qulonglong n = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                 ? text.mid(2).toULongLong(&ok, 16)
                                 : text.toULongLong(&ok, 10);
        if (!ok || n > 0xFFFFFFFFull) return std::nullopt;
        return RegValue::fromDword(quint32(n));
    }
    if (t == QLatin1String("binary")) {
        const auto bytes = parseHex(text);
        if (!bytes) return std::nullopt;
        return RegValue::binary(*bytes);
    }
    return std::nullopt;
}

// The words of the command line, or the exit status when it ends here.
std::variant<QStringList, int> words(const QStringList& arguments) {
    platform::cli::Words parsed;
    if (const auto problem = platform::cli::split(arguments, {QStringLiteral("--version")}, {}, parsed))
        return platform::cli::badUsage(*problem);
    if (parsed.has("--help")) {
        out << kHelp;
        return 0;
    }
    if (parsed.has("--version")) {
        out << platform::cli::versionLine();
        return 0;
    }
    if (parsed.positional.isEmpty()) return usage(QStringLiteral("no command given"));
    return parsed.positional;
}

int run(const QStringList& arguments) {
    const std::variant<QStringList, int> parsed = words(arguments);
    if (const int* exit = std::get_if<int>(&parsed)) return *exit;
    const QStringList& args = std::get<QStringList>(parsed);
    const QString command = args[0].toLower();
    if (!kCommands.contains(command)) return usage(QStringLiteral("unknown command '%1'").arg(args[0]), args[0]);
    RegistryStore& store = platform::machineRegistry();

    if (command == QLatin1String("list") && args.size() <= 2) {
        const QString key = subkeyOf(args.value(1));
        if (!store.keyExists(key)) {
            err << "stavio-reg: key not found: " << args.value(1) << "\n";
            return 1;
        }
        QString listing;
        listKey(store, key, listing);
        out << listing;
        return 0;
    }
    if (command == QLatin1String("get") && args.size() == 3) {
        const auto value = store.value(subkeyOf(args[1]), args[2]);
        if (!value) return 1;
        out << value->display() << "\n";
        return 0;
    }
    if (command == QLatin1String("set") && args.size() == 5) {
        QString text = args[4];
        if (text == QLatin1String("-") && args[3].compare(QLatin1String("binary"), Qt::CaseInsensitive) == 0) {
            QFile input;
            if (!input.open(stdin, QIODevice::ReadOnly)) return usage(QStringLiteral("standard input cannot be read"));
            text = QString::fromUtf8(input.readAll());
        }
        const auto value = parseValue(args[3], text);
        if (!value) {
            err << "stavio-reg: not a valid " << args[3] << " value: " << text.left(80)
                << (text.size() > 80 ? "..." : "") << "\n";
            return 2;
        }
        const QString key = subkeyOf(args[1]);
        store.createKey(key);
        if (!store.setValue(key, args[2], *value)) {
            err << "stavio-reg: " << args[2] << " was not written: key " << key
                << " is missing from the store after creating it\n";
            return 3;
        }
        return 0;
    }
    if (command == QLatin1String("delete") && (args.size() == 2 || args.size() == 3)) {
        const QString key = subkeyOf(args[1]);
        const bool removed =
            args.size() == 3 ? store.deleteValue(key, args[2]) : store.deleteKey(key);
        return removed ? 0 : 1;
    }
    return usage(QStringLiteral("wrong number of arguments for %1").arg(command));
}

}  // namespace

int main(int argc, char* argv[]) {
    // A store it makes is the administrators' alone: for its owner and group only.
    ::umask(0007);
    QCoreApplication app(argc, argv);
    platform::cli::identify(QStringLiteral("stavio-reg"));
    QStringList args = app.arguments();
    args.removeFirst();
    try {
        const int rc = run(args);
        out.flush();
        err.flush();
        return rc;
    } catch (const platform::Error& e) {
        err << "stavio-reg: " << e.what() << "\n";
        err.flush();
        return 3;
    }
}
