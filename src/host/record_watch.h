#pragma once
// The tools' view of the window's record: it follows the window's signals, keeps where
// the samples came from, and tells the panels what changed. Read-only: nothing here
// writes the record or touches the port.
#include "analysis/report.h"
#include "app/wqk.h"

#include <QObject>

namespace host {

enum class Change { Capture, Load, Mode, Redraw, Settings };

class RecordWatch : public QObject {
    Q_OBJECT
  public:
    explicit RecordWatch(const WQK& w, QObject* parent = nullptr);

    const InstrumentState& state() const { return w_.state(); }
    analysis::Origin origin() const { return origin_; }

  signals:
    void changed(host::Change what);

  private:
    const WQK& w_;
    analysis::Origin origin_ = analysis::Origin::Nothing;
    analysis::Origin beforeSpectrum_ = analysis::Origin::Nothing;
};

} // namespace host
