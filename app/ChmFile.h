#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct chmFile;

// One compiled help file, opened read-only. Pages inside it are addressed by
// their path from the root ("/TimeControl.htm").
class ChmFile {
public:
    // Nothing when the file is missing or is not a compiled help file.
    static std::optional<ChmFile> open(const QString& path);

    // The page's bytes, or nothing when the file holds no such page or the
    // page cannot be read whole.
    std::optional<QByteArray> read(const QString& innerPath) const;

private:
    struct Closer {
        void operator()(chmFile* file) const;
    };
    explicit ChmFile(chmFile* file);
    std::unique_ptr<chmFile, Closer> file_;
};

// Largest page the help window reads; a larger size means a damaged file.
constexpr qint64 kMaxHelpPageBytes = 16 * 1024 * 1024;
