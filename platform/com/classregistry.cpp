#include "platform/com/classregistry.h"

#include <dlfcn.h>

#include <QFile>
#include <utility>

#include "platform/registry.h"

namespace platform::com {

namespace {

QString classKey(const QString& progId) { return QStringLiteral("SOFTWARE\\Classes\\") + progId; }

std::optional<ClassRegistration> lookUp(const QString& progId) {
    RegistryStore& store = machineRegistry();
    const QString key = classKey(progId);
    if (progId.isEmpty() || !store.keyExists(key)) return std::nullopt;
    ClassRegistration r;
    r.progId = progId;
    const auto text = [&](const char* name) {
        const auto v = store.value(key, QLatin1String(name));
        return v ? v->text : QString();
    };
    r.classId = text("CLSID");
    r.library = text("InprocServer32");
    r.factory = text("Factory");
    return r;
}

void* openLibrary(const QString& library, QString* error) {
    void* handle = dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) *error = QString::fromLocal8Bit(dlerror());
    return handle;
}

}  // namespace

HRESULT registerClass(const ClassRegistration& r) {
    try {
        RegistryStore& store = machineRegistry();
        const QString key = classKey(r.progId);
        store.createKey(key);
        const std::pair<const char*, QString> values[] = {
            {"CLSID", r.classId}, {"InprocServer32", r.library}, {"Factory", r.factory}};
        for (const auto& [name, text] : values) {
            if (!store.setValue(key, QLatin1String(name), RegValue::sz(text))) {
                setErrorInfo(QStringLiteral("Registry store %1: %2 was not written: key %3 is missing")
                                 .arg(store.path(), QLatin1String(name), key));
                return E_FAIL;
            }
        }
        return S_OK;
    } catch (const Error& e) {
        setErrorInfo(QString::fromUtf8(e.what()));
        return E_FAIL;
    }
}

HRESULT unregisterClass(const QString& progId) {
    try {
        machineRegistry().deleteKey(classKey(progId));
        return S_OK;
    } catch (const Error& e) {
        setErrorInfo(QString::fromUtf8(e.what()));
        return E_FAIL;
    }
}

HRESULT classIdFromProgId(const QString& progId, QString* classId) {
    try {
        const auto r = lookUp(progId);
        if (!r || r->classId.isEmpty()) return CO_E_CLASSSTRING;
        if (classId) *classId = r->classId;
        return S_OK;
    } catch (const Error& e) {
        setErrorInfo(QString::fromUtf8(e.what()));
        return CO_E_CLASSSTRING;
    }
}

CreatedService createService(const QString& progId) {
    CreatedService created;
    const auto fail = [&](HRESULT code, QString error = QString()) {
        created.status = {code, std::move(error)};
        return std::move(created);
    };
    std::optional<ClassRegistration> r;
    try {
        r = lookUp(progId);
    } catch (const Error& e) {
        return fail(REGDB_E_CLASSNOTREG, QString::fromUtf8(e.what()));
    }
    if (!r || r->library.isEmpty() || r->factory.isEmpty()) return fail(REGDB_E_CLASSNOTREG);
    QString error;
    void* handle = openLibrary(r->library, &error);
    if (!handle) return fail(CO_E_DLLNOTFOUND, error);
    auto create = reinterpret_cast<CreateControlFunction>(dlsym(handle, r->factory.toLatin1().constData()));
    if (!create)
        return fail(REGDB_E_CLASSNOTREG,
                    QStringLiteral("%1 has no factory %2").arg(r->library, r->factory));
    IService* made = create(IService::IID);
    if (!made) return fail(E_NOINTERFACE);
    created.service.reset(made);
    return created;
}

Status runSelfRegistration(const QString& library, bool unregister) {
    Status status;
    void* handle = openLibrary(library, &status.error);
    if (!handle) {
        status.code = CO_E_DLLNOTFOUND;
        return status;
    }
    auto entry = reinterpret_cast<RegisterFunction>(dlsym(handle, unregister ? kUnregisterSymbol : kRegisterSymbol));
    if (!entry) {
        dlclose(handle);
        return {E_NOINTERFACE, QStringLiteral("%1 does not register itself").arg(library)};
    }
    status.code = entry();
    if (status.failed()) status.error = resultText(status.code);
    dlclose(handle);
    return status;
}

}  // namespace platform::com
