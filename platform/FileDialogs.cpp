#include "platform/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
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

std::string askOpenFileName(QWidget* owner, const std::string& caption, const std::string& filter) {
    if (handler()) return handler()(caption, filter, false);
    // Qt's own dialog: the same look on every desktop, and no native helper to hang on.
    return QFileDialog::getOpenFileName(owner, QString::fromStdString(caption), QString(),
        QString::fromStdString(qtNameFilters(filter)), nullptr, QFileDialog::DontUseNativeDialog)
        .toStdString();
}

std::string askSaveFileName(QWidget* owner, const std::string& caption, const std::string& filter,
    const std::string& defaultExtension, const std::string& suggestedName) {
    if (handler()) return handler()(caption, filter, true);
    QString path = QFileDialog::getSaveFileName(owner, QString::fromStdString(caption),
        QString::fromStdString(suggestedName), QString::fromStdString(qtNameFilters(filter)),
        nullptr, QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty() && !defaultExtension.empty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QString::fromStdString(defaultExtension);
    return path.toStdString();
}

} // namespace qinglan
