#include "admin/prompt/NameOnlyFileDialog.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>

namespace {

// Icons and type names from the directory entry and the file's name alone.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) return QFileIconProvider::type(info);
        return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension).comment();
    }
};

std::optional<QString> choose(QFileDialog& dialog) {
    static NameOnlyIconProvider nameOnly;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&nameOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

}  // namespace

std::optional<QString> chooseFolderByName(const QString& title, const QString& start, QWidget* parent) {
    QFileDialog dialog(parent, title, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return choose(dialog);
}

std::optional<QString> chooseFileByName(const QString& title, const QString& start, const QString& filter,
                                        QWidget* parent) {
    QFileDialog dialog(parent, title, start, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return choose(dialog);
}
