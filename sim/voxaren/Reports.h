#pragma once
// The server's state as readable tables, for voxaren-sim. NULL shows as NULL.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <vector>

namespace voxaren {

// Columns aligned on the widest entry, two blanks apart, header first.
QString formatTable(const QStringList& header, const std::vector<QStringList>& rows);

// Hotel guests (conversation ConvHotel) by extension: extension, alternates,
// alias, names, language, unread messages and the primary lamp.
QString guestsReport(QSqlDatabase& db);
// Every lamp device: its subscriber's extension and alias, lamp alias,
// lamp extension, on or off.
QString lampsReport(QSqlDatabase& db);
// The subscriber's messages, oldest first.
QString messagesReport(QSqlDatabase& db, const QString& subscriberId);
// Every directory synchronisation ticket with its result as the view shows it now.
QString ticketsReport(QSqlDatabase& db);

}  // namespace voxaren
