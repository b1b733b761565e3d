#include "app/dialogs/GameListDialog.h"

#include "app/dialogs/DialogPlacement.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <array>

namespace qinglan {

namespace {

constexpr int CLIENT_WIDTH = 640;
constexpr int CLIENT_HEIGHT = 420;
constexpr std::array<std::string_view, 5> COLUMN_TAGS
    = { tags::EVENT, tags::RED, tags::BLACK, tags::DATE, tags::RESULT };
constexpr int COLUMN_WIDTHS[] = { 50, 200, 100, 100, 90 }; // the result takes the rest
constexpr std::array<const char*, 6> HEADERS = { "序号", "赛事", "红方", "黑方", "日期", "结果" };

// The rows made once: sorting and filtering ten thousand games reads them many times.
class GameListModel : public QAbstractTableModel {
public:
    GameListModel(const std::vector<ListedGame>& games, QObject* parent)
        : QAbstractTableModel(parent) {
        rows_.reserve(games.size());
        for (const ListedGame& read : games) {
            std::array<QString, COLUMN_TAGS.size()> row;
            for (std::size_t c = 0; c < COLUMN_TAGS.size(); ++c)
                row[c] = QString::fromUtf8(read.game.tag(COLUMN_TAGS[c]));
            // Collections often name a game only by its title.
            if (row[0].isEmpty()) row[0] = QString::fromUtf8(read.game.tag("Title"));
            rows_.push_back(std::move(row));
        }
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(HEADERS.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        // The number as a number, so that it sorts as one.
        if (index.column() == 0) return index.row() + 1;
        return rows_[index.row()][index.column() - 1];
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return QString::fromUtf8(HEADERS[section]);
    }

private:
    std::vector<std::array<QString, COLUMN_TAGS.size()>> rows_;
};

} // namespace

GameListDialog::GameListDialog(const std::vector<ListedGame>& games, QWidget* owner)
    : QDialog(owner)
    , table_(new QTableView(this))
    , filter_(new QLineEdit(this))
    , proxy_(new QSortFilterProxyModel(this)) {
    setWindowTitle(QStringLiteral("选择棋局（共 %1 局）").arg(games.size()));
    useDialogFont(*this);
    proxy_->setSourceModel(new GameListModel(games, this));
    proxy_->setFilterKeyColumn(-1);
    proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setPlaceholderText(QStringLiteral("筛选：赛事、棋手、日期或结果"));
    filter_->setClearButtonEnabled(true);
    connect(filter_, &QLineEdit::textChanged, proxy_, &QSortFilterProxyModel::setFilterFixedString);
    table_->setObjectName(QStringLiteral("games"));
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(0, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->horizontalHeader()->setStretchLastSection(true);
    int column = 0;
    for (int width : COLUMN_WIDTHS) table_->setColumnWidth(column++, width);
    table_->selectRow(0);
    connect(table_, &QAbstractItemView::doubleClicked, this, &QDialog::accept);
    QDialogButtonBox* buttons = okCancelButtons(*this, "打开");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    placeDialog(*this, owner, CLIENT_WIDTH, CLIENT_HEIGHT);
}

std::optional<int> GameListDialog::chosenGame() const {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) return std::nullopt;
    return proxy_->mapToSource(current).row();
}

} // namespace qinglan
