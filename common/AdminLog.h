#pragma once
// The administration program's own log: "<program>_Log_yymmdd_hh_mm_ss.TXT"
// in its "logs" folder, pruned of files older than 10 days at each start.
#include <QFile>
#include <QString>
#include <functional>
#include <memory>

class AdminLog {
public:
    // programFolder holds the program; programName is its file name without extension.
    AdminLog(QString programFolder, QString programName);

    // Prunes old files, names a new file and writes the header.
    void Start(const QString& serverVersionText);
    // Writes one line; with `stamp` the text becomes "<general date>: <text>"
    // (the caller's text is changed to that form). Then runs the after-write
    // hook: the windowed program processes its pending window messages there.
    void Write(QString& text, bool stamp);
    void setAfterWrite(std::function<void()> hook) { m_afterWrite = std::move(hook); }
    // Closes and opens the file again for appending, so an editor sees it whole.
    void Reopen();
    void Close();

    QString Path() const { return m_path; }
    QString Folder() const;

private:
    void writeRaw(const QString& line);

    QString m_programFolder;
    QString m_programName;
    QString m_path;
    std::unique_ptr<QFile> m_file;
    std::function<void()> m_afterWrite;
};
