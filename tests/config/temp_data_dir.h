#pragma once

#include <QTemporaryDir>

// A fresh data folder per test, path ending with "/" as folder values always do.
struct TempDataDir {
    QTemporaryDir dir;
    QString path() const { return dir.path() + QStringLiteral("/"); }
};
