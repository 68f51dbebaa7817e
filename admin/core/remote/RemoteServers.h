#pragma once
// Choosing a voice-messaging server elsewhere on the network: its domains and
// SQL servers through the environment's discovery (modDomains, modServers),
// the connection string of a chosen server, and the test of that connection.
#include <QString>
#include <QStringList>

// The domains the named network provider offers, in its order (possibly
// none). A failure shows "Error in procedure ListDomains of Module modDomains"
// and gives what was collected.
QStringList ListDomains(const QString& providerName);

// The SQL servers of the domain ("" names none: the workstation's own). A
// failure is reported through the error trap and gives what was collected.
QStringList getServers(const QString& domainName);

// The connection string of the database VoxarenDb on that server, with the
// workstation's integrated security (no user name or password).
QString remoteVoiceServerConnection(const QString& serverName);

struct ServerConnectionTest {
    enum class Outcome {
        Valid,    // the database opened
        Refused,  // the server refused (no VoxarenDb there, or no rights): 0x80004005
        Failed,   // any other failure
    };
    Outcome outcome = Outcome::Failed;
    QString description;  // the failure's, "" when valid
};

// Opens a connection with that string and closes it again.
ServerConnectionTest testServerConnection(const QString& connection);
