#include "export/picture.h"

#include "app/wqk.h"
#include "display/display_util.h"
#include "display/scales.h"
#include "files/file_io.h"
#include "platform/colours.h"
#include "platform/picturebox.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace exporting {

namespace {

// Font sizes of the display's numbers and of the readout, in points of the design.
constexpr double NumberPt = 7, ReadoutPt = 8;
constexpr double TwipsPerPt = 20;
// Twips per pixel of the design (96 dots per inch).
constexpr double TwipsPerPx = 15;

QFont fontOf(double pt, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(1, int(std::lround(pt * TwipsPerPt))));
    f.setBold(bold);
    return f;
}

// Prints with the top of the text at y, as the picture box does.
void printAt(QPainter& p, double x, double y, long colour, const std::string& text) {
    p.setPen(plat::toQColor(colour));
    const QFontMetricsF fm(p.font());
    p.drawText(QPointF(x, y + fm.ascent()), QString::fromStdString(text));
}

// Display scale units to twips.
struct Mapping {
    double sx, sy, top;
    QPointF operator()(double x, double y) const { return {x * sx, (y - top) * sy}; }
};

// The scale position of sample i of a trace, as the redraw draws it.
struct TraceValues {
    const int16_t *a, *b, *d;
    const display::TraceSpec& t;
    display::Combiner sum;
    double operator()(int i) const {
        using Source = display::TraceSpec::Source;
        switch (t.source) {
        case Source::D:
            return t.base - d[i];
        case Source::Sum:
            return t.base + t.factor * sum(a[i], b[i]);
        case Source::A:
            return t.base + t.factor * (t.base - a[i]);
        case Source::B:
            return t.base + t.factor * (t.base - b[i]);
        }
        return 0;
    }
};

TraceValues valuesOf(const Scene& sc, const display::TraceSpec& t) {
    const InstrumentState& s = *sc.s;
    const int first = sc.frame.first;
    return {s.ChanABuffer.data() + first, s.ChanBBuffer.data() + first, s.GenWave.data() + first, t,
            display::Combiner(t.sign, t.rangeA, t.rangeB)};
}

// A joined trace as one path. Where many samples share one column of `column` twips
// the path keeps the first, lowest, highest and last of them: the same outline, far
// fewer points.
QPainterPath joinedPath(const Scene& sc, const display::TraceSpec& t, const Mapping& m,
                        double column) {
    const TraceValues y = valuesOf(sc, t);
    QPainterPath path;
    long col = std::numeric_limits<long>::min();
    QPointF first, low, high, last;
    int inColumn = 0;
    auto flush = [&] {
        if (inColumn == 0) return;
        if (path.elementCount() == 0)
            path.moveTo(first);
        else
            path.lineTo(first);
        if (inColumn > 2) {
            const bool lowFirst = low.x() <= high.x();
            path.lineTo(lowFirst ? low : high);
            path.lineTo(lowFirst ? high : low);
        }
        if (inColumn > 1) path.lineTo(last);
    };
    for (int i = 0; i < t.count; ++i) {
        const QPointF q = m(sc.frame.x0 + i, y(i));
        const long c = long(std::floor(q.x() / column));
        if (c != col) {
            flush();
            col = c;
            first = low = high = q;
            inColumn = 0;
        }
        if (q.y() < low.y()) low = q;
        if (q.y() > high.y()) high = q;
        last = q;
        ++inColumn;
    }
    flush();
    return path;
}

// A trace of dots: one square per distinct dot of the picture, as one path.
QPainterPath dotPath(const Scene& sc, const display::TraceSpec& t, const Mapping& m, double dot) {
    const TraceValues y = valuesOf(sc, t);
    QPainterPath path;
    long col = std::numeric_limits<long>::min();
    std::vector<long> rows; // dots already in this column
    for (int i = 0; i < t.count; ++i) {
        const QPointF q = m(sc.frame.x0 + i, y(i));
        const long c = std::lround(q.x() / dot), r = std::lround(q.y() / dot);
        if (c != col) {
            col = c;
            rows.clear();
        }
        if (std::find(rows.begin(), rows.end(), r) != rows.end()) continue;
        rows.push_back(r);
        path.addRect((double(c) - 0.5) * dot, (double(r) - 0.5) * dot, dot, dot);
    }
    return path;
}

