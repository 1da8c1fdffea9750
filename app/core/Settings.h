#pragma once

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

// One key of the settings store: its section, name and default text. Two
// defaults depend on the per-user data folder and are filled in on reading.
struct SettingKey {
    const char* section;
    const char* key;
    const char* defaultText; // nullptr: computed (see Settings::defaultFor)
};

namespace keys {
inline constexpr SettingKey gDataBaseLoc{"frmSetup", "gDataBaseLoc", nullptr};
inline constexpr SettingKey gDataBaseName{"frmSetup", "gDataBaseName", "Hourloom.HL1"};
// A libpq URI: when set, the program records on that server, not in the file.
inline constexpr SettingKey Server{"frmSetup", "Server", ""};
inline constexpr SettingKey DaysOld{"frmSetup", "DaysOld", "90"};
inline constexpr SettingKey lLabel{"frmSetup", "lLabel", "1"};
inline constexpr SettingKey intMinTimer{"frmControl", "intMinTimer", "15"};
inline constexpr SettingKey lblClient1{"frmControl", "lblClient1", "Client"};
inline constexpr SettingKey lblClient2{"frmControl", "lblClient2", "Client Number"};
inline constexpr SettingKey Frame2{"frmControl", "Frame2", "Client Information"};
inline constexpr SettingKey lblWork1{"frmControl", "lblWork1", "Work"};
inline constexpr SettingKey lblWork2{"frmControl", "lblWork2", "Code"};
inline constexpr SettingKey lstClient2Vis{"frmControl", "lstClient2Vis", "True"};
inline constexpr SettingKey lstClient1Wit{"frmControl", "lstClient1Wit", "2055"};
inline constexpr SettingKey lstWork2Vis{"frmControl", "lstWork2Vis", "True"};
inline constexpr SettingKey lstWork1Wit{"frmControl", "lstWork1Wit", "1800"};
inline constexpr SettingKey strClient1{"frmControl", "strClient1", "ClientName"};
inline constexpr SettingKey strClient2{"frmControl", "strClient2", "ClientNumber"};
inline constexpr SettingKey strWork1{"frmControl", "strWork1", "WorkDescription"};
inline constexpr SettingKey strWork2{"frmControl", "strWork2", "WorkCode"};
inline constexpr SettingKey strBeginWork{"frmControl", "strBeginWork", "8:00:00 AM"};
inline constexpr SettingKey Emp{"frmReportCriteria", "Emp", " "};
inline constexpr SettingKey Comp{"frmReportCriteria", "Comp", ""};
inline constexpr SettingKey sExport{"frmReportCriteria", "sExport", nullptr};
inline constexpr SettingKey chkDaily{"frmReportCriteria", "chkDaily", "0"};
inline constexpr SettingKey chkMins{"frmReportCriteria", "chkMins", "0"};
} // namespace keys

// The per-user settings store: text values by section and key, kept in an
// INI file. Every value is stored as text; readers convert, and a value that
// cannot be read as what the reader needs gives the key's default.
class Settings {
public:
    // `iniPath` empty: the per-user file (~/.config/hourloom/hourloom.ini),
    // which falls back on the system-wide one for keys it does not hold.
    explicit Settings(const QString& iniPath = {});
    ~Settings();

    QString text(const SettingKey& key) const;
    qint16 int16(const SettingKey& key) const;
    qint32 int32(const SettingKey& key) const;
    bool boolean(const SettingKey& key) const;

    void setText(const SettingKey& key, const QString& value);
    void setInt(const SettingKey& key, qint64 value);
    void setBool(const SettingKey& key, bool value); // "True" / "False"
    // Drops the key from the per-user file (a system-wide value shows again).
    void remove(const SettingKey& key);
    // Whether the system-wide file (/etc/xdg/hourloom/hourloom.ini), which
    // an administrator deploys, gives the key a value. Never for a settings
    // store opened on a file of its own.
    bool setBySystem(const SettingKey& key) const;

    // Raw access by section and key, with an explicit default.
    QString read(const QString& section, const QString& key, const QString& defaultText) const;
    void write(const QString& section, const QString& key, const QString& value);

    QString defaultFor(const SettingKey& key) const;
    QString fileName() const;

    // The per-user folder for files the program writes (created when needed).
    static QString dataFolder();

private:
    std::unique_ptr<QSettings> store_;
};

// Text conversions with the rules the settings readers use. They give
// nothing for text that is not a number (or Boolean) in range.
std::optional<qint64> wholeNumberFromText(const QString& text, qint64 min, qint64 max);
std::optional<bool> booleanFromText(const QString& text);
