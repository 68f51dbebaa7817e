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

// The control of a ProgID, or the status that says why there is none.
struct CreatedService {
    std::unique_ptr<IService> service;
    Status status;
};
// Loads the plug-in of the ProgID and creates its control; the library stays
// loaded for the life of the process.
CreatedService createService(const QString& progId);

// Loads a plug-in and runs its self-registration (or removal).
Status runSelfRegistration(const QString& library, bool unregister);

}  // namespace platform::com
