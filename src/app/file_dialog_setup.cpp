#include "app/file_dialog_setup.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMimeDatabase>
#include <QTreeView>

#include "app/file_filter.h"

namespace fendal::app {

namespace {

constexpr char kMimeType[] = "application/x-fendal-document";
constexpr char kDocumentName[] = "测深数据文件";
constexpr int kColumnPadding = 24;       // room for the header's margins and the sort arrow
constexpr int kRoomBesideDetails = 200;  // the folder list, the frames and the scroll bar

bool isCrackFile(const QFileInfo& info) {
    return info.isFile() && info.suffix().compare("fsy", Qt::CaseInsensitive) == 0;
}

// Crack data files with their type name; everything else as Qt has it.
class CrackFileIconProvider : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override {
        return isCrackFile(info) ? crackFileTypeName() : QFileIconProvider::type(info);
    }
};

// Widens a column of the detail view to fit its header and the widest of `samples`.
void fitColumn(QHeaderView* header, int column, const QStringList& samples) {
    if (!header || column >= header->count()) return;
    const QFontMetrics metrics(header->font());
    int width = metrics.horizontalAdvance(header->model()->headerData(column, Qt::Horizontal).toString());
    for (const QString& sample : samples) width = std::max(width, metrics.horizontalAdvance(sample));
    header->resizeSection(column, std::max(header->sectionSize(column), width + kColumnPadding));
}

// The folder to start in: the start file's own, or the nearest folder above it that is left.
QString startFolder(const QString& path) {
    QDir folder = QFileInfo(path).absoluteDir();
    while (!folder.exists() && folder.cdUp()) {}
    return folder.absolutePath();
}

}  // namespace

QString crackFileTypeName() {
    static const QString name = [] {
        const QMimeType type = QMimeDatabase().mimeTypeForName(QString::fromLatin1(kMimeType));
        return type.isValid() && !type.comment().isEmpty() ? type.comment() : QString::fromUtf8(kDocumentName);
    }();
    return name;
}

void applyFileDialogOptions(QFileDialog& dialog, const data::FileDialogOptions& options) {
    // Qt's own dialog everywhere, as the group save dialog needs it: the same dialog for every
    // file choice, with the type names and column widths below.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // One for the process, never destroyed: the dialogs' file models ask it from their worker
    // threads, and it must not outlive the application object's end either.
    static auto* const icons = new CrackFileIconProvider;
    dialog.setIconProvider(icons);

    if (!options.title.empty()) dialog.setWindowTitle(QString::fromStdString(options.title));
    QStringList filters;
    for (const auto& f : nameFiltersFromWindowsFilter(options.filter)) filters << QString::fromStdString(f);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!options.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(options.defaultExt));
    if (dialog.acceptMode() == QFileDialog::AcceptOpen)
        dialog.setFileMode(options.allowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
    if (!options.startPath.empty()) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(options.startPath));
        dialog.setDirectory(startFolder(path));
        if (dialog.acceptMode() == QFileDialog::AcceptSave) dialog.selectFile(QFileInfo(path).fileName());
    }

    // Size, type and date as the detail view writes them (in the system's language).
    if (auto* details = dialog.findChild<QTreeView*>("treeView")) {
        const QLocale locale = QLocale::system();
        fitColumn(details->header(), 1, {locale.formattedDataSize(999'999), locale.formattedDataSize(999'999'999)});
        fitColumn(details->header(), 2, {crackFileTypeName()});
        fitColumn(details->header(), 3,
                  {locale.toString(QDateTime(QDate(2028, 12, 28), QTime(23, 58, 58)), QLocale::ShortFormat)});
        // Wide enough to show them all beside the folder list.
        const QSize hint = dialog.sizeHint();
        const int wanted = details->header()->length() + kRoomBesideDetails;
        dialog.resize(std::max(hint.width(), wanted), hint.height());
    }
}

}  // namespace fendal::app
