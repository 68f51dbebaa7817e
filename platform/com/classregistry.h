#pragma once
// The class registry: a ProgID names a plug-in (a shared library) and the
// factory symbol in it, recorded in the registry store under
// SOFTWARE\Classes\<ProgID> (values "CLSID", "InprocServer32", "Factory").
#include <QString>
#include <memory>

#include "platform/com/iservice.h"

namespace platform::com {

struct ClassRegistration {
    QString progId;
    QString classId;   // GUID text
    QString library;   // absolute path of the plug-in
    QString factory;   // exported factory symbol
};

// Writes or removes a class registration.
HRESULT registerClass(const ClassRegistration& registration);
HRESULT unregisterClass(const QString& progId);

// The class id of a ProgID (CO_E_CLASSSTRING when unknown).
HRESULT classIdFromProgId(const QString& progId, QString* classId);

// Loads the plug-in of the ProgID and creates its control; the library stays
// loaded for the life of the process. On failure returns the code and, in
// *error, what went wrong.
HRESULT createService(const QString& progId, std::unique_ptr<IService>* service, QString* error = nullptr);

// Loads a plug-in and runs its self-registration (or removal).
HRESULT runSelfRegistration(const QString& library, bool unregister, QString* error = nullptr);

}  // namespace platform::com
