#include "file_dialogs.h"

#include "kit/twips.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QSplitter>
#include <QStringList>
#include <QTreeView>

namespace {

// Large enough for the places and the four columns in the desktop's font; the columns
// take the width of their contents whenever a folder has been read.
void FitColumns(QFileDialog& dialog) {
    dialog.resize(TwipsToPixelsX(10500), TwipsToPixelsY(6000));
    if (auto* splitter = dialog.findChild<QSplitter*>("splitter"); splitter != nullptr)
        splitter->setSizes({TwipsToPixelsX(2400), TwipsToPixelsX(7800)});
    auto* details = dialog.findChild<QTreeView*>("treeView");
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (details == nullptr || model == nullptr)
        return;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, details, [details] {
        details->header()->resizeSections(QHeaderView::ResizeToContents);
    });
}

QString ShowFileDialog(QWidget* owner, QString& filter, const QString& title,
                       const QString& initialFolder, bool save,
                       const QString& defaultSuffix = QString()) {
    if (!filter.endsWith('|'))
        filter += '|';
    QFileDialog dialog(owner, title, initialFolder, DialogFilter(filter));
    dialog.setObjectName(save ? "SaveDialog" : "OpenDialog");
    // The same dialog, in German, on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    FitColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return StripTrailingNulls(dialog.selectedFiles().constFirst());
}

} // namespace

QString ShowSaveDialog(QWidget* owner, QString& filter, const QString& title,
                       const QString& initialFolder, const QString& defaultSuffix) {
    return ShowFileDialog(owner, filter, title, initialFolder, true, defaultSuffix);
}

QString ShowOpenDialog(QWidget* owner, QString& filter, const QString& title,
                       const QString& initialFolder) {
    return ShowFileDialog(owner, filter, title, initialFolder, false);
}

QString DialogFilter(const QString& filter) {
    const QStringList pieces = filter.split('|');
    QStringList lines;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        const QString caption = pieces[i].trimmed();
        const QString patterns = pieces[i + 1].split(';', Qt::SkipEmptyParts).join(' ');
        if (!caption.isEmpty() || !patterns.isEmpty())
            lines << caption + " (" + patterns + ")";
    }
    return lines.join(";;");
}

QString StripTrailingNulls(QString text) {
    text = text.trimmed();
    while (!text.isEmpty() && text.back() == QChar(0)) {
        text.chop(1);
        text = text.trimmed();
    }
    return text;
}
