#pragma once
// Analysis > Measurements: the values of each trace on show, and B over A, over the
// display window or the whole record.
#include "host/panel.h"

class QCheckBox;
class QLabel;
class QTableWidget;

namespace host {

class MeasurePanel : public Panel {
    Q_OBJECT
  public:
    MeasurePanel(RecordWatch& record, QWidget* parent = nullptr);
    void refresh() override;

  protected:
    void follow(Change c) override;

  private:
    QLabel* span_;
    QCheckBox* whole_;
    QTableWidget* table_;
    QLabel* gain_;
    QLabel* phase_;
};

} // namespace host
