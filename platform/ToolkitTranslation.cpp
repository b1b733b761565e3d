#include "platform/ToolkitTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qinglan {

bool installToolkitTranslation(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // Debian ships it in qt6-translations-l10n, where the toolkit looks for its own.
    if (!translator->load(
            QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace qinglan
