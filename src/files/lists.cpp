#include "files/lists.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace {
QString qpath(const std::string& p) {
    return QFile::decodeName(QByteArray::fromStdString(p));
}
std::string spath(const QString& p) {
    return QFile::encodeName(p).toStdString();
}
constexpr int PathRole = Qt::UserRole;
} // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
    refresh();
}

void DriveListBox::refresh() {
    const std::string keep = drive();
    clear();
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady() || !QFileInfo(v.rootPath()).isDir()) continue;
        QString label = v.rootPath();
        if (!v.name().isEmpty()) label += "  [" + v.name() + "]";
        addItem(label, v.rootPath());
    }
    if (findData(QStringLiteral("/")) < 0) insertItem(0, "/", QStringLiteral("/"));
    if (!keep.empty()) setDriveOf(keep);
}

std::string DriveListBox::drive() const {
    return currentIndex() < 0 ? std::string() : spath(currentData().toString());
}

void DriveListBox::setDriveOf(const std::string& path) {
    QString root = QStorageInfo(qpath(path)).rootPath();
    int i = findData(root);
    if (i < 0) {
        // Mounted after the list was built: list it now.
        addItem(root, root);
        i = count() - 1;
    }
    setCurrentIndex(i);
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) {
        if (!setPath(spath(it->data(PathRole).toString()))) openFailed = true;
    });
}

bool DirListBox::setPath(const std::string& dir) {
    QFileInfo fi(qpath(dir));
    if (!fi.isDir() || !fi.isReadable()) return false;
    const QString abs = fi.canonicalFilePath();
    QDir d(abs);
    const QStringList subdirs =
        d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);

    clear();
    // The chain from the root down to the directory, indented one step per level.
    QStringList parts = abs.split('/', Qt::SkipEmptyParts);
    QString at = "/";
    auto* root = new QListWidgetItem("/", this);
    root->setData(PathRole, at);
    int depth = 1;
    for (const QString& part : parts) {
        at = at.endsWith('/') ? at + part : at + "/" + part;
        auto* it = new QListWidgetItem(QString(depth * 2, ' ') + part, this);
        it->setData(PathRole, at);
        ++depth;
    }
    setCurrentRow(count() - 1);
    for (const QString& sub : subdirs) {
        auto* it = new QListWidgetItem(QString(depth * 2, ' ') + sub, this);
        it->setData(PathRole, at.endsWith('/') ? at + sub : at + "/" + sub);
    }
    path_ = spath(abs);
    emit pathChanged();
    return true;
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

void FileListBox::setPath(const std::string& dir, bool force) {
    if (dir == path_ && !force) return;
    path_ = dir;
    clear();
    // Read by their bytes, not through Qt's names: a name that is not valid UTF-8 is
    // listed too (shown with a replacement mark) and opened by its own bytes.
    std::vector<QByteArray> names;
    if (DIR* d = opendir(dir.c_str())) {
        const std::string at = dir.empty() || dir.back() == '/' ? dir : dir + "/";
        struct stat st {};
        while (const dirent* e = readdir(d))
            if (e->d_name[0] != '.' && stat((at + e->d_name).c_str(), &st) == 0 &&
                S_ISREG(st.st_mode))
                names.emplace_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end(), [](const QByteArray& a, const QByteArray& b) {
        const int c = QFile::decodeName(a).compare(QFile::decodeName(b), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    for (const QByteArray& name : names)
        (new QListWidgetItem(QFile::decodeName(name), this))->setData(PathRole, name);
    setCurrentRow(-1);
}

std::string FileListBox::fileName() const {
    QListWidgetItem* it = currentItem();
    return it && it->isSelected() ? it->data(PathRole).toByteArray().toStdString() : std::string();
}

bool FileListBox::selectFile(const std::string& name) {
    for (int i = 0; i < count(); ++i) {
        if (item(i)->data(PathRole).toByteArray().toStdString() != name) continue;
        setCurrentItem(item(i));
        item(i)->setSelected(true);
        return true;
    }
    return false;
}
