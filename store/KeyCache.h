#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace store {

// At every open SQLCipher turns the password into the file's key with 64,000
// rounds of PBKDF2, about 30 ms of processor time: more than everything else
// a short command does. The key depends only on the password and the random
// salt at the start of the file, so a program may keep the keys of the files
// it opened in a per-user cache folder and hand the engine the key itself.
// This reveals nothing new: the password is the program's own, so anyone who
// has the file and the program can derive the same key.

// Where keys are kept (created when needed); empty turns the cache off, as
// it is unless a program sets it.
void setKeyCacheFolder(const QString& folder);

// The raw key text ("x'...'") the cache holds for the file at `path` under
// `password`; nothing when the cache is off, the key is not cached or the
// file has no salt yet.
std::optional<QByteArray> cachedRawKey(const QString& path, const QByteArray& password);

// Derives the key of the file at `path` (which must already be known to
// open with `password`) and keeps it in place of any kept for that file,
// beside the most recent others. Does nothing when the cache is off; a cache
// that cannot be written is left alone.
void rememberKey(const QString& path, const QByteArray& password);

} // namespace store
