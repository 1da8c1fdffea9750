#include "Settings.h"

#include <QDir>
#include <QStandardPaths>
#include <cmath>
#include <limits>

namespace {

const QString kName = QStringLiteral("hourloom");

QString groupKey(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}

QString groupKey(const SettingKey& key) {
    return groupKey(QString::fromUtf8(key.section), QString::fromUtf8(key.key));
}

} // namespace

Settings::Settings(const QString& iniPath) {
    if (iniPath.isEmpty())
        store_ =
            std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, kName, kName);
    else
        store_ = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

Settings::~Settings() = default;

QString Settings::dataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/hourloom");
    QDir().mkpath(folder);
    return folder;
}

QString Settings::defaultFor(const SettingKey& key) const {
    if (key.defaultText)
        return QString::fromUtf8(key.defaultText);
    if (&key == &keys::gDataBaseLoc || qstrcmp(key.key, keys::gDataBaseLoc.key) == 0)
        return dataFolder() + QStringLiteral("/Hourloom.HL1");
    return dataFolder() + QLatin1Char('/'); // sExport
}

QString Settings::read(const QString& section, const QString& key,
                       const QString& defaultText) const {
    const QVariant value = store_->value(groupKey(section, key));
    if (!value.isValid())
        return defaultText;
    // A list (a value with commas written by hand) reads back joined as it was.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void Settings::write(const QString& section, const QString& key, const QString& value) {
    store_->setValue(groupKey(section, key), value);
    store_->sync();
}

QString Settings::text(const SettingKey& key) const {
    return read(QString::fromUtf8(key.section), QString::fromUtf8(key.key), defaultFor(key));
}

qint16 Settings::int16(const SettingKey& key) const {
    constexpr auto lo = std::numeric_limits<qint16>::min();
    constexpr auto hi = std::numeric_limits<qint16>::max();
    if (auto v = wholeNumberFromText(text(key), lo, hi))
        return static_cast<qint16>(*v);
    return static_cast<qint16>(wholeNumberFromText(defaultFor(key), lo, hi).value_or(0));
}

qint32 Settings::int32(const SettingKey& key) const {
    constexpr auto lo = std::numeric_limits<qint32>::min();
    constexpr auto hi = std::numeric_limits<qint32>::max();
    if (auto v = wholeNumberFromText(text(key), lo, hi))
        return static_cast<qint32>(*v);
    return static_cast<qint32>(wholeNumberFromText(defaultFor(key), lo, hi).value_or(0));
}

bool Settings::boolean(const SettingKey& key) const {
    if (auto v = booleanFromText(text(key)))
        return *v;
    return booleanFromText(defaultFor(key)).value_or(false);
}

void Settings::setText(const SettingKey& key, const QString& value) {
    write(QString::fromUtf8(key.section), QString::fromUtf8(key.key), value);
}

void Settings::setInt(const SettingKey& key, qint64 value) {
    setText(key, QString::number(value));
}

void Settings::setBool(const SettingKey& key, bool value) {
    setText(key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void Settings::remove(const SettingKey& key) {
    store_->remove(groupKey(key));
    store_->sync();
}

bool Settings::setBySystem(const SettingKey& key) const {
    if (store_->scope() != QSettings::UserScope || store_->applicationName() != kName)
        return false;
    const QSettings system(QSettings::IniFormat, QSettings::SystemScope, kName, kName);
    return !system.value(groupKey(key)).toString().trimmed().isEmpty();
}

QString Settings::fileName() const {
    return store_->fileName();
}

std::optional<qint64> wholeNumberFromText(const QString& text, qint64 min, qint64 max) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // Halves go to the even neighbour, as the stored numbers were rounded.
    const double rounded = std::nearbyint(value);
    if (rounded < static_cast<double>(min) || rounded > static_cast<double>(max))
        return std::nullopt;
    return static_cast<qint64>(rounded);
}

std::optional<bool> booleanFromText(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = t.toDouble(&ok);
    if (ok && std::isfinite(number))
        return number != 0.0;
    return std::nullopt;
}
