#pragma once
// The File menu's export dialogs: Save picture, Export WAV and session, and Record
// captures. Thin widgets over picture.h and logger.h; they only read the window's record.
#include "export/logger.h"

#include <QDialog>
#include <memory>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class WQK;

namespace exporting {

// Asks for a file (PNG at 1x or 2x, SVG, PDF) and saves the signal display to it.
void savePictureAs(QWidget* parent, const WQK& w);
// Asks for a file and writes the last capture as a WAV file, or as a session file
// (sigrok_session.h).
void exportWavAs(QWidget* parent, const WQK& w);
void exportSessionAs(QWidget* parent, const WQK& w);

// Records every capture while it is started: a folder, a format, limits by count,
// duration and disk space, and the count written and the space left. The host calls
// captured() after each capture.
class RecordDialog : public QDialog {
    Q_OBJECT
  public:
    RecordDialog(const WQK& w, QWidget* parent = nullptr);
    ~RecordDialog() override;

    bool recording() const;
    // Starts with the settings shown; false (and a message) when the folder cannot be
    // used.
    bool start();
    void stop();
    // Writes the capture now in the record, while recording.
    void captured();
    // For tests: the clock and file calls of the next recording.
    CaptureLogger::Clock clock;
    LogIo io;

  private:
    void showStatus();
    void finished();

    const WQK& w_;
    std::unique_ptr<CaptureLogger> logger_;
    QLineEdit* folder_;
    QComboBox* format_;
    QSpinBox* count_;
    QDoubleSpinBox* duration_;
    QDoubleSpinBox* keepFree_;
    QPushButton* startStop_;
    QLabel* status_;
    QTimer* timer_;
};

} // namespace exporting
