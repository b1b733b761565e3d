#include "app/dialogs/GameInfoDialog.h"

#include "app/dialogs/DialogPlacement.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace qinglan {

namespace {

struct TagField {
    std::string_view tag;
    const char* caption;
};

constexpr TagField FIELDS[] = { { tags::EVENT, "赛事" }, { tags::SITE, "地点" },
    { tags::DATE, "日期" }, { tags::ROUND, "轮次" }, { tags::RED, "红方" },
    { tags::RED_TEAM, "红方队伍" }, { tags::BLACK, "黑方" }, { tags::BLACK_TEAM, "黑方队伍" },
    { tags::RESULT, "结果" }, { tags::TERMINATION, "结果原因" }, { tags::OPENING, "开局" } };

struct ResultChoice {
    const char* token;
    const char* caption;
};

constexpr ResultChoice RESULTS[] = { { "*", "未知 / 未结束" }, { "1-0", "红胜 (1-0)" },
    { "0-1", "黑胜 (0-1)" }, { "1/2-1/2", "和棋 (1/2-1/2)" } };

constexpr int CLIENT_WIDTH = 360;
constexpr int CLIENT_HEIGHT = 360;

} // namespace

GameInfoDialog::GameInfoDialog(const GameRecord& game, QWidget* owner)
    : QDialog(owner)
    , result_(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("棋局信息"));
    useDialogFont(*this);
    auto* form = new QFormLayout(this);
    for (const TagField& field : FIELDS) {
        const QString caption = QString::fromUtf8(field.caption) + QStringLiteral("：");
        if (field.tag == tags::RESULT) {
            result_->setObjectName(QStringLiteral("Result"));
            for (const ResultChoice& choice : RESULTS)
                result_->addItem(
                    QString::fromUtf8(choice.caption), QString::fromUtf8(choice.token));
            result_->setCurrentIndex(
                std::max(0, result_->findData(QString::fromStdString(game.result()))));
            form->addRow(caption, result_);
            continue;
        }
        auto* edit = new QLineEdit(QString::fromUtf8(game.tag(field.tag)), this);
        edit->setObjectName(QString::fromUtf8(field.tag));
        form->addRow(caption, edit);
        edits_.emplace_back(field.tag, edit);
    }
    QDialogButtonBox* buttons = okCancelButtons(*this);
    form->addRow(buttons);
    placeDialog(*this, owner, CLIENT_WIDTH, CLIENT_HEIGHT);
}

std::vector<RecordTag> GameInfoDialog::tags() const {
    std::vector<RecordTag> chosen;
    for (const auto& [tag, edit] : edits_)
        chosen.push_back({ std::string(tag), edit->text().trimmed().toStdString() });
    chosen.push_back(
        { std::string(tags::RESULT), result_->currentData().toString().toStdString() });
    return chosen;
}

} // namespace qinglan
