#include "platform/FileDialogs.h"

#include "platform/DialogRunner.h"

#include <QFileDialog>
#include <QStringList>

namespace qinglan {

namespace {

FileDialogHandler& handler() {
    static FileDialogHandler instance;
    return instance;
}

} // namespace

void setFileDialogHandler(FileDialogHandler replacement) {
    handler() = std::move(replacement);
}

std::string qtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;")).toStdString();
}

namespace {

// Qt's own dialog: the same look on every desktop, and no native helper to hang on.
// Our descriptions already show their patterns ("FEN局面文件（*.fen）"), so the
// pattern part Qt needs is kept out of sight.
void setUpFileDialog(QFileDialog& dialog, const std::string& filter) {
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(
        QString::fromStdString(qtNameFilters(filter)).split(QStringLiteral(";;")));
}

std::string chosenPath(QFileDialog& dialog) {
    if (runModalDialog(dialog) != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0).toStdString();
}

} // namespace

std::string askOpenFileName(QWidget* owner, const std::string& caption, const std::string& filter) {
    if (handler()) return handler()(caption, filter, false);
    QFileDialog dialog(owner, QString::fromStdString(caption));
    setUpFileDialog(dialog, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenPath(dialog);
}

std::string askSaveFileName(QWidget* owner, const std::string& caption, const std::string& filter,
    const std::string& defaultExtension, const std::string& suggestedName) {
    if (handler()) return handler()(caption, filter, true);
    QFileDialog dialog(owner, QString::fromStdString(caption));
    setUpFileDialog(dialog, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Added before the dialog asks about replacing, so "x" asks about an existing "x.fen".
    dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
    if (!suggestedName.empty()) dialog.selectFile(QString::fromStdString(suggestedName));
    return chosenPath(dialog);
}

} // namespace qinglan
