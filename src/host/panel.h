#pragma once
// A dock panel of the host window: a thin widget over src/analysis that follows the
// record through a RecordWatch. It works only while it is open.
#include "host/record_watch.h"

#include <QWidget>

class QSettings;

namespace host {

class Panel : public QWidget {
    Q_OBJECT
  public:
    Panel(RecordWatch& record, QWidget* parent) : QWidget(parent), record_(record) {
        connect(&record, &RecordWatch::changed, this, [this](Change c) {
            if (isOpen()) follow(c);
        });
    }
    // Brings the panel up to date (it has just been opened).
    virtual void refresh() = 0;
    bool isOpen() const { return isVisibleTo(window()); }
    // The panel's options between sessions (the host keeps them in its settings).
    virtual void saveOptions(QSettings&) const {}
    virtual void restoreOptions(const QSettings&) {}

  signals:
    // The panel has grown wider (more columns): the window makes room if it can.
    void roomWanted();

  protected:
    // Something in the record changed while the panel is open.
    virtual void follow(Change c) = 0;
    RecordWatch& record_;
};

} // namespace host
