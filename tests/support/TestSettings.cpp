#include "TestSettings.h"

#include <QtGlobal>

TestSettings::TestSettings()
    : UserDefaultsService(folder.filePath(QStringLiteral("Pendlow.conf"))) {
    if (!folder.isValid()) {
        qFatal("no temporary folder for the settings: %s", qPrintable(folder.errorString()));
    }
}
