#include "replacingfile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

namespace brevik {
namespace {

std::filesystem::path filesystemPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

} // namespace

ReplacingFile::ReplacingFile(QString path)
    : m_path(std::move(path))
{}

ReplacingFile::~ReplacingFile()
{
    if (m_file.isOpen())
        m_file.close();
    if (!m_committed && !m_file.fileName().isEmpty())
        m_file.remove();
}

bool ReplacingFile::open()
{
    // A name that no other file has, so that nothing is ever written over but the final file.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        m_file.setFileName(m_path + QStringLiteral(".%1.tmp").arg(tag, 8, 16, QLatin1Char('0')));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            const QFileInfo earlier(m_path);
            if (earlier.exists() && earlier.isFile())
                m_file.setPermissions(earlier.permissions());
            return true;
        }
        if (m_file.exists())
            continue;
        break;
    }
    m_error = m_file.errorString();
    m_file.setFileName(QString());
    return false;
}

bool ReplacingFile::commit()
{
    if (!m_file.isOpen())
        return false;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError) {
        m_error = m_file.errorString();
        return false;
    }
    std::error_code failed;
    std::filesystem::rename(filesystemPath(m_file.fileName()), filesystemPath(m_path), failed);
    if (failed) {
        m_error = QString::fromStdString(failed.message());
        return false;
    }
    m_committed = true;
    return true;
}

} // namespace brevik
