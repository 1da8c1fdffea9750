#include "ChmFile.h"

#include <QFile>
#include <chm_lib.h>

void ChmFile::Closer::operator()(chmFile* file) const {
    chm_close(file);
}

ChmFile::ChmFile(chmFile* file)
    : file_(file) {}

std::optional<ChmFile> ChmFile::open(const QString& path) {
    if (!QFile::exists(path))
        return std::nullopt;
    chmFile* file = chm_open(QFile::encodeName(path).constData());
    if (!file)
        return std::nullopt;
    return ChmFile(file);
}

std::optional<QByteArray> ChmFile::read(const QString& innerPath) const {
    QString path = innerPath;
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    chmUnitInfo unit{};
    if (chm_resolve_object(file_.get(), path.toUtf8().constData(), &unit) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (unit.length > static_cast<LONGUINT64>(kMaxHelpPageBytes))
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(unit.length), Qt::Uninitialized);
    const LONGINT64 got =
        chm_retrieve_object(file_.get(), &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(unit.length));
    if (got != static_cast<LONGINT64>(unit.length))
        return std::nullopt;
    return bytes;
}
