#include "TestMain.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace testsupport {

void prepareTestProcess() {
    static std::unique_ptr<QTemporaryDir> root;
    root = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/pendlow-test-XXXXXX"));
    const QString base = root->path();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const QString path = base + QLatin1Char('/') + QString::fromLatin1(name).toLower();
        QDir().mkpath(path);
        qputenv(name, path.toLocal8Bit());
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

} // namespace testsupport
