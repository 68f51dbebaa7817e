#include "bench/SampleLog.h"

#include <QStringList>
#include <algorithm>

#include "platform/datefmt.h"

// Mostly sweep and lamp lines, the debug lines of each guest action (whose
// titles begin like the reported ones), and the guest actions and archive
// deletions themselves.
QByteArray sampleDayOfLog(QDate day, qint64 bytes, std::mt19937& random) {
    const QString rule(64, QLatin1Char('='));
    QByteArray text = (QStringList{rule, QStringLiteral("Running VoxarenStavio service version 1.0.0"),
                                   QStringLiteral("Local Voxaren version=4.0(3.89)"),
                                   QStringLiteral("Starting log at ") +
                                       platform::datefmt::generalDate(QDateTime(day, QTime(0, 0, 5))),
                                   rule, QString(),
                                   QStringLiteral("Time, Event ID, Event Title, Primary Room, Secondary Room, Description")}
                           .join(QStringLiteral("\r\n")) +
                       QStringLiteral("\r\n"))
                          .toUtf8();
    text.reserve(bytes + 4096);
    std::uniform_int_distribution<int> percent(0, 99), room(101, 1420);
    int second = 5;
    while (text.size() < bytes) {
        second = std::min(second + 2, 86399);
        const QByteArray time = platform::datefmt::generalDate(QDateTime(day, QTime(0, 0).addSecs(second))).toUtf8();
        const QByteArray a = QByteArray::number(room(random)), b = QByteArray::number(room(random));
        const int p = percent(random);
        QByteArray line;
        if (p < 35)
            line = time + ",1019,SYNC_DEBUG,,,Checking room=" + a + " OccStatus=1 upd_by_ptce=0 otherroomno=0";
        else if (p < 50)
            line = time + ",1023,MWI_SYNC_DEBUG," + a + ",,Lamp state for subscriber alias=ROOM213456789_" + a + " is 0";
        else if (p < 58)
            line = time + ",1011,SYNC_START,,,Synchronization sweep started";
        else if (p < 66)
            line = time + ",1012,SYNC_FINISHED,,,Synchronization sweep finished, 1320 rooms read";
        else if (p < 74)
            line = time + ",1007,CHECK_IN_DEBUG," + a + ",,First Name= ANNA, Last Name= LEE-PARK, Language=1033";
        else if (p < 80)
            line = time + ",1008,CHECK_OUT_DEBUG," + a + ",,Archiving subscriber alias=ROOM213456789_" + a;
        else if (p < 84)
            line = time + ",1009,ROOM_MOVE_DEBUG," + a + "," + b + ",Records for target room=" + b + " cleared";
        else if (p < 87)
            line = time + ",1015,ROOM_DELETE_DEBUG," + a + ",,Deleting subscriber OUT_ROOM213456789_" + a;
        else if (p < 90)
            line = time + ",1020,ROOM_UPDATE," + a + ",,Names updated for Anna Lee-Park";
        else if (p < 93)
            line = time + ",1003,CHECK_IN," + a + ",,New mailbox created for Anna Lee-Park";
        else if (p < 96)
            line = time + ",1004,CHECK_OUT," + a + ",,Mailbox checked out";
        else if (p < 97)
            line = time + ",1005,ROOM_MOVE," + a + "," + b + ",Room move completed";
        else if (p < 98)
            line = time + ",1006,ROOM_SWAP," + a + "," + b + ",Room swap completed";
        else if (p < 99)
            line = time + ",1013,ROOM_DELETE," + a +
                   ",,Found room to delete during SweepForRoomDeletes - Alias=OUT_ROOM213456789_" + a;
        else
            line = time + ",4,ERROR,,,(error):-2147217843 (Access denied for user 'vms', using password: YES) "
                          "in procedure SweepForUpdates of Module modPMSFunctions";
        text += line + "\r\n";
    }
    return text;
}