void paintDisplay(QPainter& p, const Scene& sc) {
    const display::Frame& f = sc.frame;
    const double W = std::max(1.0, f.window.xMagnify), FS = sc.s->FullScale;
    const Mapping m{sc.designW / W, sc.designH / FS, 10};
    const QRectF area(0, 0, sc.designW, sc.designH);
    p.fillRect(area, plat::toQColor(colours::Panel));
    p.save();
    p.setClipRect(area);
    p.setFont(fontOf(NumberPt, false));
    QPen grid(plat::toQColor(display::gridColour()), TwipsPerPx, Qt::DotLine);
    for (const display::GridOp& op : f.grid) {
        if (op.kind == display::GridOp::Kind::Line) {
            p.setPen(grid);
            p.drawLine(m(op.x1, op.y1), m(op.x2, op.y2));
        } else {
            const QPointF at = m(op.x1, op.y1);
            printAt(p, at.x(), at.y(), op.colour, op.text);
        }
    }
    p.setBrush(Qt::NoBrush);
    for (const display::TraceSpec& t : f.traces) {
        const QColor c = plat::toQColor(t.colour);
        if (f.join) {
            p.setPen(QPen(c, TwipsPerPx, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.drawPath(joinedPath(sc, t, m, TwipsPerPx / 4));
        } else {
            p.fillPath(dotPath(sc, t, m, TwipsPerPx), c);
        }
    }
    const QPen wide(Qt::black, 2 * TwipsPerPx);
    if (sc.levelOn) {
        p.setPen(QPen(plat::toQColor(sc.levelColour), wide.widthF()));
        p.drawLine(m(0, sc.levelY), m(W, sc.levelY));
    }
    if (sc.cursorOn) {
        p.setPen(QPen(plat::toQColor(sc.cursorColour), wide.widthF()));
        p.drawLine(m(f.cursorX, 0), m(f.cursorX, FS));
    }
    p.restore();
}

// The readout box's own layout: a scale 1100 units wide, 8 pt bold, the reading at 0
// (red when negative) with its unit at 360, the place at 440 and its unit at 820 (430
// and 790 in FFT mode).
void paintReadout(QPainter& p, const Scene& sc) {
    const QRectF strip(0, sc.designH, ReadoutW, ReadoutTwips);
    p.fillRect(strip, plat::toQColor(colours::LightYellow));
    p.setFont(fontOf(ReadoutPt, true));
    const double unit = ReadoutW / 1100, y = strip.top();
    const Readout& r = sc.readout;
    const bool fft = r.valueUnit.empty();
    printAt(p, 0, y, r.negative ? colours::Red : colours::Black, r.value);
    printAt(p, 360 * unit, y, colours::Black, r.valueUnit);
    printAt(p, (fft ? 430 : 440) * unit, y, colours::Black, r.time);
    printAt(p, (fft ? 790 : 820) * unit, y, colours::Black, r.timeUnit);
}

QString qpath(const std::string& p) {
    return QFile::decodeName(QByteArray::fromStdString(p));
}

// `shown` and `readout`: the window's display and readout boxes as shown, or none.
bool savePng(const QImage& shown, const QImage& readout, const Scene& sc, QIODevice& to, int scale,
             std::string& error) {
    const bool onScreen = !shown.isNull();
    const auto designPx = [](double twips) { return int(std::lround(twips / TwipsPerPx)); };
    const QSize display =
        onScreen ? shown.size() : QSize(designPx(sc.designW), designPx(sc.designH));
    const QSize box = onScreen ? readout.size() : QSize(designPx(ReadoutW), designPx(ReadoutTwips));
    const int strip = sc.cursorOn ? box.height() : 0;
    QImage out(QSize(display.width(), display.height() + strip) * scale, QImage::Format_RGB32);
    out.fill(plat::toQColor(colours::Panel));
    {
        QPainter p(&out);
        if (scale == 1 && onScreen) {
            // What the window shows, pixel for pixel, the readout box under it.
            p.drawImage(0, 0, shown);
            if (sc.cursorOn) p.drawImage(0, shown.height(), readout);
        } else {
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            p.scale(scale * display.width() / sc.designW, scale * display.height() / sc.designH);
            paintDisplay(p, sc);
            if (sc.cursorOn) {
                // The readout box at its own shown size.
                p.resetTransform();
                p.translate(0, scale * display.height());
                p.scale(scale * box.width() / ReadoutW, scale * box.height() / ReadoutTwips);
                p.translate(0, -sc.designH);
                paintReadout(p, sc);
            }
        }
    }
    if (!out.save(&to, "PNG")) {
        error = "the PNG could not be made";
        return false;
    }
    return true;
}

void saveSvg(const Scene& sc, QIODevice& to) {
    const QSizeF twips = sc.size();
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&to);
        svg.setResolution(96);
        const QSize px(int(std::lround(twips.width() / TwipsPerPx)),
                       int(std::lround(twips.height() / TwipsPerPx)));
        svg.setSize(px);
        svg.setViewBox(QRectF(0, 0, px.width(), px.height()));
        svg.setTitle(QStringLiteral("WQK signal display"));
        QPainter p(&svg);
        p.scale(1 / TwipsPerPx, 1 / TwipsPerPx);
        paintScene(p, sc);
    }
}

