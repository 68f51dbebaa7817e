#pragma once
// The files this system writes into a log folder, by their names: the
// service's diagnostic logs, the administration's logs and the reports. The
// sweeps that remove old files remove only these: a log folder may be one
// that holds other files too.
#include <QString>

// VoxarenStavio_Log_yyyymmdd_hh_mm_ss.TXT, VoxarenStavioAdmin_Log_yymmdd_hh_mm_ss.TXT,
// Room_Activity__yyyy_mm_dd_hh_mm_ss.csv and Archived_Room__yyyy_mm_dd_hh_mm_ss.csv,
// in any letter case.
bool isWrittenByThisSystem(const QString& fileName);
