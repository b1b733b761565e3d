#pragma once

#include <functional>
#include <string>

class QWidget;

namespace qinglan {

// Modal file dialogs owned by owner. filter is "description|pattern" pairs joined by
// "|" ("UCCI引擎程序（*.exe）|*.exe"); a pattern may list several globs separated by
// ";". defaultExtension (without dot) is added to a saved name that has none. Both
// return the chosen path (UTF-8), or "" when nothing was chosen.
std::string askOpenFileName(QWidget* owner, const std::string& caption, const std::string& filter);
std::string askSaveFileName(QWidget* owner, const std::string& caption, const std::string& filter,
    const std::string& defaultExtension, const std::string& suggestedName = {});

// Both open through runModalDialog, so a dialog handler there sees the real dialog.
// Tests replace the dialogs: while a handler is set it is called (save = true for a
// save dialog) instead of opening a window, and its answer is returned as chosen.
using FileDialogHandler
    = std::function<std::string(const std::string& caption, const std::string& filter, bool save)>;
void setFileDialogHandler(FileDialogHandler handler);

// "desc|pattern|desc|pattern" as a Qt name filter list ("desc (pattern)").
std::string qtNameFilters(const std::string& filter);

} // namespace qinglan
