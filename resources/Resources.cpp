#include "resources/Resources.h"

// The resource data sits in a static library; nothing references its registration
// object, so the linker would drop it without this explicit call. Q_INIT_RESOURCE must be
// used outside any namespace.
static void registerCompiledResources() {
    Q_INIT_RESOURCE(qinglan_resources);
}

namespace qinglan {

void initBuiltInResources() {
    // Registering twice would only add a second, identical tree; once is enough.
    static const bool registered = (registerCompiledResources(), true);
    (void)registered;
}

namespace res {

QString pieceImagePath(bool red, int type) {
    static const char* const names[7]
        = { "king", "advisor", "elephant", "horse", "chariot", "cannon", "pawn" };
    if (type < 0 || type > 6) return {};
    return QStringLiteral(":/images/%1_%2.png").arg(red ? "red" : "black", names[type]);
}

} // namespace res

} // namespace qinglan
