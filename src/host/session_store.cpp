#include "host/session_store.h"

#include "files/file_io.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace host {

SessionStore::SessionStore() {
    // Named for the program whatever the binary is called (tests run other binaries).
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    folder_ = base + "/wqkscope";
}

QString SessionStore::profilePath() const {
    return folder_ + "/session.dpf";
}

std::unique_ptr<QSettings> SessionStore::settings(QString& problem) const {
    const QString path = folder_ + "/wqkscope.conf";
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || !info.isReadable())) {
        problem = path + " is no readable file";
        return nullptr;
    }
    auto q = std::make_unique<QSettings>(path, QSettings::IniFormat);
    if (q->status() != QSettings::NoError) {
        problem = path + " is damaged";
        return nullptr;
    }
    return q;
}

bool SessionStore::readProfile(std::string& text, QString& problem) const {
    const QString path = profilePath();
    if (!QFileInfo::exists(path)) return false;
    if (!files::readFileStart(QFile::encodeName(path).toStdString(), files::ProfileReadLimit,
                              text)) {
        problem = path + " cannot be read";
        return false;
    }
    return true;
}

std::string SessionStore::writeProfile(const std::string& text) const {
    if (!QDir().mkpath(folder_)) return "cannot make " + QFile::encodeName(folder_).toStdString();
    std::string error;
    files::saveWhole(QFile::encodeName(profilePath()).toStdString(), text, &error);
    return error;
}

} // namespace host
