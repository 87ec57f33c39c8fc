#pragma once
// The drive, directory and file lists of the load and save windows, on Linux: the
// drives are the mounted volumes, directories are shown as the chain from the root
// down to the current one followed by its subdirectories, and files are the plain
// files of that directory.
#include <QComboBox>
#include <QListWidget>
#include <string>

class DriveListBox : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveListBox(QWidget* parent = nullptr);
    // Rebuilds the list of mounted volumes.
    void refresh();
    // Root path of the chosen volume ("/" for the root file system).
    std::string drive() const;
    // Chooses the volume that holds the given path; "drive c" is the one of the current
    // directory.
    void setDriveOf(const std::string& path);
    // The drive the directory list was last set to, so the window loop follows changes.
    std::string applied;
};

class DirListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit DirListBox(QWidget* parent = nullptr);
    const std::string& path() const { return path_; }
    // Shows the directory; false (nothing changed) when it cannot be listed.
    bool setPath(const std::string& dir);
    // Set when a folder chosen in the list could not be opened; the window loop reports it.
    bool openFailed = false;

  signals:
    void pathChanged();

  private:
    std::string path_;
};

class FileListBox : public QListWidget {
    Q_OBJECT
  public:
    explicit FileListBox(QWidget* parent = nullptr);
    const std::string& path() const { return path_; }
    // Lists the directory's files (only when the directory changed, unless forced).
    void setPath(const std::string& dir, bool force = false);
    // The selected name, empty when none is selected.
    std::string fileName() const;
    // Selects a listed name; false when it is not in the list.
    bool selectFile(const std::string& name);

  private:
    std::string path_;
};
