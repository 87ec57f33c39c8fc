#pragma once
// Analysis > Measurements: the values of each trace on show, and B over A, over the
// display window or the whole record; with Statistics, each value's current, mean,
// least, greatest, standard deviation and count over the captures since Reset; the rows
// the user chose; and while the two cursors are on, their readouts.
#include "analysis/stats.h"
#include "host/panel.h"

#include <functional>
#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSettings;
class QTableWidget;
class QToolButton;

namespace host {

class CursorLayer;

class MeasurePanel : public Panel {
    Q_OBJECT
  public:
    MeasurePanel(RecordWatch& record, CursorLayer& cursors, QWidget* parent = nullptr);
    void refresh() override;
    // As wide as its tables want; as tall as the dock allows (it scrolls beyond).
    QSize sizeHint() const override;
    // The rows the user chose (by name), whole record and statistics.
    void saveOptions(QSettings& q) const override;
    void restoreOptions(const QSettings& q) override;
    // Every statistic back to no values.
    void resetStatistics();
    // Columns of other traces (the math trace, the references) after A's and B's.
    std::function<void(analysis::Report&, analysis::Span)> moreColumns;

  protected:
    void follow(Change c) override;

  private:
    void buildCursorBox(int rowHeight);
    void showValues(const analysis::Report& r);
    void showStatistics(const analysis::Report& r);
    void showCursors();
    void fitTable(QTableWidget* t);
    bool rowShown(size_t row) const;

    CursorLayer& cursors_;
    QWidget* inner_;
    QLabel* span_;
    QCheckBox* whole_;
    QCheckBox* statistics_;
    QToolButton* rows_;
    QTableWidget* table_;
    QLabel* gain_;
    QLabel* phase_;
    QGroupBox* cursorBox_;
    QComboBox* cursorChannel_;
    QTableWidget* cursorTable_;
    QLabel* inverseDt_;
    int wanted_[2] = {0, 0}; // the widths the two tables want
    // Per trace name ("A", "A+B"), one statistic per row of the table.
    std::map<std::string, std::vector<analysis::Statistic>> stats_;
};

} // namespace host
