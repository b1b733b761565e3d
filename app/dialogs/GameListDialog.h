#pragma once

#include "game/RecordFiles.h"

#include <QDialog>
#include <optional>
#include <vector>

class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace qinglan {

// "选择棋局": the games of a file, one row each (number, event, red, black, date,
// result), sortable by any column and narrowed by the filter box ("filter"), which
// matches any column. chosenGame() is the index of the game chosen in the file.
class GameListDialog : public QDialog {
public:
    GameListDialog(const std::vector<ListedGame>& games, QWidget* owner);
    std::optional<int> chosenGame() const;
    QTableView* table() const { return table_; }
    QLineEdit* filter() const { return filter_; }

private:
    QTableView* table_;
    QLineEdit* filter_;
    QSortFilterProxyModel* proxy_;
};

} // namespace qinglan
