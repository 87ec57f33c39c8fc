#pragma once
// What the program remembers between sessions, in the user's configuration folder
// ($XDG_CONFIG_HOME/wqkscope, ~/.config/wqkscope), never the working folder: the
// layout, panels and options in wqkscope.conf (QSettings, INI), and the instrument's
// settings in session.dpf, a profile in the window's own format. Any tool may keep
// its options here in a group of its own.
#include <QString>
#include <memory>
#include <string>

class QSettings;

namespace host {

class SessionStore {
  public:
    // The folder is made when something is first written.
    SessionStore();
    const QString& folder() const { return folder_; }
    QString profilePath() const;

    // The settings file, or nullptr with the reason when it exists but cannot be read.
    std::unique_ptr<QSettings> settings(QString& problem) const;
    // The stored profile's text: false when there is none (a first start); a file that is
    // there but cannot be read gives false with the reason in `problem`.
    bool readProfile(std::string& text, QString& problem) const;
    // "" when written, else the system's reason.
    std::string writeProfile(const std::string& text) const;

  private:
    QString folder_;
};

} // namespace host
