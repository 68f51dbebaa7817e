// stavio-reg: reads and writes the machine's registry store from a shell, so a
// headless server can be configured and scripts can arrange settings.
#include <QByteArray>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

#include "platform/registry.h"

using platform::RegistryStore;
using platform::RegType;
using platform::RegValue;

namespace {

QTextStream out(stdout);
QTextStream err(stderr);

int usage() {
    err << "usage: stavio-reg list [KEY]\n"
           "       stavio-reg get KEY NAME\n"
           "       stavio-reg set KEY NAME sz|dword|binary VALUE\n"
           "       stavio-reg delete KEY [NAME]\n"
           "KEY is a subkey of HKEY_LOCAL_MACHINE such as Software\\Brightkeel\\Stavio\n"
           "(an HKLM\\ prefix is accepted). The store is $STAVIO_REGISTRY or\n"
           "/var/lib/stavio/registry.db.\n";
    err.flush();
    return 2;
}

QString subkeyOf(QString key) {
    static const QRegularExpression prefix(
        QStringLiteral("^(HKLM|HKEY_LOCAL_MACHINE)(\\\\|$)"),
        QRegularExpression::CaseInsensitiveOption);
    return RegistryStore::normalizeKey(key.remove(prefix));
}

void listKey(RegistryStore& store, const QString& key) {
    out << "[HKLM" << (key.isEmpty() ? QString() : QStringLiteral("\\") + key) << "]\n";
    for (const auto& v : store.values(key))
        out << "  " << v.name << "\t" << platform::regTypeName(v.value.type) << "\t"
            << v.value.display() << "\n";
    for (const QString& child : store.subkeys(key))
        listKey(store, key.isEmpty() ? child : key + QLatin1Char('\\') + child);
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
        static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
        const QString compact = QString(text).remove(QLatin1Char(' '));
        if (!hex.match(compact).hasMatch()) return std::nullopt;
        return RegValue::binary(QByteArray::fromHex(compact.toLatin1()));
    }
    return std::nullopt;
}

int run(const QStringList& args) {
    if (args.isEmpty()) return usage();
    const QString command = args[0].toLower();
    RegistryStore& store = platform::machineRegistry();

    if (command == QLatin1String("list") && args.size() <= 2) {
        const QString key = subkeyOf(args.value(1));
        if (!store.keyExists(key)) {
            err << "stavio-reg: key not found: " << args.value(1) << "\n";
            return 1;
        }
        listKey(store, key);
        return 0;
    }
    if (command == QLatin1String("get") && args.size() == 3) {
        const auto value = store.value(subkeyOf(args[1]), args[2]);
        if (!value) return 1;
        out << value->display() << "\n";
        return 0;
    }
    if (command == QLatin1String("set") && args.size() == 5) {
        const auto value = parseValue(args[3], args[4]);
        if (!value) {
            err << "stavio-reg: not a valid " << args[3] << " value: " << args[4] << "\n";
            return 2;
        }
        const QString key = subkeyOf(args[1]);
        store.createKey(key);
        store.setValue(key, args[2], *value);
        return 0;
    }
    if (command == QLatin1String("delete") && (args.size() == 2 || args.size() == 3)) {
        const QString key = subkeyOf(args[1]);
        const bool removed =
            args.size() == 3 ? store.deleteValue(key, args[2]) : store.deleteKey(key);
        return removed ? 0 : 1;
    }
    return usage();
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    try {
        const int rc = run(args);
        out.flush();
        err.flush();
        return rc;
    } catch (const platform::RegistryError& e) {
        err << "stavio-reg: " << e.what() << "\n";
        err.flush();
        return 3;
    }
}
