#pragma once
// The voice-messaging server's version, read from its registry values.
#include <QString>

struct ServerVersion {
    short Major = 0;
    short Minor = 0;
    short Build = 0;
    short Revision = 0;
    QString Text;
};

// Decodes the two registry numbers: version 0x40000 with build 0x20068 gives
// 4, 0, 2, 104 and "4.0(2.104)".
ServerVersion DecodeVoxarenVersion(quint32 versionNumber, quint32 buildNumber);

// Reads "Version Number" and "Build Number" into the environment's record.
void ReadVoxarenVersion();
const ServerVersion& serverVersion();

// True when the environment's record is at least the given version.
bool IsVoxarenVersionAtLeast(short major, short minor, short build, short revision);
