#pragma once
// View > Math and References: the math trace M (on, operation, scale, position), the
// references R1-R4 (store A, B or M of the record or load a file; show, scale, clear) and
// persistence on the signal display (on, depth or infinite, clear). Its options and the
// references are kept between sessions.
#include "analysis/report.h"
#include "host/panel.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

namespace host {

class MathLayer;
class PersistenceLayer;
class ReferenceLayer;

class ViewsPanel : public Panel {
    Q_OBJECT
  public:
    ViewsPanel(RecordWatch& record, MathLayer& math, ReferenceLayer& refs,
               PersistenceLayer& persistence, QWidget* parent = nullptr);
    void refresh() override;
    void saveOptions(QSettings& q) const override;
    void restoreOptions(const QSettings& q) override;
    // Into reference k (0..3): a channel of the record, M, or a channel of a file.
    // "" when stored, else why not (shown beside the reference too).
    QString store(int k, const QString& what);
    QString loadFile(int k, const QString& path, analysis::Channel c);

  protected:
    void follow(Change c) override;

  private:
    QWidget* buildMath();
    QWidget* buildReferences();
    QWidget* buildPersistence();
    void fillScales(QComboBox* box, const std::string& unit, double perDiv);
    void fitMath();

    MathLayer& math_;
    ReferenceLayer& refs_;
    PersistenceLayer& persistence_;
    QCheckBox* mathOn_;
    QComboBox* mathOp_;
    QComboBox* mathPerDiv_;
    QDoubleSpinBox* mathPosition_;
    QCheckBox* refShown_[4];
    QComboBox* refPerDiv_[4];
    QLabel* refSource_[4];
    QCheckBox* persistOn_;
    QSpinBox* persistDepth_;
    QCheckBox* persistInfinite_;
    QLabel* persistCount_;
};

// The Measurements panel's columns for M (while on) and each reference on show, over
// the same span as A's and B's (a reference cut to its length).
void addViewColumns(analysis::Report& r, analysis::Span span, const MathLayer& math,
                    const ReferenceLayer& refs);

} // namespace host