bool savePdf(const Scene& sc, QIODevice& to, std::string& error) {
    const QSizeF twips = sc.size();
    {
        QPdfWriter pdf(&to);
        pdf.setTitle(QStringLiteral("WQK signal display"));
        pdf.setResolution(1440); // one dot per twip
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(
            QPageSize(twips / TwipsPerPt, QPageSize::Point, QString(), QPageSize::ExactMatch));
        QPainter p;
        if (!p.begin(&pdf)) {
            error = "cannot start the PDF";
            return false;
        }
        paintScene(p, sc);
    }
    return true;
}

} // namespace

std::optional<PictureFormat> pictureFormatOf(const std::string& path, int scale) {
    const QString ext = QFileInfo(qpath(path)).suffix().toLower();
    if (ext == "png" && (scale == 1 || scale == 2))
        return scale == 1 ? PictureFormat::Png1x : PictureFormat::Png2x;
    if (ext == "svg") return PictureFormat::Svg;
    if (ext == "pdf") return PictureFormat::Pdf;
    return std::nullopt;
}

QSizeF Scene::size() const {
    return {designW, designH + (cursorOn ? ReadoutTwips : 0)};
}

Scene sceneOf(const WQK& w, const SceneChanges& changes) {
    const auto* box = w.findChild<const PictureBox*>("Picture1");
    Scene sc = sceneOf(w.state(), w.frameInput(), changes);
    sc.designW = box->designWidth();
    sc.designH = box->designHeight();
    return sc;
}

Scene sceneOf(const InstrumentState& s, display::FrameInput in, const SceneChanges& changes) {
    Scene sc;
    sc.s = &s;
    if (changes.capturedChannels) {
        in.showA = s.chanAOn();
        in.showB = s.chanBOn();
    }
    if (changes.units) in.grid = in.units = true; // the numbers stand on the grid
    sc.frame = display::makeFrame(in);
    sc.cursorOn = s.cursorMode() > 0;
    sc.cursorColour = s.cursorColour();
    sc.levelOn = s.levelDrawn();
    sc.levelY = s.trigLevelPrev();
    sc.levelColour = s.levelLineColour();
    if (sc.cursorOn) {
        const bool fft = s.mode() == modes::FFT;
        const double v = display::cursorValue(s, s.cursorMode(), fft);
        const display::Reading t =
            display::cursorTime(sc.frame.cursorX, sc.frame.window.scrollPos, display::rateIndex(s),
                                s.RateFactor, fft, s.FFTNumSamples);
        sc.readout = {vb::NumberText(v), fft ? "" : "V", v < 0, vb::NumberText(t.value), t.unit};
    }
    return sc;
}

void paintScene(QPainter& p, const Scene& sc) {
    paintDisplay(p, sc);
    if (sc.cursorOn) paintReadout(p, sc);
}

namespace {
bool render(const Scene& sc, const QImage& shown, const QImage& readout, PictureFormat format,
            std::string& bytes, std::string& error) {
    QBuffer to;
    to.open(QIODevice::WriteOnly);
    bool ok = true;
    switch (format) {
    case PictureFormat::Png1x:
    case PictureFormat::Png2x:
        ok = savePng(shown, readout, sc, to, format == PictureFormat::Png2x ? 2 : 1, error);
        break;
    case PictureFormat::Svg:
        saveSvg(sc, to);
        break;
    case PictureFormat::Pdf:
        ok = savePdf(sc, to, error);
        break;
    }
    if (ok) bytes = to.data().toStdString();
    return ok;
}
} // namespace

bool renderPicture(const WQK& w, PictureFormat format, std::string& bytes, std::string& error,
                   const SceneChanges& changes) {
    // A PNG at 1x is the window's own pixels while it shows the display as the picture is.
    const bool asShown = !changes.capturedChannels && !changes.units && w.isVisible();
    const auto image = [&](const char* box) {
        if (!asShown) return QImage();
        // The screen's own pixels, one for one (twice as many under QT_SCALE_FACTOR=2).
        QImage shown = w.findChild<PictureBox*>(box)->image();
        shown.setDevicePixelRatio(1);
        return shown;
    };
    return render(sceneOf(w, changes), image("Picture1"), image("CURSINFO"), format, bytes, error);
}

bool renderPicture(const InstrumentState& s, PictureFormat format, std::string& bytes,
                   std::string& error, const SceneChanges& changes) {
    const Scene sc = sceneOf(s, display::frameInputOf(s, s.scrollPos()), changes);
    return render(sc, QImage(), QImage(), format, bytes, error);
}

bool savePicture(const WQK& w, const std::string& path, PictureFormat format, std::string& error,
                 const SceneChanges& changes) {
    std::string bytes;
    return renderPicture(w, format, bytes, error, changes) && files::saveWhole(path, bytes, &error);
}

} // namespace exporting
