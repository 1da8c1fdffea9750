#pragma once

// Two probes the store, server, companion and window tests share.
#include "DbError.h"

#include <QFile>
#include <functional>

// The file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The message of the store error `action` throws; empty when it throws none.
inline QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const store::DbError& error) {
        return error.message();
    }
    return {};
}
