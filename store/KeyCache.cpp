#include "KeyCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <openssl/evp.h>

namespace store {

namespace {

// SQLCipher 3's defaults: PBKDF2-HMAC-SHA1, 64,000 rounds, a 16-byte salt
// and a 32-byte key.
constexpr int kRounds = 64000;
constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;
// Files opened recently enough to keep; a compaction's checked copies each
// have a salt of their own.
constexpr int kKeptKeys = 16;

QString& cacheFolder() {
    static QString folder;
    return folder;
}

QString cacheFile() {
    return cacheFolder() + QStringLiteral("/keys");
}

std::optional<QByteArray> saltOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray salt = file.read(kSaltBytes);
    return salt.size() == kSaltBytes ? std::optional(salt) : std::nullopt;
}

// The cache names an entry by a hash of password and salt, not by either.
QByteArray entryName(const QByteArray& password, const QByteArray& salt) {
    return QCryptographicHash::hash(password + salt, QCryptographicHash::Sha256).toHex();
}

QList<QByteArray> cachedLines() {
    QFile file(cacheFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

} // namespace

void setKeyCacheFolder(const QString& folder) {
    cacheFolder() = folder;
}

std::optional<QByteArray> cachedRawKey(const QString& path, const QByteArray& password) {
    if (cacheFolder().isEmpty())
        return std::nullopt;
    const std::optional<QByteArray> salt = saltOf(path);
    if (!salt)
        return std::nullopt;
    const QByteArray name = entryName(password, *salt) + ' ';
    for (const QByteArray& line : cachedLines()) {
        const QByteArray key = line.mid(name.size());
        if (line.startsWith(name) && key.size() == 2 * kKeyBytes)
            return "x'" + key + "'";
    }
    return std::nullopt;
}

void rememberKey(const QString& path, const QByteArray& password) {
    if (cacheFolder().isEmpty())
        return;
    const std::optional<QByteArray> salt = saltOf(path);
    // The derivation is the slow part: not for a cache that cannot be kept.
    if (!salt || !QDir().mkpath(cacheFolder()))
        return;
    unsigned char key[kKeyBytes];
    if (PKCS5_PBKDF2_HMAC_SHA1(password.constData(), static_cast<int>(password.size()),
                               reinterpret_cast<const unsigned char*>(salt->constData()),
                               kSaltBytes, kRounds, kKeyBytes, key) != 1)
        return;
    const QByteArray name = entryName(password, *salt);
    QList<QByteArray> lines{name + ' ' +
                            QByteArray(reinterpret_cast<const char*>(key), kKeyBytes).toHex()};
    for (const QByteArray& line : cachedLines())
        if (!line.isEmpty() && !line.startsWith(name) && lines.size() < kKeptKeys)
            lines << line;
    QSaveFile file(cacheFile());
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(lines.join('\n') + '\n');
    file.commit();
}

} // namespace store
