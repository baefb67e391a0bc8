#include "app/pictures.h"

// The pictures live in a static library, whose resource table is registered only on request;
// the registration must stand outside any namespace.

static void loadPictures() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(fendal);
        return true;
    }();
    (void)loaded;
}

namespace fendal::app {

QIcon commandPicture(const char* name) {
    if (!name) return {};
    loadPictures();
    return QIcon(QString(":/icons/%1.svg").arg(QLatin1String(name)));
}

QIcon applicationIcon() { return commandPicture("fendal"); }

}  // namespace fendal::app
