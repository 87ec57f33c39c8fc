#pragma once
// A picture box with the drawing model the program was designed around: a user
// scale, Cls, Line, PSet, Print at CurrentX/CurrentY, ForeColor/BackColor, font size
// and bold, dotted DrawStyle, DrawWidth, and DrawMode 13 (copy) or 10 (not-XOR, so a
// line drawn twice restores the picture). It draws into a QImage that tests can read,
// at the screen's own pixels (twice as many under QT_SCALE_FACTOR=2), and keeps what it
// drew since its last Cls, so a new size draws it again sharp rather than stretched.
#include "platform/colours.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// Colours are held as 24-bit values &HBBGGRR.
constexpr long RGB(int r, int g, int b) {
    return colours::rgb(r, g, b);
}
inline QColor toQColor(long c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
inline long fromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

enum DrawModes { DrawCopy = 13, DrawNotXor = 10 };
enum DrawStyles { StyleSolid = 0, StyleDot = 2 };

class PictureBox : public QWidget {
    Q_OBJECT
  public:
    // designW/designH: size in twips in the window design; also the default scale.
    explicit PictureBox(QWidget* parent = nullptr, int designW = 1000, int designH = 1000);
    ~PictureBox() override;

    // User scale. Setting any part keeps the others.
    void setScale(double left, double top, double width, double height);
    double ScaleWidth() const { return scaleW_; }
    double ScaleHeight() const { return scaleH_; }
    double ScaleTop() const { return scaleTop_; }
    double ScaleLeft() const { return scaleLeft_; }
    void resetScale(); // back to the design size in twips

    double CurrentX = 0;
    double CurrentY = 0;
    long ForeColor = 0;
    long BackColor() const { return back_; }
    // Like the original control, a new background colour clears the picture.
    void setBackColor(long c);
    double FontSize = 8.25;
    bool FontBold = false;
    bool FontTransparent = true;
    std::string FontName = "Arial";
    int DrawStyle = StyleSolid;
    int DrawWidth = 1;
    int DrawMode = DrawCopy;

    void Cls();
    void Line(double x1, double y1, double x2, double y2);
    void Line(double x1, double y1, double x2, double y2, long colour);
    void Box(double x1, double y1, double x2, double y2, long colour, bool filled);
    void PSet(double x, double y);
    void PSet(double x, double y, long colour);
    // Prints at (CurrentX, CurrentY). With newline the next print starts on the next
    // line at the left edge; without it, right after this text.
    void Print(const std::string& text, bool newline = true);
    double TextWidth(const std::string& text) const;
    // Texts printed since the last Cls that ran past the right or bottom edge.
    const std::vector<std::string>& cutTexts() const { return cut_; }
    double TextHeight(const std::string& text = "X") const;

    // Runs of whole pixels of the picture (pixelSize()): column x[i], rows top[i] ..
    // bottom[i], clipped to it, in ForeColor and DrawMode. A trace reduced to columns.
    void ColumnRuns(const int* x, const int* top, const int* bottom, int n);
    // The picture's size in the screen's pixels: the widget's size times its pixel ratio.
    QSize pixelSize() const;

    // Places a child control at a rectangle in twips of this box's design size.
    void place(QWidget* w, int x, int y, int width, int height, double fontPt = 8);

    // Pixel mapping of the current scale.
    double toPxX(double x) const { return (x - scaleLeft_) * width() / scaleW_; }
    double toPxY(double y) const { return (y - scaleTop_) * height() / scaleH_; }

    // Finishes pending drawing and returns the picture (in the screen's pixels).
    const QImage& image();
    QColor pixel(int px, int py);
    // Zoom of the widget against its design size (fonts scale with it).
    double zoom() const;
    int designWidth() const { return designW_; }
    int designHeight() const { return designH_; }

  signals:
    void mouseDown(int button);
    void mouseUp(int button);
    void clicked();
    void resized();

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

  private:
    QPainter& painter();
    void ensureSize();
    void flush();
    void applyPen(long colour, int mode, int style, int width, bool forText = false);
    QFont fontOf(const std::string& name, double size, bool bold) const;
    QFont currentFont() const { return fontOf(FontName, FontSize, FontBold); }

    // One drawing call since the last Cls, with the state it was drawn in.
    struct Op {
        enum class Kind { Line, Box, Fill, Point, Text, Runs } kind;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // user scale; Text: its place
        double scale[4] = {0, 0, 1, 1};        // left, top, width, height
        long colour = 0, back = 0;
        int mode = 13, style = 0, width = 1;
        std::string text, font;
        double fontSize = 8.25;
        bool bold = false, transparent = true;
        std::vector<int> xs, tops, bottoms; // Runs, in pixels of `at`
        QSize at;
    };
    Op op(Op::Kind k, double x1, double y1, double x2, double y2, long colour) const;
    void record(Op o);
    void draw(const Op& o);
    void drawText(const Op& o);
    void drawRuns(const Op& o);
    // The picture again at the new size from the calls since Cls.
    void redrawAll(QSize pixels);
    // A point of an op's user scale in the widget's pixels.
    QPointF at(const Op& o, double x, double y) const {
        return QPointF((x - o.scale[0]) * width() / o.scale[2],
                       (y - o.scale[1]) * height() / o.scale[3]);
    }

    // The texts printed since the last Cls and not covered since. Where the box is
    // rendered onto a PDF they are drawn again over the picture as text, so a printout
    // into a file keeps them sharp and searchable.
    struct Text {
        QPointF baseline;
        QRectF box; // what the text covers, in pixels of the picture
        QFont font;
        QColor colour;
        QString text;
    };
    void forgetTextsUnder(const QRectF& r);
    void paintTexts(QPainter& p) const;

    int designW_, designH_;
    std::vector<Text> texts_;
    double scaleLeft_ = 0, scaleTop_ = 0, scaleW_, scaleH_;
    long back_ = RGB(255, 255, 255);
    QImage image_;
    std::vector<Op> ops_;
    bool replayable_ = true; // false once too much was drawn without a Cls
    bool replaying_ = false;
    std::unique_ptr<QPainter> painter_;
    bool pressed_ = false;
    std::vector<std::string> cut_;
};

} // namespace plat
