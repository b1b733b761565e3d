// The toolkit's file dialogs as the program opens them: in Chinese whatever the
// locale, each filter shown once, a typed name given the default extension.
#include "platform/FileDialogs.h"

#include "platform/DialogRunner.h"
#include "platform/ToolkitTranslation.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qinglan;

TEST(FileDialogs, SpeakChineseAndShowEachFilterOnce) {
    ASSERT_TRUE(installToolkitTranslation(*QCoreApplication::instance()))
        << "the toolkit's Chinese translation (qt6-translations-l10n) is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList filters;
    QString lookIn, chosen;
    setDialogHandler([&](QDialog& shown) {
        auto& dialog = dynamic_cast<QFileDialog&>(shown);
        const auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        filters.clear();
        for (int i = 0; types && i < types->count(); ++i) filters << types->itemText(i);
        lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text();
        dialog.selectFile(dir.filePath(QStringLiteral("局面")));
        chosen = dialog.selectedFiles().value(0);
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(askSaveFileName(nullptr, "保存局面", "FEN局面文件（*.fen）|*.fen", "fen"), "");
    EXPECT_EQ(filters, QStringList { QStringLiteral("FEN局面文件（*.fen）") });
    EXPECT_EQ(chosen, dir.filePath(QStringLiteral("局面.fen")));
    EXPECT_EQ(
        askOpenFileName(nullptr, "加载主引擎", "UCCI引擎程序（*.exe）|*.exe|所有文件（*）|*"), "");
    setDialogHandler({});
    EXPECT_EQ(filters,
        (QStringList { QStringLiteral("UCCI引擎程序（*.exe）"), QStringLiteral("所有文件（*）") }));
    EXPECT_NE(lookIn, QStringLiteral("Look in:"));
    // The question before replacing a file comes from the same translation.
    const QString replace = QCoreApplication::translate(
        "QFileDialog", "%1 already exists.\nDo you want to replace it?");
    EXPECT_TRUE(replace.contains(QStringLiteral("替换"))) << replace.toStdString();
}
