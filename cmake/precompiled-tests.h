// The headers of the library's precompiled set plus the test framework's, compiled once for the test
// helpers and reused by every test program.
#pragma once

#include "precompiled-library.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
