#pragma once
// Controls placed by their design rectangle in twips; the panel scales them with its
// own size, so the window is resizable and keeps the arrangement of the design.
#include <QPushButton>
#include <QWidget>
#include <string>

namespace plat {

// Places w in parent at a rectangle in twips; relayoutChildren moves every placed child
// to its rectangle scaled to the parent's current size.
void placeChild(QWidget* parent, QWidget* w, int x, int y, int width, int height, double fontPt);
void relayoutChildren(QWidget* parent, int designW, int designH);
// Sets f's pixel size for a design point size at a zoom, smaller where text would be
// wider than room pixels.
void fitFont(QFont& f, double pt, double zoom, const QString& text, int room);

class DesignPanel : public QWidget {
    Q_OBJECT
  public:
    DesignPanel(QWidget* parent, int designW, int designH);
    // Places w at the rectangle (twips, relative to this panel) and keeps it there.
    void place(QWidget* w, int x, int y, int width, int height, double fontPt = 8);
    int designWidth() const { return designW_; }
    int designHeight() const { return designH_; }
    double zoom() const;

  protected:
    void resizeEvent(QResizeEvent*) override;

  private:
    void relayout();
    int designW_, designH_;
};

// A command button with the events the program uses: MouseDown, MouseUp, KeyPress,
// KeyDown and Click; FontBold and FontSize as separate properties.
class VbButton : public QPushButton {
    Q_OBJECT
  public:
    explicit VbButton(const QString& caption, QWidget* parent = nullptr);
    void setFontBold(bool b);
    bool fontBold() const;
    void setFontSize(double pt);
    double fontSize() const { return fontPt_; }
    void setZoom(double z);
    void setCaption(const std::string& s);
    std::string caption() const { return text().toStdString(); }
    // Width in pixels the caption may take.
    int captionRoom() const;
    void setBackColor(long colour); // &HBBGGRR
    long backColor() const { return back_; }

  signals:
    void mouseDown();
    void mouseUp();
    void keyPress(int key);
    void keyDown(int key);

  protected:
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

  private:
    void applyFont();
    double fontPt_ = 8;
    double zoom_ = 1;
    bool bold_ = false;
    long back_ = -1;
};

} // namespace plat
