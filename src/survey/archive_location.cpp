#include "survey/archive_location.h"

#include <QDir>
#include <QStandardPaths>

namespace ws {

std::string DefaultArchiveFolder() {
    // The generic location plus our own name rather than the per-application one: that one
    // depends on the organisation and application names set (or not) before the call, and the
    // window and the command line must find the same folder.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir::toNativeSeparators(QDir(base).filePath(QStringLiteral("WallScan"))).toStdString();
}

}  // namespace ws
