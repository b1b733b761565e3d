#pragma once

class QCoreApplication;

namespace qinglan {

// Makes the toolkit's own dialogs and buttons (file dialogs, the question before
// replacing a file, Yes/No) speak Chinese like the rest of the program, whatever the
// machine's locale. False when the toolkit's Chinese translation is not installed.
bool installToolkitTranslation(QCoreApplication& app);

} // namespace qinglan
